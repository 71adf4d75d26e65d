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
constexpr int kBatchRows = 500; // rows a cursor hands over at a time
constexpr const char *kClientRole = "dravik_client";

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
    clearResult();
    if (!m_name.empty() && !m_c.broken()) {
        PGresult *r = PQexec(m_c.handle(), ("DEALLOCATE " + m_name).c_str());
        PQclear(r);
    }
}

void PgStatement::clearResult()
{
    PQclear(m_result);
    m_result = nullptr;
    m_row = -1;
}

bool PgStatement::prepare()
{
    if (m_mode == Mode::ClientRead)
        return true;
    const std::string name = m_c.nextName();
    PGresult *res = PQprepare(m_c.handle(), name.c_str(), m_sql.c_str(), 0, nullptr);
    if (PQresultStatus(res) != PGRES_COMMAND_OK) {
        fail(res);
        return false;
    }
    PQclear(res);
    m_name = name;
    res = PQdescribePrepared(m_c.handle(), name.c_str());
    if (PQresultStatus(res) != PGRES_COMMAND_OK) {
        fail(res);
        return false;
    }
    m_params.assign(static_cast<size_t>(PQnparams(res)), std::nullopt);
    m_formats.assign(m_params.size(), 0);
    describe(res);
    PQclear(res);
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
    m_error = m_sql + ": " + (res ? PQresultErrorMessage(res) : PQerrorMessage(m_c.handle()));
    while (!m_error.empty() && (m_error.back() == '\n' || m_error.back() == ' '))
        m_error.pop_back();
    PQclear(res);
    return busy ? StepResult::Busy : StepResult::Failed;
}

StepResult PgStatement::fetch()
{
    clearResult();
    PGresult *res = PQexec(m_c.handle(),
                           ("FETCH " + std::to_string(kBatchRows) + " FROM dravik_cursor").c_str());
    if (PQresultStatus(res) != PGRES_TUPLES_OK)
        return fail(res);
    if (m_cols.empty())
        describe(res);
    m_result = res;
    m_cursorEnd = PQntuples(res) < kBatchRows;
    return StepResult::Row;
}

StepResult PgStatement::step()
{
    if (!m_started) {
        m_started = true;
        if (m_mode == Mode::Own && (m_private || !m_c.confined())) {
            m_c.leaveClient();
        } else if (m_mode == Mode::Own) {
            // The server's reads for a confined request see what its client may see.
            bool busy = false;
            const bool own = !m_c.inTransaction();
            m_c.startClock(0);
            if (!m_c.enterClient(true, m_failure, busy)) {
                m_error = m_failure;
                return busy ? StepResult::Busy : StepResult::Failed;
            }
            m_ownTransaction = own;
        } else {
            bool busy = false;
            const bool own = !m_c.inTransaction();
            if (!m_c.enterClient(m_mode == Mode::ClientRead, m_failure, busy)) {
                m_error = m_failure;
                return busy ? StepResult::Busy : StepResult::Failed;
            }
            m_ownTransaction = own && m_mode == Mode::ClientRead;
        }
        if (m_mode == Mode::ClientRead) {
            PGresult *res = PQexecParams(
                    m_c.handle(), ("DECLARE dravik_cursor NO SCROLL CURSOR FOR " + m_sql).c_str(),
                    0, nullptr, nullptr, nullptr, nullptr, 0);
            if (PQresultStatus(res) != PGRES_COMMAND_OK)
                return fail(res);
            PQclear(res);
            m_cursor = true;
            if (const StepResult r = fetch(); r != StepResult::Row)
                return r;
        } else {
            std::vector<const char *> values(m_params.size());
            std::vector<int> lengths(m_params.size());
            for (size_t i = 0; i < m_params.size(); ++i) {
                values[i] = m_params[i] ? m_params[i]->c_str() : nullptr;
                lengths[i] = m_params[i] ? static_cast<int>(m_params[i]->size()) : 0;
            }
            PGresult *res
                    = PQexecPrepared(m_c.handle(), m_name.c_str(), static_cast<int>(values.size()),
                                     values.data(), lengths.data(), m_formats.data(), 0);
            const ExecStatusType status = PQresultStatus(res);
            if (status != PGRES_TUPLES_OK && status != PGRES_COMMAND_OK)
                return fail(res);
            const char *changed = PQcmdTuples(res);
            m_c.setChanges(changed && *changed ? std::atoll(changed) : 0);
            m_result = res;
        }
    }
    if (!m_result)
        return StepResult::Done;
    if (++m_row < PQntuples(m_result))
        return StepResult::Row;
    if (m_mode == Mode::ClientRead && !m_cursorEnd) {
        if (const StepResult r = fetch(); r != StepResult::Row)
            return r;
        if (++m_row < PQntuples(m_result))
            return StepResult::Row;
    }
    return StepResult::Done;
}

void PgStatement::reset()
{
    clearResult();
    if (m_cursor && !m_c.broken()) {
        PGresult *res = PQexec(m_c.handle(), "CLOSE dravik_cursor");
        PQclear(res);
    }
    if (m_ownTransaction)
        m_c.commit();
    m_cursor = m_cursorEnd = m_ownTransaction = m_started = false;
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
    // Texts travel as UTF-8, backslashes in literals are plain characters (the translation
    // counts on it), numbers come back exactly, a kept statement is planned once (its
    // parameters are ids), and a lock waited for longer than the busy time-out answers
    // WAIT_TIMEOUT.
    // The server's notices (a restart's farewell) are no business of the log.
    PQsetNoticeProcessor(
            m_conn, [](void *, const char *) {}, nullptr);
    PQclear(run(setup()));
}

std::string PgConnection::setup() const
{
    return "SET client_encoding = 'UTF8'; SET standard_conforming_strings = on; "
           "SET DateStyle = ISO; SET extra_float_digits = 1; SET client_min_messages = warning; "
           "SET plan_cache_mode = force_generic_plan; SET lock_timeout = "
            + std::to_string(m_options.busyTimeoutMs);
}

PgConnection::~PgConnection()
{
    m_client.clear();
    m_cache.clear();
    PQfinish(m_conn);
}

bool PgConnection::broken() const
{
    return PQstatus(m_conn) != CONNECTION_OK;
}

PGresult *PgConnection::run(const std::string &sql)
{
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

Statement &PgConnection::cached(const std::string &sql)
{
    const auto it = m_cache.find(sql);
    if (it != m_cache.end()) {
        it->second->reset();
        return *it->second;
    }
    auto stmt = std::make_unique<PgStatement>(*this, PgStatement::Mode::Own, ownSql(sql),
                                              wordsOf(sql));
    leaveClient();
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
    leaveClient();
    if (!stmt->prepare()) {
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
}

std::string PgConnection::settings() const
{
    // "user" is a reserved word: the settings are set by function, for this transaction alone.
    return "SELECT set_config('dravik.company', " + quoteLiteral(m_company)
            + ", true), set_config('dravik.user', '"
            + std::to_string(m_company.empty() ? 0 : m_user) + "', true);";
}

StepResult PgConnection::begin(TransactionKind kind)
{
    const std::string sql
            = std::string(kind == TransactionKind::Read
                                  ? "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY; "
                                  : "BEGIN; ")
            + settings();
    try {
        PQclear(run(sql));
    } catch (const std::exception &) {
        // A server restarted since this connection was last used: nothing has run yet, so
        // the request may go on over a new link.
        if (!broken() || !reconnect())
            return StepResult::Failed;
        try {
            PQclear(run(sql));
        } catch (const std::exception &) {
            return StepResult::Failed;
        }
    }
    m_open = true;
    m_clientRole = false;
    return StepResult::Done;
}

StepResult PgConnection::commit()
{
    if (!m_open)
        return StepResult::Done;
    PGresult *res = PQexec(m_conn, "COMMIT");
    const bool ok = PQresultStatus(res) == PGRES_COMMAND_OK;
    bool busy = false;
    if (!ok)
        m_failure = describe(res, busy);
    PQclear(res);
    m_open = false;
    m_clientRole = false;
    return ok ? StepResult::Done : busy ? StepResult::Busy : StepResult::Failed;
}

bool PgConnection::reconnect()
{
    PQreset(m_conn);
    if (broken())
        return false;
    // The server's prepared statements went with the old link.
    m_cache.clear();
    m_open = m_clientRole = false;
    try {
        PQclear(run(setup()));
    } catch (const std::exception &) {
        return false;
    }
    return true;
}

void PgConnection::rollback()
{
    if (m_open && !broken())
        PQclear(PQexec(m_conn, "ROLLBACK"));
    m_open = false;
    m_clientRole = false;
}

bool PgConnection::enterClient(bool readOnly, std::string &failure, bool &busy)
{
    // Already there, under the same time limit: nothing to send.
    if (m_open && m_clientRole && m_clientTimeoutMs == m_timeoutMs)
        return true;
    std::string sql;
    if (!m_open)
        sql = std::string(readOnly ? "BEGIN ISOLATION LEVEL REPEATABLE READ READ ONLY; "
                                   : "BEGIN; ")
                + settings();
    sql += std::string(" SET LOCAL ROLE ") + kClientRole
            + "; SET LOCAL statement_timeout = " + std::to_string(std::max(m_timeoutMs, 0));
    PGresult *res = PQexec(m_conn, sql.c_str());
    if (PQresultStatus(res) != PGRES_COMMAND_OK) {
        failure = describe(res, busy);
        PQclear(res);
        if (!m_open && !broken())
            PQclear(PQexec(m_conn, "ROLLBACK"));
        return false;
    }
    PQclear(res);
    m_open = true;
    m_clientRole = true;
    m_clientTimeoutMs = m_timeoutMs;
    return true;
}

void PgConnection::leaveClient()
{
    if (!m_clientRole || !m_open)
        return;
    PQclear(PQexec(m_conn, "SET LOCAL ROLE NONE; SET LOCAL statement_timeout = 0"));
    m_clientRole = false;
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
    // One insert at a time per table, over every company's rows (the owner sees them all).
    const std::string t = quoteName(lowerAscii(table));
    PGresult *res = run("SELECT pg_advisory_xact_lock(" + quoteLiteral(t)
                        + "::regclass::oid::bigint); SELECT coalesce(max("
                        + quoteName(lowerAscii(column)) + "), 0) + 1 FROM " + t);
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
    m_idle.push_back(std::make_unique<PgConnection>(this->options(), m_schema));
    loadSchema();
}

PgDatabase::~PgDatabase() = default;

Database::Lease PgDatabase::acquire()
{
    std::unique_ptr<PgConnection> c;
    while (true) {
        {
            std::lock_guard lock(m_mutex);
            if (m_idle.empty())
                break;
            c = std::move(m_idle.back());
            m_idle.pop_back();
        }
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
    c->confine(RequestScope::company(), RequestScope::user());
    return Lease(*this, std::move(c));
}

void PgDatabase::release(std::unique_ptr<Connection> c)
{
    std::unique_ptr<PgConnection> own(static_cast<PgConnection *>(c.release()));
    own->rollback();
    own->setAccess(Access::Internal);
    own->startClock(0);
    own->confine({}, 0);
    // A connection whose server went away is dropped; the next request connects again.
    if (own->broken())
        return;
    std::lock_guard lock(m_mutex);
    m_idle.push_back(std::move(own));
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

// The request's company ('' when the request runs unconfined) and user.
constexpr const char *kCompany = "coalesce(current_setting('dravik.company', true), '')";
constexpr const char *kUser
        = "coalesce(nullif(current_setting('dravik.user', true), ''), '0')::bigint";

// Row-level security of the client role: reads see the company's rows (and the shared ones),
// writes to another company's rows are skipped, a row may be made or moved nowhere else.
std::string companyPolicy(const std::string &table, const std::string &column,
                          const std::string &shared = {})
{
    const std::string t = quoteName(lowerAscii(table));
    const std::string c = lowerAscii(column);
    const std::string own = "(" + std::string(kCompany) + " = '' OR " + c + " = " + kCompany
            + "::citext" + (shared.empty() ? "" : " OR " + c + " = " + quoteText(shared)) + ")";
    return "ALTER TABLE " + t + " ENABLE ROW LEVEL SECURITY; DROP POLICY IF EXISTS dravik ON " + t
            + "; CREATE POLICY dravik ON " + t + " TO " + kClientRole + " USING " + own
            + " WITH CHECK " + own + ";";
}

// A table confined through its owner's company.
std::string ownedPolicy(const std::string &table, const std::string &key, const std::string &owner)
{
    const std::string t = quoteName(lowerAscii(table));
    const std::string k = lowerAscii(key);
    const std::string own = "(" + std::string(kCompany) + " = '' OR EXISTS (SELECT 1 FROM "
            + lowerAscii(owner) + " o WHERE o." + k + " = " + t + "." + k + " AND o."
            + (owner == "tUsers" ? "userconcession" : "concession") + " = " + kCompany
            + "::citext))";
    return "ALTER TABLE " + t + " ENABLE ROW LEVEL SECURITY; DROP POLICY IF EXISTS dravik ON " + t
            + "; CREATE POLICY dravik ON " + t + " TO " + kClientRole + " USING " + own
            + " WITH CHECK " + own + ";";
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
    return "CREATE OR REPLACE FUNCTION dravik_unreached(bigint) RETURNS boolean LANGUAGE sql "
           "STABLE SECURITY DEFINER AS $$ SELECT "
            + unreached
            + " $$;"
              "CREATE OR REPLACE FUNCTION dravik_in_group(text[]) RETURNS boolean LANGUAGE sql "
              "STABLE SECURITY DEFINER AS $$ SELECT EXISTS (SELECT 1 FROM "
            + groups
            + " AS x(name) WHERE x.name = ANY ($1)) $$;"
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
        // The role client statements run under, made once per cluster.
        c.exec(std::string("DO $$ BEGIN IF NOT EXISTS (SELECT 1 FROM pg_roles WHERE rolname = '")
               + kClientRole + "') THEN CREATE ROLE " + kClientRole
               + " NOLOGIN; END IF; END $$; GRANT " + kClientRole + " TO CURRENT_USER;");
        std::string grants = std::string("GRANT USAGE ON SCHEMA public TO ") + kClientRole + ";";
        for (const auto &t : seed::schemaTables()) {
            const std::string name = quoteName(lowerAscii(t.name));
            bool writable = false;
            for (const auto &w : this->options().writableTables)
                writable = writable || lowerAscii(w) == lowerAscii(t.name);
            grants += "GRANT SELECT" + std::string(writable ? ", INSERT, UPDATE, DELETE" : "")
                    + " ON " + name + " TO " + kClientRole + ";";
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
        if ((options.seed == "demo" && empty)
            || (options.seed == "large"
                && count("SELECT count(*) FROM tvehicles") < seed::kLargeVehicles)) {
            c.exec("BEGIN");
            try {
                copySeed(c, options.seed, options.photoDir);
                c.exec("COMMIT");
            } catch (...) {
                c.exec("ROLLBACK");
                throw;
            }
        }
        if (!options.seed.empty())
            setDemoPasswords(c);
    }
    loadSchema();
}

} // namespace dravik::server
