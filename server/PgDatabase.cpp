#include "server/PgDatabase.h"

#include "server/Messages.h"
#include "server/Sessions.h"
#include "server/SqlValues.h"
#include "server/seed/Seed.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace dravik::server {

namespace {

constexpr unsigned kBool = 16, kBytea = 17, kInt8 = 20, kInt2 = 21, kInt4 = 23, kOid = 26,
                   kFloat4 = 700, kFloat8 = 701, kNumeric = 1700;
// Client statements run under one of two roles with the same rights: the first sees the
// request's company alone, the second (a request of no company) every row. Two roles rather
// than one policy with an unconfined branch: each policy then compares the company once.
constexpr const char *kClientRole = "dravik_client";
constexpr const char *kUnconfinedRole = "dravik_unconfined";

std::string lowerAscii(std::string_view s)
{
    return seed::lowerName(std::string(s));
}

// The server's own statements are written once for both engines: "?" parameters become
// numbered ones and quoted names take PostgreSQL's lower case.
std::string ownSql(const std::string &sql)
{
    std::string out;
    int n = 0;
    char quote = 0;
    for (const char c : sql) {
        if (quote) {
            out += quote == '"' && c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
            if (c == quote)
                quote = 0;
        } else if (c == '\'' || c == '"') {
            quote = c;
            out += c;
        } else if (c == '?') {
            out += "$" + std::to_string(++n);
        } else {
            out += c;
        }
    }
    return out;
}

// The words of a statement as written, so that result columns take back their case.
std::vector<std::string> wordsOf(std::string_view sql)
{
    std::vector<std::string> words;
    for (size_t i = 0; i < sql.size();) {
        const char c = sql[i];
        if (c == '\'') {
            i = sql.find('\'', i + 1);
            i = i == std::string_view::npos ? sql.size() : i + 1;
        } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_') {
            const size_t b = i;
            while (i < sql.size()
                   && ((sql[i] >= 'A' && sql[i] <= 'Z') || (sql[i] >= 'a' && sql[i] <= 'z')
                       || (sql[i] >= '0' && sql[i] <= '9') || sql[i] == '_'))
                ++i;
            words.emplace_back(sql.substr(b, i - b));
        } else {
            ++i;
        }
    }
    return words;
}

std::string quoteLiteral(std::string_view text)
{
    return quoteText(text);
}

// The name after `prefix` up to the next quote, as the message writes it.
std::string quotedAfter(const std::string &text, std::string_view prefix)
{
    const size_t p = text.find(prefix);
    if (p == std::string::npos)
        return {};
    const size_t b = text.find('"', p + prefix.size());
    const size_t e = b == std::string::npos ? b : text.find('"', b + 1);
    return e == std::string::npos ? std::string() : text.substr(b + 1, e - b - 1);
}

std::string field(const PGresult *res, int code)
{
    const char *v = PQresultErrorField(res, code);
    return v ? v : "";
}

} // namespace

bool isPostgresAddress(std::string_view path)
{
    return path.rfind("postgresql://", 0) == 0 || path.rfind("postgres://", 0) == 0;
}

// --- statements ---------------------------------------------------------------------------

PgStatement::PgStatement(PgConnection &c, Mode mode, std::string sql,
                         const std::vector<std::string> &names)
    : m_c(c)
    , m_mode(mode)
    , m_sql(std::move(sql))
{
    for (const auto &n : names)
        m_written.emplace(lowerAscii(n), n);
    // The server's own tables are reached under its own role alone.
    const std::string lower = lowerAscii(m_sql);
    for (const auto &hidden : c.options().hiddenTables)
        m_private = m_private || lower.find(lowerAscii(hidden)) != std::string::npos;
}

PgStatement::~PgStatement()
{
    if (m_sent)
        m_c.forget(*this);
    clearResult();
    if (!m_name.empty())
        m_c.release(m_plan, m_generation);
}

void PgStatement::clearResult()
{
    PQclear(m_result);
    m_result = nullptr;
    m_row = -1;
}

bool PgStatement::prepare()
{
    // A client read is planned with its row limit, known when it runs.
    std::string text = m_sql;
    if (m_mode == Mode::ClientRead && m_limit > 0)
        text = "SELECT * FROM (" + m_sql + "\n) AS dravik_rows LIMIT " + std::to_string(m_limit);
    if (!m_name.empty() && text == m_plan && m_generation == m_c.generation())
        return true;
    if (!m_name.empty())
        m_c.release(m_plan, m_generation);
    m_name.clear();
    m_plan = std::move(text);
    const PGresult *d = m_c.plan(m_plan, m_name, m_error, m_failure, m_busy, &m_written);
    if (!d)
        return false;
    m_generation = m_c.generation();
    m_params.assign(static_cast<size_t>(PQnparams(d)), std::nullopt);
    m_formats.assign(m_params.size(), 0);
    describe(d);
    return true;
}

void PgStatement::describe(const PGresult *res)
{
    const PgSchemaInfo &schema = m_c.schema();
    m_cols.clear();
    for (int i = 0; i < PQnfields(res); ++i) {
        Col col;
        const std::string name = PQfname(res, i);
        col.type = PQftype(res, i);
        const auto stored = schema.columns.find({PQftable(res, i), PQftablecol(res, i)});
        const auto written = m_written.find(name);
        if (stored != schema.columns.end()) {
            // A stored column, as SQLite names it: the schema's name, or the alias given.
            col.computed = false;
            col.kind = stored->second.kind;
            const bool aliased = lowerAscii(stored->second.name) != name;
            col.name = !aliased                  ? stored->second.name
                    : written != m_written.end() ? written->second
                                                 : name;
        } else {
            const auto known = schema.names.find(name);
            col.name = written != m_written.end() ? written->second
                    : known != schema.names.end() ? known->second
                                                  : name;
        }
        m_cols.push_back(std::move(col));
    }
}

void PgStatement::bind(int index, long long value)
{
    if (index < 1 || index > static_cast<int>(m_params.size()))
        return;
    m_params[index - 1] = std::to_string(value);
    m_formats[index - 1] = 0;
}

void PgStatement::bind(int index, std::string_view text)
{
    if (index < 1 || index > static_cast<int>(m_params.size()))
        return;
    m_params[index - 1] = std::string(text);
    m_formats[index - 1] = 0;
}

void PgStatement::bindBlob(int index, std::string_view bytes)
{
    if (index < 1 || index > static_cast<int>(m_params.size()))
        return;
    m_params[index - 1] = std::string(bytes);
    m_formats[index - 1] = 1;
}

StepResult PgStatement::fail(PGresult *res)
{
    bool busy = false;
    m_failure = m_c.describe(res, busy, &m_written);
    m_busy = busy;
    if (!res && m_c.broken())
        m_error = m_failure;
    else
        m_error = m_plan + ": " + (res ? PQresultErrorMessage(res) : PQerrorMessage(m_c.handle()));
    while (!m_error.empty() && (m_error.back() == '\n' || m_error.back() == ' '))
        m_error.pop_back();
    PQclear(res);
    m_outcome = busy ? StepResult::Busy : StepResult::Failed;
    return m_outcome;
}

void PgStatement::send()
{
    if (m_sent)
        return;
    clearResult();
    m_sent = true;
    m_outcome = StepResult::Done;
    // A statement prepared on a link since lost is prepared again.
    if (!prepare()) {
        m_error = m_error.empty() ? m_failure : m_error;
        m_outcome = m_busy ? StepResult::Busy : StepResult::Failed;
        return;
    }
    // The server's own tables wait for the request's session to be known.
    if (m_mode == Mode::Own && m_private && m_c.sessionUnchecked()) {
        m_failure = m_error = msg::internalError();
        m_outcome = StepResult::Failed;
        return;
    }
    bool own = false;
    if (m_mode == Mode::Own && (m_private || !m_c.confined())) {
        m_c.leaveClient();
    } else {
        // The server's reads for a confined request see what its client may see.
        if (m_mode == Mode::Own)
            m_c.startClock(0);
        m_c.enterClient(m_mode != Mode::ClientWrite, own);
    }
    m_pending = true;
    // A read that opened its transaction ends it in the same round trip.
    m_c.queue(*this, own && m_mode != Mode::ClientWrite ? "COMMIT" : nullptr);
}

void PgStatement::received(PGresult *res)
{
    m_pending = false;
    const ExecStatusType status = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
    if (status == PGRES_PIPELINE_ABORTED) {
        // An earlier command of the round trip failed: its reason is this statement's.
        PQclear(res);
        m_failure = m_c.flightFailure(m_busy);
        m_error = m_failure;
        m_outcome = m_busy ? StepResult::Busy : StepResult::Failed;
        return;
    }
    if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK && status != PGRES_SINGLE_TUPLE) {
        fail(res);
        return;
    }
    const char *changed = PQcmdTuples(res);
    m_c.setChanges(changed && *changed ? std::atoll(changed) : 0);
    if (m_cols.empty() && PQnfields(res) > 0)
        describe(res);
    m_streaming = status == PGRES_SINGLE_TUPLE;
    m_result = res;
    m_row = -1;
}

void PgStatement::unsent()
{
    m_pending = false;
    m_failure = m_error = msg::databaseUnreachable();
    m_outcome = StepResult::Failed;
}

StepResult PgStatement::step()
{
    if (!m_sent)
        send();
    if (m_pending)
        m_c.flush();
    if (m_outcome != StepResult::Done)
        return m_outcome;
    if (!m_result)
        return StepResult::Done;
    if (m_streaming) {
        // A client read's rows come one result each.
        if (m_row < 0) {
            m_row = 0;
            return StepResult::Row;
        }
        clearResult();
        PGresult *res = m_c.nextRow();
        const ExecStatusType status = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
        if (status == PGRES_SINGLE_TUPLE) {
            m_result = res;
            m_row = 0;
            return StepResult::Row;
        }
        m_streaming = false;
        if (status == PGRES_TUPLES_OK) {
            PQclear(res);
            return StepResult::Done;
        }
        return fail(res);
    }
    if (++m_row < PQntuples(m_result))
        return StepResult::Row;
    return StepResult::Done;
}

void PgStatement::reset()
{
    if (m_sent)
        m_c.forget(*this);
    clearResult();
    m_sent = m_pending = m_streaming = false;
    m_outcome = StepResult::Done;
    for (auto &p : m_params)
        p.reset();
    std::fill(m_formats.begin(), m_formats.end(), 0);
}

ValueType PgStatement::type(int column) const
{
    if (!m_result || PQgetisnull(m_result, m_row, column))
        return ValueType::Null;
    switch (m_cols[column].type) {
    case kBool:
    case kInt2:
    case kInt4:
    case kInt8:
    case kOid:
        return ValueType::Integer;
    case kFloat4:
    case kFloat8:
    case kNumeric:
        return ValueType::Real;
    case kBytea:
        return ValueType::Blob;
    default:
        return ValueType::Text;
    }
}

long long PgStatement::integer(int column) const
{
    const char *v = PQgetvalue(m_result, m_row, column);
    if (m_cols[column].type == kBool)
        return v[0] == 't' ? 1 : 0;
    if (m_cols[column].type == kFloat4 || m_cols[column].type == kFloat8
        || m_cols[column].type == kNumeric)
        return static_cast<long long>(std::strtod(v, nullptr));
    return std::atoll(v);
}

double PgStatement::real(int column) const
{
    return std::strtod(PQgetvalue(m_result, m_row, column), nullptr);
}

std::string_view PgStatement::text(int column) const
{
    const char *v = PQgetvalue(m_result, m_row, column);
    if (m_cols[column].type == kBytea) {
        size_t n = 0;
        unsigned char *bytes = PQunescapeBytea(reinterpret_cast<const unsigned char *>(v), &n);
        m_bytes.assign(reinterpret_cast<const char *>(bytes), n);
        PQfreemem(bytes);
        return m_bytes;
    }
    return {v, static_cast<size_t>(PQgetlength(m_result, m_row, column))};
}

// --- connections --------------------------------------------------------------------------

PgConnection::PgConnection(const DbOptions &options, const PgSchemaInfo &schema)
    : m_options(options)
    , m_schema(schema)
{
    m_conn = PQconnectdb(options.path.c_str());
    if (PQstatus(m_conn) != CONNECTION_OK) {
        std::string error = PQerrorMessage(m_conn);
        while (!error.empty() && error.back() == '\n')
            error.pop_back();
        PQfinish(m_conn);
        throw std::runtime_error("cannot connect to PostgreSQL: " + error);
    }
    // The server's notices (a restart's farewell) are no business of the log.
    PQsetNoticeProcessor(
            m_conn, [](void *, const char *) {}, nullptr);
    PQclear(run(setup()));
}

std::string PgConnection::setup() const
{
    // Texts travel as UTF-8, backslashes in literals are plain characters (the translation
    // counts on it), numbers come back exactly, a kept statement is planned once (its
    // parameters are ids), and a lock waited for longer than the busy time-out answers
    // WAIT_TIMEOUT.
    return "SET client_encoding = 'UTF8'; SET standard_conforming_strings = on; "
           "SET DateStyle = ISO; SET extra_float_digits = 1; SET client_min_messages = warning; "
           "SET plan_cache_mode = force_generic_plan; SET lock_timeout = "
            + std::to_string(m_options.busyTimeoutMs);
}

PgConnection::~PgConnection()
{
    dropQueue();
    m_client.clear();
    m_cache.clear();
    for (auto &[sql, p] : m_plans)
        PQclear(p.description);
    PQfinish(m_conn);
}

bool PgConnection::broken() const
{
    return PQstatus(m_conn) != CONNECTION_OK;
}

PGresult *PgConnection::run(const std::string &sql)
{
    flush();
    PGresult *res = PQexec(m_conn, sql.c_str());
    const ExecStatusType status = PQresultStatus(res);
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        std::string error = res ? PQresultErrorMessage(res) : PQerrorMessage(m_conn);
        while (!error.empty() && error.back() == '\n')
            error.pop_back();
        bool busy = false;
        m_failure = describe(res, busy);
        PQclear(res);
        throw std::runtime_error(error);
    }
    return res;
}

const PGresult *PgConnection::plan(const std::string &sql, std::string &name, std::string &error,
                                   std::string &failure, bool &busy,
                                   const std::unordered_map<std::string, std::string> *written)
{
    if (const auto it = m_plans.find(sql); it != m_plans.end()) {
        ++it->second.users;
        it->second.used = ++m_uses;
        name = it->second.name;
        return it->second.description;
    }
    settle();
    // Texts no statement uses any more make room, the least recently used first.
    constexpr size_t kPlans = 64;
    if (m_plans.size() >= kPlans) {
        auto oldest = m_plans.end();
        for (auto it = m_plans.begin(); it != m_plans.end(); ++it)
            if (it->second.users == 0
                && (oldest == m_plans.end() || it->second.used < oldest->second.used))
                oldest = it;
        if (oldest != m_plans.end()) {
            if (!broken())
                PQclear(PQexec(m_conn, ("DEALLOCATE " + oldest->second.name).c_str()));
            PQclear(oldest->second.description);
            m_plans.erase(oldest);
        }
    }
    auto refuse = [&](PGresult *res) {
        failure = describe(res, busy, written);
        error = sql + ": " + (res ? PQresultErrorMessage(res) : PQerrorMessage(m_conn));
        while (!error.empty() && (error.back() == '\n' || error.back() == ' '))
            error.pop_back();
        PQclear(res);
        return nullptr;
    };
    const std::string made = nextName();
    PGresult *res = PQprepare(m_conn, made.c_str(), sql.c_str(), 0, nullptr);
    if (PQresultStatus(res) != PGRES_COMMAND_OK)
        return refuse(res);
    PQclear(res);
    res = PQdescribePrepared(m_conn, made.c_str());
    if (PQresultStatus(res) != PGRES_COMMAND_OK)
        return refuse(res);
    name = made;
    m_plans.emplace(sql, Plan {made, res, 1, ++m_uses});
    return res;
}

void PgConnection::release(const std::string &sql, unsigned generation)
{
    if (generation != m_generation)
        return;
    if (const auto it = m_plans.find(sql); it != m_plans.end())
        --it->second.users;
}

Statement &PgConnection::cached(const std::string &sql)
{
    const auto it = m_cache.find(sql);
    if (it != m_cache.end()) {
        it->second->reset();
        return *it->second;
    }
    auto stmt = std::make_unique<PgStatement>(*this, PgStatement::Mode::Own, ownSql(sql),
                                              wordsOf(sql));
    if (!stmt->prepare())
        throw std::runtime_error(stmt->error());
    return *m_cache.emplace(sql, std::move(stmt)).first->second;
}

void PgConnection::exec(const std::string &sql)
{
    leaveClient();
    PQclear(run(sql));
}

void PgConnection::setAccess(Access access, const std::set<std::string> &tables)
{
    m_access = access;
    m_tables = tables;
}

Prepared PgConnection::prepareClient(const JetTranslation &t)
{
    Prepared p;
    m_kind = t.kind;
    // A read confined to some tables names no other stored table.
    if (!m_tables.empty()) {
        for (const auto &name : t.names) {
            const auto known = m_schema.names.find(lowerAscii(name));
            if (known == m_schema.names.end())
                continue;
            bool allowed = false;
            for (const auto &table : m_tables)
                allowed = allowed || lowerAscii(table) == known->first;
            if (!allowed && m_schema.names.count("table:" + known->first)) {
                p.failure = msg::deniedRead(known->second);
                return p;
            }
        }
    }
    const bool read = t.kind == StatementKind::Select;
    auto stmt = std::make_unique<PgStatement>(
            *this, read ? PgStatement::Mode::ClientRead : PgStatement::Mode::ClientWrite, t.sql,
            t.names);
    // A read is prepared with its row limit, when it first runs.
    if (!read && !stmt->prepare()) {
        p.failure = stmt->failure();
        p.busy = stmt->busy();
        return p;
    }
    p.statement = std::move(stmt);
    return p;
}

Statement *PgConnection::clientStatement(const std::string &key)
{
    for (size_t i = 0; i < m_client.size(); ++i) {
        if (m_client[i].first == key) {
            std::rotate(m_client.begin(), m_client.begin() + static_cast<long>(i),
                        m_client.begin() + static_cast<long>(i) + 1);
            m_client.front().second->reset();
            return m_client.front().second.get();
        }
    }
    return nullptr;
}

Statement *PgConnection::keepClient(const std::string &key, std::unique_ptr<Statement> stmt)
{
    constexpr size_t kKept = 32;
    m_client.insert(m_client.begin(), {key, std::move(stmt)});
    if (m_client.size() > kKept)
        m_client.pop_back();
    return m_client.front().second.get();
}

void PgConnection::confine(const std::string &company, long long user)
{
    m_company = company;
    m_user = user;
    m_check = nullptr;
}

void PgConnection::confine(SessionCheck &check)
{
    m_company.clear();
    m_user = 0;
    m_check = &check;
}

namespace {

// The company of a read whose session key is unknown: no row has it, and it is not the empty
// company of an unconfined request.
constexpr const char *kNoCompany = "\x01";

// The session key's lookup, setting the transaction's company and user from it: one row
// always, the user and company of the key, nulls when there is none. A user of no company is
// unconfined, as a request of the server's own is.
constexpr const char *kSessionSettings
        = "SELECT s.iduser, u.userconcession::text, set_config('dravik.company', CASE WHEN "
          "s.iduser IS NULL THEN $3 ELSE coalesce(u.userconcession::text, '') END, true), "
          "set_config('dravik.user', CASE WHEN coalesce(u.userconcession::text, '') = '' THEN "
          "'0' ELSE s.iduser::text END, true) FROM (SELECT 1) AS one LEFT JOIN (tsessions s "
          "JOIN tusers u USING (iduser)) ON s.keyhash = $1 AND s.expiresat > $2";

} // namespace

void PgConnection::queueOpening(bool readOnly)
{
    if (sessionUnchecked() && !readOnly)
        throw std::runtime_error(msg::internalError()); // only reads wait for their session
    Entry begin;
    begin.command = readOnly ? "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY" : "BEGIN";
    begin.opens = true;
    m_queue.push_back(std::move(begin));
    if (m_check && m_check->outcome == SessionCheck::Outcome::NotRun) {
        queueSettings(kSessionSettings,
                      {m_check->keyHash, std::to_string(m_check->now), kNoCompany});
        m_queue.back().check = true;
    } else {
        std::string company = m_company;
        long long user = m_user;
        // Taken from the check each time: a later lease of the same request starts from it
        // alone, and an empty company would read unconfined.
        if (m_check) {
            const bool found = m_check->outcome == SessionCheck::Outcome::Found;
            company = found ? m_check->concession : kNoCompany;
            user = found ? m_check->user : 0;
        }
        // "user" is a reserved word: the settings are set by function, for this transaction
        // alone.
        queueSettings("SELECT set_config('dravik.company', $1, true), "
                      "set_config('dravik.user', $2, true)",
                      {company, std::to_string(company.empty() ? 0 : user)});
    }
    m_open = true;
    m_beginQueued = true;
    m_readOnly = readOnly;
    m_clientRole = false;
}

// The role and time limit of the statements that follow, for this transaction alone. The
// role follows the company already set, which a session check sets inside the database.
constexpr const char *kRoleSettings
        = "SELECT set_config('role', CASE WHEN coalesce(current_setting('dravik.company', true), "
          "'') = '' THEN $3 ELSE $1 END, true), set_config('statement_timeout', $2, true)";

void PgConnection::queueSettings(const char *sql, std::vector<std::string> params)
{
    Entry e;
    e.command = sql;
    e.params = std::move(params);
    // Prepared once per link, so that the server plans it once.
    e.name = commandName(e.command);
    m_queue.push_back(std::move(e));
}

std::string PgConnection::commandName(const std::string &sql)
{
    if (const auto it = m_commands.find(sql); it != m_commands.end())
        return it->second;
    std::string name, error, failure;
    bool busy = false;
    // Not prepared (a lost link): it is sent whole, and the link made again then.
    if (!plan(sql, name, error, failure, busy, nullptr))
        return {};
    m_commands.emplace(sql, name);
    return name;
}

StepResult PgConnection::begin(TransactionKind kind)
{
    // Nothing is sent yet: the opening travels with the transaction's first statement, and a
    // link lost meanwhile (a restart) is made again then.
    settle();
    dropQueue();
    queueOpening(kind == TransactionKind::Read);
    return StepResult::Done;
}

StepResult PgConnection::commit()
{
    if (!m_open) {
        settle();
        return StepResult::Done;
    }
    if (m_beginQueued) {
        // Nothing of the transaction reached the server.
        dropQueue();
        m_open = m_beginQueued = m_clientRole = false;
        return StepResult::Done;
    }
    if (m_readOnly) {
        // A read-only transaction has nothing to lose at its end: the COMMIT goes now and its
        // answer is read when the connection is next used.
        settle();
        m_queue.emplace_back("COMMIT");
        m_open = m_clientRole = false;
        m_inFlight = std::move(m_queue);
        m_queue.clear();
        m_read = 0;
        m_flightFailure.clear();
        if (!sendFlight())
            finishFlight();
        return StepResult::Done;
    }
    PGresult *res = nullptr;
    Entry end;
    end.command = "COMMIT";
    end.out = &res;
    m_queue.push_back(std::move(end));
    m_open = m_clientRole = false;
    flush();
    const bool ok = res && PQresultStatus(res) == PGRES_COMMAND_OK;
    bool busy = false;
    if (!ok)
        m_failure = res ? describe(res, busy) : flightFailure(busy);
    PQclear(res);
    return ok ? StepResult::Done : busy ? StepResult::Busy : StepResult::Failed;
}

void PgConnection::endWithSentReads()
{
    // Only while the reads still wait to be sent: their COMMIT travels in the same round trip,
    // and the server needs no wake-up of its own for it.
    if (!m_open || !m_readOnly || m_queue.empty())
        return;
    m_queue.emplace_back("COMMIT");
    m_open = m_beginQueued = m_clientRole = false;
}

bool PgConnection::reconnect()
{
    PQreset(m_conn);
    if (broken())
        return false;
    if (PQpipelineStatus(m_conn) != PQ_PIPELINE_OFF)
        PQexitPipelineMode(m_conn);
    // The server's prepared statements went with the old link: each is prepared again.
    ++m_generation;
    for (auto &[sql, p] : m_plans)
        PQclear(p.description);
    m_plans.clear();
    m_commands.clear();
    PQclear(PQexec(m_conn, setup().c_str()));
    return !broken();
}

void PgConnection::rollback()
{
    if (!m_open) {
        // Nothing to end: what is still on its way is read at the next use.
        dropQueue();
        return;
    }
    settle();
    const bool sent = m_open && !m_beginQueued;
    dropQueue();
    if (sent && !broken())
        PQclear(PQexec(m_conn, "ROLLBACK"));
    m_open = m_beginQueued = m_clientRole = false;
}

void PgConnection::enterClient(bool readOnly, bool &own)
{
    own = false;
    // Already there, under the same time limit: nothing to send.
    if (m_open && m_clientRole && m_clientTimeoutMs == m_timeoutMs)
        return;
    if (!m_open) {
        queueOpening(readOnly);
        own = true;
    }
    queueSettings(kRoleSettings,
                  {kClientRole, std::to_string(std::max(m_timeoutMs, 0)), kUnconfinedRole});
    m_clientRole = true;
    m_clientTimeoutMs = m_timeoutMs;
}

void PgConnection::leaveClient()
{
    if (!m_clientRole || !m_open)
        return;
    queueSettings(kRoleSettings, {"none", "0", "none"});
    m_clientRole = false;
}

void PgConnection::queue(PgStatement &stmt, const char *after)
{
    Entry run;
    run.stmt = &stmt;
    m_queue.push_back(std::move(run));
    if (after) {
        m_queue.emplace_back(after);
        // The transaction ends with this round trip.
        m_open = m_beginQueued = m_clientRole = false;
    }
}

void PgConnection::dropQueue()
{
    for (auto &e : m_queue)
        if (e.stmt)
            e.stmt->unsent();
    m_queue.clear();
}

void PgConnection::forget(PgStatement &stmt)
{
    bool inFlight = false;
    for (size_t i = m_read; i < m_inFlight.size(); ++i)
        inFlight = inFlight || m_inFlight[i].stmt == &stmt;
    if (inFlight)
        settle();
    m_queue.erase(std::remove_if(m_queue.begin(), m_queue.end(),
                                 [&](const Entry &e) { return e.stmt == &stmt; }),
                  m_queue.end());
}

std::string PgConnection::flightFailure(bool &busy) const
{
    busy = m_flightBusy;
    return m_flightFailure.empty() ? msg::databaseUnreachable() : m_flightFailure;
}

bool PgConnection::sendFlight()
{
    if (PQpipelineStatus(m_conn) == PQ_PIPELINE_OFF && PQenterPipelineMode(m_conn) != 1)
        return false;
    for (const Entry &e : m_inFlight) {
        int sent = 0;
        if (e.stmt) {
            const auto &params = e.stmt->params();
            std::vector<const char *> values(params.size());
            std::vector<int> lengths(params.size());
            for (size_t i = 0; i < params.size(); ++i) {
                values[i] = params[i] ? params[i]->c_str() : nullptr;
                lengths[i] = params[i] ? static_cast<int>(params[i]->size()) : 0;
            }
            sent = PQsendQueryPrepared(m_conn, e.stmt->planName().c_str(),
                                       static_cast<int>(values.size()), values.data(),
                                       lengths.data(), e.stmt->formats().data(), 0);
            // A client read's rows come one at a time, so that a long answer is never held
            // whole.
            if (sent && e.stmt->streams())
                PQsetSingleRowMode(m_conn);
        } else {
            std::vector<const char *> values;
            for (const auto &p : e.params)
                values.push_back(p.c_str());
            const int n = static_cast<int>(values.size());
            sent = e.name.empty() ? PQsendQueryParams(m_conn, e.command.c_str(), n, nullptr,
                                                      values.data(), nullptr, nullptr, 0)
                                  : PQsendQueryPrepared(m_conn, e.name.c_str(), n, values.data(),
                                                        nullptr, nullptr, 0);
        }
        if (!sent)
            return false;
    }
    return PQpipelineSync(m_conn) == 1;
}

void PgConnection::flush()
{
    settle();
    if (m_queue.empty())
        return;
    m_inFlight = std::move(m_queue);
    m_queue.clear();
    m_read = 0;
    m_flightFailure.clear();
    m_flightBusy = false;
    m_beginQueued = false;
    const size_t n = m_inFlight.size();
    std::vector<PGresult *> got(n, nullptr);
    size_t streaming = n; // the read whose rows are still coming
    for (int attempt = 0;; ++attempt) {
        bool lost = !sendFlight();
        for (size_t i = 0; i < n && !lost; ++i) {
            PgStatement *stmt = m_inFlight[i].stmt;
            got[i] = PQgetResult(m_conn);
            if (!got[i]) {
                lost = true;
                break;
            }
            if (stmt && stmt->streams() && PQresultStatus(got[i]) == PGRES_SINGLE_TUPLE) {
                streaming = i;
                break;
            }
            // Each command's results end with a null.
            while (PGresult *more = PQgetResult(m_conn))
                PQclear(more);
        }
        lost = lost || broken();
        // A round trip that opens its transaction has changed nothing yet when the link is
        // lost (a restart): it goes again once over a new link.
        if (!lost || attempt > 0 || !m_inFlight.front().opens || !reconnect())
            break;
        for (auto &r : got) {
            PQclear(r);
            r = nullptr;
        }
        streaming = n;
        std::vector<Entry> group = std::move(m_inFlight);
        m_inFlight.clear();
        bool ready = true;
        for (Entry &e : group) {
            if (!e.name.empty())
                e.name = commandName(e.command);
            ready = ready && (!e.stmt || e.stmt->prepare());
        }
        m_inFlight = std::move(group);
        if (!ready)
            break;
    }
    for (size_t i = 0; i < n && i <= streaming; ++i)
        deliver(m_inFlight[i], got[i]);
    m_read = streaming < n ? streaming : n;
    if (streaming == n)
        finishFlight();
}

void PgConnection::deliver(Entry &e, PGresult *res)
{
    const ExecStatusType status = res ? PQresultStatus(res) : PGRES_FATAL_ERROR;
    const bool failed = status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK
            && status != PGRES_SINGLE_TUPLE && status != PGRES_PIPELINE_ABORTED;
    if (e.stmt) {
        e.stmt->received(res);
        if (failed && m_flightFailure.empty()) {
            m_flightFailure = e.stmt->failure();
            m_flightBusy = e.stmt->busy();
        }
        return;
    }
    if (failed && m_flightFailure.empty())
        m_flightFailure = describe(res, m_flightBusy);
    if (e.check && m_check && status == PGRES_TUPLES_OK && PQntuples(res) == 1) {
        const bool found = !PQgetisnull(res, 0, 0);
        m_check->outcome = found ? SessionCheck::Outcome::Found : SessionCheck::Outcome::Unknown;
        m_check->user = found ? std::atoll(PQgetvalue(res, 0, 0)) : 0;
        m_check->concession = found && !PQgetisnull(res, 0, 1) ? PQgetvalue(res, 0, 1) : "";
    }
    if (e.out)
        *e.out = res;
    else
        PQclear(res);
}

PGresult *PgConnection::nextRow()
{
    if (m_read >= m_inFlight.size())
        return nullptr;
    PGresult *res = PQgetResult(m_conn);
    if (res && PQresultStatus(res) == PGRES_SINGLE_TUPLE)
        return res;
    // The end of its rows, or a failure: what follows in the round trip is read now.
    if (res) {
        while (PGresult *more = PQgetResult(m_conn))
            PQclear(more);
        const ExecStatusType status = PQresultStatus(res);
        if (status != PGRES_TUPLES_OK && m_flightFailure.empty())
            m_flightFailure = describe(res, m_flightBusy);
    }
    ++m_read;
    finishFlight();
    return res;
}

void PgConnection::settle()
{
    if (!m_inFlight.empty())
        finishFlight();
}

void PgConnection::finishFlight()
{
    for (; m_read < m_inFlight.size(); ++m_read) {
        Entry &e = m_inFlight[m_read];
        if (e.stmt && e.stmt->streaming()) {
            // The rest of a read left before its end.
            while (PGresult *row = PQgetResult(m_conn)) {
                const bool more = PQresultStatus(row) == PGRES_SINGLE_TUPLE;
                PQclear(row);
                if (!more)
                    break;
            }
            while (PGresult *more = PQgetResult(m_conn))
                PQclear(more);
            e.stmt->stopped();
            continue;
        }
        PGresult *res = PQgetResult(m_conn);
        if (res) {
            while (PGresult *more = PQgetResult(m_conn))
                PQclear(more);
        }
        deliver(e, res);
    }
    // The sync ends the round trip.
    while (PGresult *res = PQgetResult(m_conn)) {
        const bool sync = PQresultStatus(res) == PGRES_PIPELINE_SYNC;
        PQclear(res);
        if (sync)
            break;
    }
    if (PQpipelineStatus(m_conn) != PQ_PIPELINE_OFF)
        PQexitPipelineMode(m_conn);
    m_inFlight.clear();
    m_read = 0;
    // A read that ended its own transaction and failed left it open, aborted.
    if (!m_open && !broken() && PQtransactionStatus(m_conn) == PQTRANS_INERROR)
        PQclear(PQexec(m_conn, "ROLLBACK"));
}

long long PgConnection::lastInsertId() const
{
    PGresult *res = PQexec(m_conn, "SELECT current_setting('dravik.last_id', true)");
    long long id = 0;
    if (PQresultStatus(res) == PGRES_TUPLES_OK && PQntuples(res) == 1)
        id = std::atoll(PQgetvalue(res, 0, 0));
    PQclear(res);
    return id;
}

long long PgConnection::nextId(const std::string &table, const std::string &column)
{
    leaveClient();
    // One insert at a time per table, over every company's rows (the owner sees them all);
    // the largest is read after the lock is held, in a snapshot of its own.
    const std::string t = quoteName(lowerAscii(table));
    PGresult *res = nullptr;
    m_queue.emplace_back("SELECT pg_advisory_xact_lock(" + quoteLiteral(t)
                         + "::regclass::oid::bigint)");
    Entry largest;
    largest.command
            = "SELECT coalesce(max(" + quoteName(lowerAscii(column)) + "), 0) + 1 FROM " + t;
    largest.out = &res;
    m_queue.push_back(std::move(largest));
    flush();
    if (!res || PQresultStatus(res) != PGRES_TUPLES_OK || PQntuples(res) != 1) {
        bool busy = false;
        const std::string error = res ? PQresultErrorMessage(res) : flightFailure(busy);
        PQclear(res);
        throw std::runtime_error(error);
    }
    const long long id = std::atoll(PQgetvalue(res, 0, 0));
    PQclear(res);
    return id;
}

std::string
PgConnection::describe(const PGresult *res, bool &busy,
                       const std::unordered_map<std::string, std::string> *written) const
{
    busy = false;
    if (!res || broken())
        return msg::databaseUnreachable();
    const std::string state = field(res, PG_DIAG_SQLSTATE);
    const std::string text = field(res, PG_DIAG_MESSAGE_PRIMARY);
    auto canonical = [&](const std::string &name) {
        if (written) {
            if (const auto w = written->find(lowerAscii(name)); w != written->end())
                return w->second;
        }
        const auto it = m_schema.names.find(lowerAscii(name));
        return it == m_schema.names.end() ? name : it->second;
    };
    const std::string table = canonical(field(res, PG_DIAG_TABLE_NAME));
    if (state == "57014")
        return msg::interrupted();
    if (state == "55P03" || state == "40P01" || state == "40001") {
        busy = true;
        return "WAIT_TIMEOUT";
    }
    if (state == "25006")
        return msg::deniedWriteInQuery();
    if (state == "P0001" && text.compare(0, msg::kRefusedPrefix.size(), msg::kRefusedPrefix) == 0)
        return text;
    if (state == "42501") {
        const std::string denied = canonical(text.substr(text.rfind(' ') + 1));
        if (text.find("row-level security") != std::string::npos) {
            // Through its owner's company, or a company of its own.
            static const std::map<std::string, std::string> owners
                    = {{"tVO - Frevo", "véhicule"},
                       {"tVO - Liens Images", "véhicule"},
                       {"tResa", "véhicule"},
                       {"tActions", "client"},
                       {"TVehiclesClarim", "client"}};
            const std::string named = canonical(quotedAfter(text, "for table "));
            if (const auto o = owners.find(named); o != owners.end())
                return msg::otherCompanyOwner(named, o->second);
            return m_kind == StatementKind::Update ? msg::otherCompanyMove(named)
                                                   : msg::otherCompanyInsert(named);
        }
        const bool hidden = m_options.hiddenTables.count(denied) > 0;
        return m_access == Access::Write && !hidden ? msg::deniedWrite(denied)
                                                    : msg::deniedRead(denied);
    }
    if (state == "42P01")
        return msg::noSuchTable(canonical(quotedAfter(text, "relation ")));
    if (state == "42703")
        return msg::noSuchColumn(canonical(quotedAfter(text, "column ")));
    if (state == "23505") {
        std::string detail = field(res, PG_DIAG_MESSAGE_DETAIL);
        const size_t b = detail.find('('), e = detail.find(')');
        const std::string column = b != std::string::npos && e != std::string::npos
                ? canonical(detail.substr(b + 1, e - b - 1))
                : std::string();
        return msg::duplicateValue(table + "." + column);
    }
    if (state == "23502")
        return msg::missingValue(table + "." + canonical(field(res, PG_DIAG_COLUMN_NAME)));
    if (state == "42601") {
        if (text.find("at end of input") != std::string::npos)
            return msg::syntaxError("la fin de l'instruction");
        const size_t p = text.find("at or near ");
        if (p != std::string::npos)
            return msg::syntaxError(text.substr(p + 11));
    }
    if (state == "54000" || state == "22001")
        return msg::valueTooLarge();
    if (state == "53400" || state == "53100")
        return msg::tempSpaceExceeded();
    return msg::sqlError(text);
}

// --- the database -------------------------------------------------------------------------

PgDatabase::PgDatabase(DbOptions options)
    : Database(std::move(options))
{
    // Reaches the server now, so that a server that is down is told at start.
    keepIdle(std::make_unique<PgConnection>(this->options(), m_schema));
    loadSchema();
}

PgDatabase::~PgDatabase()
{
    dropIdle();
}

Database::Lease PgDatabase::acquire()
{
    std::unique_ptr<PgConnection> c;
    while (auto idle = takeIdle(false)) {
        c.reset(static_cast<PgConnection *>(idle.release()));
        // A link the server closed (a restart) shows as soon as its pending input is read.
        if (PQconsumeInput(c->handle()) && !c->broken())
            break;
        c.reset();
    }
    if (!c) {
        try {
            c = std::make_unique<PgConnection>(options(), m_schema);
        } catch (const std::exception &) {
            throw std::runtime_error(msg::databaseUnreachable());
        }
    }
    if (SessionCheck *check = RequestScope::check())
        c->confine(*check);
    else
        c->confine(RequestScope::company(), RequestScope::user());
    return Lease(*this, std::move(c));
}

bool PgDatabase::reusable(Connection &c)
{
    auto &own = static_cast<PgConnection &>(c);
    own.confine({}, 0);
    // A connection whose server went away is dropped; the next request connects again.
    return !own.broken();
}

void PgDatabase::loadSchema()
{
    auto lease = acquire();
    auto &c = static_cast<PgConnection &>(*lease);
    PgSchemaInfo info;
    std::unordered_map<std::string, std::string> tableColumns;
    for (const auto &t : seed::schemaTables()) {
        info.names.emplace(lowerAscii(t.name), t.name);
        info.names.emplace("table:" + lowerAscii(t.name), t.name);
        for (const auto &col : t.columns) {
            info.names.emplace(lowerAscii(col), col);
            tableColumns.emplace(lowerAscii(t.name) + "." + lowerAscii(col), col);
        }
    }
    for (const char *own :
         {"tRequestKeys", "tPasswords", "tSessions", "tReportTickets", "RequestKey", "Answer",
          "AppliedAt", "Hash", "KeyHash", "ExpiresAt", "Selection", "Report"})
        info.names.emplace(lowerAscii(own), own);
    PGresult *res = c.run(
            "SELECT a.attrelid::bigint, a.attnum, a.attname, t.typname, c.relname FROM "
            "pg_attribute a "
            "JOIN pg_class c ON c.oid = a.attrelid JOIN pg_namespace n ON n.oid = c.relnamespace "
            "JOIN pg_type t ON t.oid = a.atttypid WHERE n.nspname = current_schema() "
            "AND c.relkind = 'r' AND a.attnum > 0 AND NOT a.attisdropped");
    for (int i = 0; i < PQntuples(res); ++i) {
        PgSchemaInfo::Column col;
        const std::string name = PQgetvalue(res, i, 2), type = PQgetvalue(res, i, 3);
        // Two tables may write the same name in two ways (idTVO, idtVO).
        const auto known = tableColumns.find(std::string(PQgetvalue(res, i, 4)) + "." + name);
        col.name = known == tableColumns.end() ? name : known->second;
        col.kind = type == "bool"       ? ColumnKind::Boolean
                : type == "dravik_date" ? ColumnKind::Date
                                        : ColumnKind::Plain;
        info.columns.emplace(
                std::make_pair(static_cast<unsigned>(std::atoll(PQgetvalue(res, i, 0))),
                               std::atoi(PQgetvalue(res, i, 1))),
                col);
    }
    PQclear(res);
    m_schema = std::move(info);
}

namespace {

// The rowid SQLite gives a row inserted without its INTEGER PRIMARY KEY: one more than the
// largest, over every company's rows (the function runs as the schema's owner).
constexpr const char *kRowidFunction = R"(
CREATE FUNCTION dravik_rowid() RETURNS trigger LANGUAGE plpgsql SECURITY DEFINER AS $$
DECLARE id bigint;
BEGIN
    id := (to_jsonb(NEW) ->> TG_ARGV[0])::bigint;
    IF id IS NULL THEN
        PERFORM pg_advisory_xact_lock(TG_RELID::bigint);
        EXECUTE format('SELECT coalesce(max(%I), 0) + 1 FROM %I.%I', TG_ARGV[0],
                       TG_TABLE_SCHEMA, TG_TABLE_NAME) INTO id;
        NEW := jsonb_populate_record(NEW, jsonb_build_object(TG_ARGV[0], id));
    END IF;
    PERFORM set_config('dravik.last_id', id::text, true);
    RETURN NEW;
END $$;
)";

// The server's own tables, which the client role cannot reach.
constexpr const char *kServerTables = R"(
CREATE TABLE IF NOT EXISTS tpasswords (iduser bigint PRIMARY KEY, hash text NOT NULL);
CREATE TABLE IF NOT EXISTS tsessions (keyhash text PRIMARY KEY, iduser bigint NOT NULL,
    expiresat bigint NOT NULL);
CREATE TABLE IF NOT EXISTS treporttickets (keyhash text PRIMARY KEY, iduser bigint NOT NULL,
    selection text NOT NULL, report text NOT NULL, expiresat bigint NOT NULL);
CREATE TABLE IF NOT EXISTS trequestkeys (requestkey text PRIMARY KEY, answer bytea NOT NULL,
    appliedat bigint NOT NULL);
CREATE INDEX IF NOT EXISTS trequestkeysappliedat ON trequestkeys (appliedat);
)";

// The match operator of the translated "like" (kPgMatchOperator): ILIKE's own function under a
// name of the server's, declared leakproof so that PostgreSQL may answer it from a trigram index
// before the row-level security policies have kept the company's rows. It is leakproof as the
// server uses it: the translation passes it only literal patterns, whose backslashes it doubles,
// and with such a pattern it fails for no text. Made by a superuser (docs/deploy.md).
constexpr const char *kMatchSupport = R"(
CREATE EXTENSION IF NOT EXISTS pg_trgm;
CREATE FUNCTION dravik_like(text, text) RETURNS boolean LANGUAGE internal IMMUTABLE STRICT
    LEAKPROOF PARALLEL SAFE AS 'texticlike';
CREATE OPERATOR ~~@ (FUNCTION = dravik_like, LEFTARG = text, RIGHTARG = text,
    RESTRICT = iclikesel, JOIN = iclikejoinsel);
CREATE OPERATOR CLASS dravik_trgm_ops FOR TYPE text USING gin AS
    OPERATOR 4 ~~@ (text, text),
    FUNCTION 1 btint4cmp (int4, int4),
    FUNCTION 2 gin_extract_value_trgm (text, internal),
    FUNCTION 3 gin_extract_query_trgm (text, internal, int2, internal, internal, internal, internal),
    FUNCTION 4 gin_trgm_consistent (internal, int2, text, int4, internal, internal, internal,
                                    internal),
    FUNCTION 6 gin_trgm_triconsistent (internal, int2, text, int4, internal, internal, internal),
    STORAGE int4;
)";

static_assert(std::string_view(kPgMatchOperator) == "~~@", "the operator made above");

// The columns the client's searches match with "like" (a plate, a buyer, a name, a phone).
constexpr std::pair<const char *, const char *> kMatchedColumns[]
        = {{"tVehicles", "Immatriculation"},
           {"tVehicles", "Acheteur"},
           {"TVehiclesClarim", "Immatriculation"},
           {"tClients", "CliNom"},
           {"tClients", "CliPrenom"},
           {"tClients", "CliMobile"},
           {"tClients", "CliTelDom"}};

std::string matchIndexes()
{
    std::string sql;
    for (const auto &[table, column] : kMatchedColumns) {
        const std::string t = lowerAscii(table), c = lowerAscii(column);
        sql += "CREATE INDEX IF NOT EXISTS " + quoteName(t + "_" + c + "_match") + " ON "
                + quoteName(t) + " USING gin ((" + c + "::text) dravik_trgm_ops);";
    }
    return sql;
}

// The request's company ('' when the request runs unconfined) and user.
constexpr const char *kCompany = "coalesce(current_setting('dravik.company', true), '')";
constexpr const char *kUser
        = "coalesce(nullif(current_setting('dravik.user', true), ''), '0')::bigint";

// The company as the policies compare it: read once per statement (a subquery of constants is
// planned as one), not once per row.
std::string companyCi()
{
    return "(SELECT " + std::string(kCompany) + "::citext)";
}

// The policies of a table: the client role's, and the unconfined role's, which lets it reach
// every row.
std::string policies(const std::string &t, const std::string &own)
{
    return "ALTER TABLE " + t + " ENABLE ROW LEVEL SECURITY; DROP POLICY IF EXISTS dravik ON " + t
            + "; CREATE POLICY dravik ON " + t + " TO " + kClientRole + " USING " + own
            + " WITH CHECK " + own + "; DROP POLICY IF EXISTS dravik_all ON " + t
            + "; CREATE POLICY dravik_all ON " + t + " TO " + kUnconfinedRole
            + " USING (true) WITH CHECK (true);";
}

// Row-level security of the client role: reads see the company's rows (and the shared ones),
// writes to another company's rows are skipped, a row may be made or moved nowhere else.
std::string companyPolicy(const std::string &table, const std::string &column,
                          const std::string &shared = {})
{
    const std::string c = lowerAscii(column);
    return policies(quoteName(lowerAscii(table)),
                    "(" + c + " = " + companyCi()
                            + (shared.empty() ? "" : " OR " + c + " = " + quoteText(shared)) + ")");
}

// A table confined through its owner: the owner's own policy keeps the company's rows.
std::string ownedPolicy(const std::string &table, const std::string &key, const std::string &owner)
{
    const std::string t = quoteName(lowerAscii(table));
    const std::string k = lowerAscii(key);
    return policies(t,
                    "(EXISTS (SELECT 1 FROM " + lowerAscii(owner) + " o WHERE o." + k + " = " + t
                            + "." + k + "))");
}

// The locks of the client, kept by the database on the company's own rows: a vehicle of a
// site the user does not reach (nor owns), or delivered before the lock date, is changed by
// nobody; only administrators delete vehicles; a cost carrying an accounting number is
// changed by accounting alone.
std::string lockRules()
{
    const std::string groups = "(SELECT replace(upper(g.gname::text), 'USER_', '') FROM "
                               "tusergroups g WHERE g.iduser = "
            + std::string(kUser) + ")";
    const std::string unreached = "EXISTS (SELECT 1 FROM tvehicles v, tusers u WHERE v.idvo = "
                                  "$1 AND u.iduser = "
            + std::string(kUser) + " AND v.concession = " + kCompany
            + "::citext AND NOT (u.usersite IS NOT DISTINCT FROM '#' OR (coalesce(v.site, '') "
              "<> '' AND strpos(upper(u.usersite::text), upper(v.site::text)) > 0) OR "
              "v.idowner IS NOT DISTINCT FROM "
            + kUser + "))";
    // The helpers are PL/pgSQL, whose statements are planned once per connection: a SQL
    // function of its own rights is planned again at each transaction, which took a third of a
    // write's time in the database.
    return "CREATE OR REPLACE FUNCTION dravik_unreached(bigint) RETURNS boolean LANGUAGE plpgsql "
           "STABLE SECURITY DEFINER AS $$ BEGIN RETURN "
            + unreached
            + "; END $$;"
              "CREATE OR REPLACE FUNCTION dravik_in_group(text[]) RETURNS boolean LANGUAGE "
              "plpgsql STABLE SECURITY DEFINER AS $$ BEGIN RETURN EXISTS (SELECT 1 FROM "
            + groups
            + " AS x(name) WHERE x.name = ANY ($1)); END $$;"
              "CREATE OR REPLACE FUNCTION dravik_vehicle_rules() RETURNS trigger LANGUAGE "
              "plpgsql SECURITY DEFINER AS $$ BEGIN IF "
            + kCompany + " = '' OR OLD.concession IS DISTINCT FROM " + kCompany
            + "::citext THEN RETURN CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END; END IF; "
              "IF dravik_unreached(OLD.idvo) THEN RAISE EXCEPTION '%', "
            + quoteText(msg::otherSiteVehicle("tVehicles"))
            + "; END IF; IF TG_OP = 'DELETE' AND NOT dravik_in_group(ARRAY['ADMINS', "
              "'SUPERADMINS']) THEN RAISE EXCEPTION '%', "
            + quoteText(msg::vehicleDeleteNeedsAdmin())
            + "; END IF; IF OLD.datelivraison < (SELECT d.opt_limitedateverrouvnvo FROM "
              "toptdates d WHERE d.concession = OLD.concession) THEN RAISE EXCEPTION '%', "
            + quoteText(msg::lockedVehicle())
            + "; END IF; RETURN CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END; END $$;"
              "CREATE OR REPLACE FUNCTION dravik_cost_rules() RETURNS trigger LANGUAGE plpgsql "
              "SECURITY DEFINER AS $$ DECLARE r record; BEGIN IF "
            + kCompany
            + " = '' THEN RETURN CASE WHEN TG_OP = 'DELETE' THEN OLD ELSE NEW END; END IF; "
              "IF TG_OP = 'DELETE' THEN r := OLD; ELSE r := NEW; END IF; "
              "IF dravik_unreached(CASE WHEN TG_OP = 'INSERT' THEN NEW.idvo ELSE OLD.idvo END) "
              "THEN RAISE EXCEPTION '%', "
            + quoteText(msg::otherSiteVehicle("tVO - Frevo"))
            + "; END IF; IF TG_OP <> 'INSERT' AND coalesce(OLD.ncomptable, '') <> '' AND NOT "
              "dravik_in_group(ARRAY['COMPTA']) AND EXISTS (SELECT 1 FROM tvehicles v WHERE "
              "v.idvo = OLD.idvo AND v.concession = "
            + kCompany + "::citext) THEN RAISE EXCEPTION '%', " + quoteText(msg::lockedCost())
            + "; END IF; RETURN r; END $$;"
              "DROP TRIGGER IF EXISTS dravik_rules ON tvehicles;"
              "CREATE TRIGGER dravik_rules BEFORE UPDATE OR DELETE ON tvehicles FOR EACH ROW "
              "EXECUTE FUNCTION dravik_vehicle_rules();"
              "DROP TRIGGER IF EXISTS dravik_rules ON \"tvo - frevo\";"
              "CREATE TRIGGER dravik_rules BEFORE INSERT OR UPDATE OR DELETE ON \"tvo - frevo\" "
              "FOR EACH ROW EXECUTE FUNCTION dravik_cost_rules();";
}

std::string confinementSql()
{
    return companyPolicy("tVehicles", "Concession") + companyPolicy("tClients", "Concession")
            + ownedPolicy("tVO - Frevo", "idVO", "tVehicles")
            + ownedPolicy("tVO - Liens Images", "idVO", "tVehicles")
            + ownedPolicy("tResa", "idVO", "tVehicles")
            + ownedPolicy("tActions", "idClient", "tClients")
            + ownedPolicy("TVehiclesClarim", "idClient", "tClients")
            + companyPolicy("InfoSite", "Concession") + companyPolicy("InfoCom", "Concession")
            + companyPolicy("tOptDates", "Concession") + companyPolicy("tUsers", "UserConcession")
            + companyPolicy("ListVersions", "VConcession")
            + companyPolicy("ListRubrics", "RubricItem", "..")
            + ownedPolicy("tUserGroups", "idUser", "tUsers") + lockRules();
}

std::string copyText(sqlite3_stmt *stmt, int i)
{
    switch (sqlite3_column_type(stmt, i)) {
    case SQLITE_NULL:
        return "\\N";
    case SQLITE_INTEGER:
        return std::to_string(sqlite3_column_int64(stmt, i));
    case SQLITE_FLOAT: {
        char buf[40];
        const auto r = std::to_chars(buf, buf + sizeof buf, sqlite3_column_double(stmt, i));
        return std::string(buf, r.ptr);
    }
    default: {
        const auto *t = reinterpret_cast<const char *>(sqlite3_column_text(stmt, i));
        std::string out;
        for (const char *p = t; p && *p; ++p) {
            switch (*p) {
            case '\\':
                out += "\\\\";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += *p;
            }
        }
        return out;
    }
    }
}

} // namespace

void PgDatabase::copySeed(PgConnection &c, const std::string &seed, const std::string &photoDir)
{
    // The same seed code as on SQLite writes the records into a database in memory, which is
    // then copied over.
    sqlite3 *mem = nullptr;
    sqlite3_open(":memory:", &mem);
    std::unique_ptr<sqlite3, int (*)(sqlite3 *)> closer(mem, sqlite3_close);
    if (seed == "large")
        seed::seedLarge(mem, photoDir);
    else
        seed::seedDemo(mem, photoDir);
    const auto tables = seed::schemaTables();
    std::string names;
    for (const auto &t : tables)
        names += (names.empty() ? "" : ", ") + quoteName(lowerAscii(t.name));
    PQclear(c.run("TRUNCATE " + names + " CASCADE"));
    for (const auto &t : tables) {
        std::string columns;
        for (const auto &col : t.columns)
            columns += (columns.empty() ? "" : ", ") + quoteName(lowerAscii(col));
        PGresult *copy
                = PQexec(c.handle(),
                         ("COPY " + quoteName(lowerAscii(t.name)) + " (" + columns + ") FROM STDIN")
                                 .c_str());
        const bool copying = PQresultStatus(copy) == PGRES_COPY_IN;
        const std::string refused = PQresultErrorMessage(copy);
        PQclear(copy);
        if (!copying)
            throw std::runtime_error("seed " + t.name + ": " + refused);
        sqlite3_stmt *stmt = nullptr;
        std::string select;
        for (const auto &col : t.columns)
            select += (select.empty() ? "" : ", ") + quoteName(col);
        sqlite3_prepare_v2(mem, ("SELECT " + select + " FROM " + quoteName(t.name)).c_str(), -1,
                           &stmt, nullptr);
        std::string buffer;
        while (stmt && sqlite3_step(stmt) == SQLITE_ROW) {
            for (int i = 0; i < static_cast<int>(t.columns.size()); ++i) {
                if (i)
                    buffer += '\t';
                buffer += copyText(stmt, i);
            }
            buffer += '\n';
            if (buffer.size() > (1 << 20)) {
                PQputCopyData(c.handle(), buffer.data(), static_cast<int>(buffer.size()));
                buffer.clear();
            }
        }
        sqlite3_finalize(stmt);
        PQputCopyData(c.handle(), buffer.data(), static_cast<int>(buffer.size()));
        PQputCopyEnd(c.handle(), nullptr);
        PGresult *res = PQgetResult(c.handle());
        const bool ok = PQresultStatus(res) == PGRES_COMMAND_OK;
        const std::string error = PQresultErrorMessage(res);
        PQclear(res);
        while ((res = PQgetResult(c.handle())))
            PQclear(res);
        if (!ok)
            throw std::runtime_error("seed " + t.name + ": " + error);
    }
}

namespace {

// A step of the setup that this role may not take: what is missing, why, and who does it.
std::runtime_error superuserStep(const std::string &missing, const std::exception &why)
{
    return std::runtime_error(missing + " (" + why.what()
                              + "): a superuser does it as docs/deploy.md says");
}

} // namespace

void PgDatabase::prepare(const PrepareOptions &options)
{
    {
        auto lease = acquire();
        auto &c = static_cast<PgConnection &>(*lease);
        PGresult *res = c.run("SELECT to_regclass('tconcessions') IS NULL");
        const bool fresh = PQgetvalue(res, 0, 0)[0] == 't';
        PQclear(res);
        if (fresh) {
            std::string sql = "BEGIN;" + seed::postgresSchema() + kRowidFunction;
            for (const auto &t : seed::schemaTables())
                if (!t.rowid.empty())
                    sql += "CREATE TRIGGER dravik_rowid BEFORE INSERT ON "
                            + quoteName(lowerAscii(t.name))
                            + " FOR EACH ROW EXECUTE FUNCTION dravik_rowid("
                            + quoteLiteral(lowerAscii(t.rowid)) + ");";
            c.exec(sql + kServerTables + "COMMIT;");
        }
        // The match operator, made once per database.
        PGresult *match = c.run(std::string("SELECT to_regoperator('") + kPgMatchOperator
                                + "(text,text)') IS NULL");
        const bool noMatch = PQgetvalue(match, 0, 0)[0] == 't';
        PQclear(match);
        if (noMatch) {
            try {
                c.exec(std::string("BEGIN;") + kMatchSupport + "COMMIT;");
            } catch (const std::exception &e) {
                c.exec("ROLLBACK");
                throw superuserStep(std::string("the match operator ") + kPgMatchOperator
                                            + " is missing and cannot be made by this role",
                                    e);
            }
        }
        // The roles client statements run under, made once per cluster, with the same rights.
        // Each is made and granted only when missing: a role without CREATEROLE may not grant
        // even a membership it has, which a superuser gave it as docs/deploy.md says.
        const char *const roles[] = {kClientRole, kUnconfinedRole};
        for (const std::string r : roles) {
            try {
                c.exec("DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '" + r
                       + "') THEN CREATE ROLE " + r + " NOLOGIN; END IF; IF NOT pg_has_role('" + r
                       + "', 'MEMBER') THEN EXECUTE 'GRANT " + r
                       + " TO ' || quote_ident(current_user); END IF; END $$;");
            } catch (const std::exception &e) {
                throw superuserStep("the role " + r
                                            + " is missing or not granted, and this role cannot "
                                              "make or grant it",
                                    e);
            }
        }
        const std::string to = std::string(" TO ") + kClientRole + ", " + kUnconfinedRole + ";";
        std::string grants = "GRANT USAGE ON SCHEMA public" + to;
        for (const auto &t : seed::schemaTables()) {
            bool writable = false;
            for (const auto &w : this->options().writableTables)
                writable = writable || lowerAscii(w) == lowerAscii(t.name);
            grants += "GRANT SELECT" + std::string(writable ? ", INSERT, UPDATE, DELETE" : "")
                    + " ON " + quoteName(lowerAscii(t.name)) + to;
        }
        c.exec(grants);
        c.exec("BEGIN;" + confinementSql() + "COMMIT;");
        auto count = [&](const char *sql) {
            PGresult *r = c.run(sql);
            const long long n = std::atoll(PQgetvalue(r, 0, 0));
            PQclear(r);
            return n;
        };
        const bool empty = count("SELECT count(*) FROM tconcessions") == 0;
        const bool seeding = (options.seed == "demo" && empty)
                || (options.seed == "large"
                    && count("SELECT count(*) FROM tvehicles") < seed::kLargeVehicles);
        if (seeding) {
            c.exec("BEGIN");
            try {
                copySeed(c, options.seed, options.photoDir);
                c.exec("COMMIT");
            } catch (...) {
                c.exec("ROLLBACK");
                throw;
            }
        }
        // After the seed: an index is built faster over rows already there.
        c.exec(matchIndexes());
        // The tables just filled have no statistics yet: the first requests would be planned
        // blind, and planned again when the autovacuum comes by.
        if (seeding)
            c.exec("ANALYZE");
        if (!options.seed.empty())
            setDemoPasswords(c);
    }
    loadSchema();
}

} // namespace dravik::server
