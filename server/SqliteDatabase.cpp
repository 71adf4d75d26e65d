#include "server/SqliteDatabase.h"

#include "server/Messages.h"
#include "server/Sessions.h"
#include "server/SqlValues.h"
#include "server/TempBudget.h"
#include "server/seed/Seed.h"

#include <cstring>
#include <stdexcept>
#include <strings.h>

namespace dravik::server {

void checkSqlite(sqlite3 *db, int rc, std::string_view what)
{
    if (rc == SQLITE_OK || rc == SQLITE_ROW || rc == SQLITE_DONE)
        return;
    throw std::runtime_error(std::string(what) + ": "
                             + (db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)));
}

SqliteStatement::SqliteStatement(SqliteConnection &c, sqlite3_stmt *stmt)
    : m_c(c)
    , m_stmt(stmt)
{ }

SqliteStatement::~SqliteStatement()
{
    sqlite3_finalize(m_stmt);
}

void SqliteStatement::bind(int index, long long value)
{
    sqlite3_bind_int64(m_stmt, index, value);
}

void SqliteStatement::bind(int index, std::string_view text)
{
    sqlite3_bind_text(m_stmt, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

void SqliteStatement::bindBlob(int index, std::string_view bytes)
{
    sqlite3_bind_blob(m_stmt, index, bytes.data(), static_cast<int>(bytes.size()),
                      SQLITE_TRANSIENT);
}

StepResult SqliteStatement::step()
{
    m_rc = sqlite3_step(m_stmt);
    if (m_rc == SQLITE_ROW)
        return StepResult::Row;
    if (m_rc == SQLITE_DONE)
        return StepResult::Done;
    if (m_rc == SQLITE_BUSY || m_rc == SQLITE_LOCKED)
        return StepResult::Busy;
    return StepResult::Failed;
}

void SqliteStatement::reset()
{
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    m_rc = SQLITE_OK;
}

std::string SqliteStatement::failure() const
{
    return m_c.describeFailure(m_rc);
}

std::string SqliteStatement::error() const
{
    return std::string(sqlite3_sql(m_stmt)) + ": " + sqlite3_errmsg(m_c.handle());
}

int SqliteStatement::columns() const
{
    return sqlite3_column_count(m_stmt);
}

std::string SqliteStatement::columnName(int column) const
{
    const char *name = sqlite3_column_name(m_stmt, column);
    return name ? name : "";
}

ColumnKind SqliteStatement::columnKind(int column) const
{
    std::string type;
    if (const char *decl = sqlite3_column_decltype(m_stmt, column))
        for (const char *p = decl; *p; ++p)
            type += static_cast<char>(*p >= 'a' && *p <= 'z' ? *p - 'a' + 'A' : *p);
    if (type.find("BOOL") != std::string::npos || type == "BIT" || type == "YESNO")
        return ColumnKind::Boolean;
    if (type.find("DATE") != std::string::npos || type.find("TIME") != std::string::npos)
        return ColumnKind::Date;
    return ColumnKind::Plain;
}

bool SqliteStatement::computed(int column) const
{
    return sqlite3_column_decltype(m_stmt, column) == nullptr;
}

bool SqliteStatement::readOnly() const
{
    return sqlite3_stmt_readonly(m_stmt) != 0;
}

ValueType SqliteStatement::type(int column) const
{
    switch (sqlite3_column_type(m_stmt, column)) {
    case SQLITE_INTEGER:
        return ValueType::Integer;
    case SQLITE_FLOAT:
        return ValueType::Real;
    case SQLITE_TEXT:
        return ValueType::Text;
    case SQLITE_BLOB:
        return ValueType::Blob;
    default:
        return ValueType::Null;
    }
}

long long SqliteStatement::integer(int column) const
{
    return sqlite3_column_int64(m_stmt, column);
}

double SqliteStatement::real(int column) const
{
    return sqlite3_column_double(m_stmt, column);
}

std::string_view SqliteStatement::text(int column) const
{
    const auto *bytes = static_cast<const char *>(sqlite3_column_blob(m_stmt, column));
    return bytes
            ? std::string_view(bytes, static_cast<size_t>(sqlite3_column_bytes(m_stmt, column)))
            : std::string_view();
}

SqliteConnection::SqliteConnection(const DbOptions &options)
    : m_options(options)
{
    installTempBudgetVfs();
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(options.path.c_str(), &m_db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const std::string error = m_db ? sqlite3_errmsg(m_db) : sqlite3_errstr(rc);
        sqlite3_close(m_db);
        throw std::runtime_error("cannot open " + options.path + ": " + error);
    }
    sqlite3_busy_timeout(m_db, options.busyTimeoutMs);
    sqlite3_extended_result_codes(m_db, 0);
    // Nothing a client writes may reach the file format itself.
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_DEFENSIVE, 1, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_LOAD_EXTENSION, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_ENABLE_FTS3_TOKENIZER, 0, nullptr);
    sqlite3_db_config(m_db, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0, nullptr);
    sqlite3_limit(m_db, SQLITE_LIMIT_ATTACHED, 0);
    sqlite3_limit(m_db, SQLITE_LIMIT_LENGTH, 2 * 1024 * 1024);
    sqlite3_limit(m_db, SQLITE_LIMIT_SQL_LENGTH, 1024 * 1024);
    // The progress handler runs between the steps of a statement, never inside one function
    // call: a LIKE over a long text takes time that grows with its pattern (a 40,000 character
    // pattern over 2 MB ran more than a minute). Typed searches are far shorter than this.
    sqlite3_limit(m_db, SQLITE_LIMIT_LIKE_PATTERN_LENGTH, 250);
    // Every write is on disk when its answer leaves.
    checkSqlite(m_db, sqlite3_exec(m_db, "PRAGMA synchronous=FULL", nullptr, nullptr, nullptr),
                "synchronous");
    // A record's children go with it (ON DELETE CASCADE in the schema).
    checkSqlite(m_db, sqlite3_exec(m_db, "PRAGMA foreign_keys=ON", nullptr, nullptr, nullptr),
                "foreign_keys");
    // The company and user of the request, read by the confinement's views and triggers; NULL
    // on an unconfined connection. They stay the same while a statement runs, so SQLite may
    // compute them once per run instead of once per row.
    const int fflags = SQLITE_UTF8 | SQLITE_INNOCUOUS | SQLITE_DETERMINISTIC;
    sqlite3_create_function(m_db, "dravik_company", 0, fflags, this,
                            &SqliteConnection::companyFunction, nullptr, nullptr);
    sqlite3_create_function(m_db, "dravik_user", 0, fflags, this, &SqliteConnection::userFunction,
                            nullptr, nullptr);
    sqlite3_set_authorizer(m_db, &SqliteConnection::authorize, this);
    sqlite3_progress_handler(m_db, 1000, &SqliteConnection::progress, this);
}

SqliteConnection::~SqliteConnection()
{
    m_client.clear();
    m_cache.clear();
    sqlite3_close_v2(m_db);
}

Statement &SqliteConnection::cached(const std::string &sql)
{
    const auto it = m_cache.find(sql);
    if (it != m_cache.end()) {
        it->second->reset();
        return *it->second;
    }
    sqlite3_stmt *stmt = nullptr;
    const Access saved = m_access;
    m_access = Access::Internal;
    const int rc = sqlite3_prepare_v3(m_db, sql.c_str(), static_cast<int>(sql.size()),
                                      SQLITE_PREPARE_PERSISTENT, &stmt, nullptr);
    m_access = saved;
    if (rc != SQLITE_OK) {
        sqlite3_finalize(stmt);
        checkSqlite(m_db, rc, sql);
    }
    return *m_cache.emplace(sql, std::make_unique<SqliteStatement>(*this, stmt)).first->second;
}

void SqliteConnection::exec(const std::string &sql)
{
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const std::string text = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw std::runtime_error(text);
    }
}

Prepared SqliteConnection::prepareClient(const JetTranslation &t)
{
    const std::string &sql = t.sql;
    Prepared p;
    sqlite3_stmt *raw = nullptr;
    const char *tail = nullptr;
    const int rc = sqlite3_prepare_v2(m_db, sql.c_str(), static_cast<int>(sql.size()), &raw, &tail);
    std::unique_ptr<SqliteStatement> stmt;
    if (raw)
        stmt = std::make_unique<SqliteStatement>(*this, raw);
    if (rc != SQLITE_OK) {
        p.busy = rc == SQLITE_BUSY || rc == SQLITE_LOCKED;
        p.failure = describeFailure(rc);
        return p;
    }
    if (!raw) {
        p.failure = msg::emptyStatement();
        return p;
    }
    for (; tail && *tail; ++tail) {
        if (static_cast<unsigned char>(*tail) > ' ' && *tail != ';') {
            p.failure = msg::oneStatementOnly();
            return p;
        }
    }
    p.statement = std::move(stmt);
    return p;
}

Statement *SqliteConnection::clientStatement(const std::string &key)
{
    for (auto it = m_client.begin(); it != m_client.end(); ++it) {
        if (it->first == key) {
            m_client.splice(m_client.begin(), m_client, it);
            it->second->reset();
            return it->second.get();
        }
    }
    return nullptr;
}

Statement *SqliteConnection::keepClient(const std::string &key, std::unique_ptr<Statement> stmt)
{
    constexpr size_t kKept = 32;
    m_client.emplace_front(key, std::move(stmt));
    while (m_client.size() > kKept)
        m_client.pop_back();
    return m_client.front().second.get();
}

void SqliteConnection::setAccess(Access access, const std::set<std::string> &tables)
{
    m_access = access;
    m_tables = tables;
    m_denial.clear();
}

StepResult SqliteConnection::run(const char *sql)
{
    const Access saved = m_access;
    m_access = Access::Internal;
    const int rc = sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
    m_access = saved;
    if (rc == SQLITE_OK)
        return StepResult::Done;
    m_failure = describeFailure(rc);
    return rc == SQLITE_BUSY || rc == SQLITE_LOCKED ? StepResult::Busy : StepResult::Failed;
}

StepResult SqliteConnection::begin(TransactionKind kind)
{
    const StepResult r = run(kind == TransactionKind::Write ? "BEGIN IMMEDIATE" : "BEGIN");
    m_open = r == StepResult::Done;
    return r;
}

StepResult SqliteConnection::commit()
{
    const StepResult r = run("COMMIT");
    if (r == StepResult::Done)
        m_open = false;
    return r;
}

void SqliteConnection::rollback()
{
    if (m_open)
        run("ROLLBACK");
    m_open = false;
}

long long SqliteConnection::changes() const
{
    return sqlite3_changes(m_db);
}

long long SqliteConnection::lastInsertId() const
{
    return sqlite3_last_insert_rowid(m_db);
}

long long SqliteConnection::nextId(const std::string &table, const std::string &column)
{
    // Over every company's rows: the stored table, not the confining view.
    Statement &stmt = cached("SELECT max(" + quoteName(column) + ") FROM main." + quoteName(table));
    if (!stmt.next())
        return 1;
    const long long id = stmt.integer(0) + 1;
    stmt.reset();
    return id;
}

std::string SqliteConnection::describeFailure(int rc) const
{
    if (m_interrupted || rc == SQLITE_INTERRUPT)
        return msg::interrupted();
    if (rc == SQLITE_FULL && tempBudgetExceeded())
        return msg::tempSpaceExceeded();
    if (rc == SQLITE_TOOBIG)
        return msg::valueTooLarge();
    if (rc == SQLITE_AUTH || !m_denial.empty())
        return m_denial.empty() ? msg::deniedOther() : m_denial;
    std::string text = sqlite3_errmsg(m_db);
    // The server writes to main.<table>; the client named the table alone.
    if (text.compare(0, 11, "table main.") == 0)
        text.erase(6, 5);
    // The confinement's and the locks' own refusals, raised by their triggers.
    if (rc == SQLITE_CONSTRAINT
        && text.compare(0, msg::kRefusedPrefix.size(), msg::kRefusedPrefix) == 0)
        return text;
    auto after = [&](std::string_view prefix) -> std::string {
        return text.compare(0, prefix.size(), prefix) == 0 ? text.substr(prefix.size())
                                                           : std::string();
    };
    if (auto t = after("no such table: "); !t.empty())
        return msg::noSuchTable(t);
    if (auto t = after("no such column: "); !t.empty())
        return msg::noSuchColumn(t);
    if (auto t = after("UNIQUE constraint failed: "); !t.empty())
        return msg::duplicateValue(t);
    if (auto t = after("NOT NULL constraint failed: "); !t.empty())
        return msg::missingValue(t);
    if (const size_t p = text.find(": syntax error");
        p != std::string::npos && after("near ").size())
        return msg::syntaxError(text.substr(5, p - 5));
    if (text == "LIKE or GLOB pattern too complex")
        return msg::patternTooLong();
    if (text == "incomplete input")
        return msg::syntaxError("la fin de l'instruction");
    return msg::sqlError(text);
}

void SqliteConnection::companyFunction(sqlite3_context *ctx, int, sqlite3_value **)
{
    const auto *c = static_cast<SqliteConnection *>(sqlite3_user_data(ctx));
    if (c->m_company.empty())
        sqlite3_result_null(ctx);
    else
        sqlite3_result_text(ctx, c->m_company.data(), static_cast<int>(c->m_company.size()),
                            SQLITE_TRANSIENT);
}

void SqliteConnection::userFunction(sqlite3_context *ctx, int, sqlite3_value **)
{
    const auto *c = static_cast<SqliteConnection *>(sqlite3_user_data(ctx));
    if (c->m_company.empty())
        sqlite3_result_null(ctx);
    else
        sqlite3_result_int64(ctx, c->m_user);
}

namespace {

std::string raise(const std::string &text)
{
    return "SELECT RAISE(ABORT, " + quoteText(text) + ")";
}

// A table with a company column: reads see the company's rows (and the rows of the shared
// value, when there is one, which every company may also change); a write to another
// company's row is skipped (it changes nothing); a row may neither be made in (nor without)
// nor moved to another company.
std::string companyTable(const std::string &table, const std::string &column = "Concession",
                         const std::string &shared = {})
{
    const std::string t = quoteName(table), main = "main." + t, trig = "dravik_" + table;
    const std::string c = quoteName(column);
    auto other = [&](const std::string &row) {
        const std::string notOwn = row + "." + c + " IS NOT dravik_company() COLLATE NOCASE";
        return shared.empty() ? notOwn
                              : "(" + notOwn + " AND " + row + "." + c + " IS NOT " + shared + ")";
    };
    return "CREATE TEMP VIEW " + t + " AS SELECT * FROM " + main + " WHERE " + c
            + " = dravik_company()" + (shared.empty() ? "" : " OR " + c + " = " + shared)
            + ";"
              "CREATE TEMP TRIGGER "
            + quoteName(trig + "_insert") + " BEFORE INSERT ON " + main + " WHEN " + other("new")
            + " BEGIN " + raise(msg::otherCompanyInsert(table))
            + "; END;"
              "CREATE TEMP TRIGGER "
            + quoteName(trig + "_update") + " BEFORE UPDATE ON " + main
            + " BEGIN SELECT RAISE(IGNORE) WHERE " + other("old") + "; "
            + raise(msg::otherCompanyMove(table)) + " WHERE " + other("new")
            + "; END;"
              "CREATE TEMP TRIGGER "
            + quoteName(trig + "_delete") + " BEFORE DELETE ON " + main + " WHEN " + other("old")
            + " BEGIN SELECT RAISE(IGNORE); END;";
}

// A table confined through its owner (`key` of `ownerTable`): reads see the rows of the
// company's owners; a write to a row of another company's owner is skipped; a row may neither
// be made for nor moved to an owner of another company. A row whose owner is gone (the
// cascade of the owner's delete) goes with it.
std::string ownedTable(const std::string &table, const std::string &key,
                       const std::string &ownerTable, const std::string &ownerName)
{
    const std::string t = quoteName(table), main = "main." + t, trig = "dravik_" + table;
    const std::string owner = "main." + quoteName(ownerTable);
    auto own = [&](const std::string &row) {
        return "EXISTS (SELECT 1 FROM " + owner + " AS o WHERE o." + key + " = " + row + "." + key
                + " AND o.Concession = dravik_company())";
    };
    auto foreign = [&](const std::string &row) {
        return "EXISTS (SELECT 1 FROM " + owner + " AS o WHERE o." + key + " = " + row + "." + key
                + " AND o.Concession IS NOT dravik_company() COLLATE NOCASE)";
    };
    const std::string refused = raise(msg::otherCompanyOwner(table, ownerName));
    return "CREATE TEMP VIEW " + t + " AS SELECT * FROM " + main + " AS r WHERE " + own("r")
            + ";"
              "CREATE TEMP TRIGGER "
            + quoteName(trig + "_insert") + " BEFORE INSERT ON " + main + " WHEN NOT " + own("new")
            + " BEGIN " + refused
            + "; END;"
              "CREATE TEMP TRIGGER "
            + quoteName(trig + "_update") + " BEFORE UPDATE ON " + main
            + " BEGIN SELECT RAISE(IGNORE) WHERE " + foreign("old") + "; " + refused + " WHERE NOT "
            + own("new")
            + "; END;"
              "CREATE TEMP TRIGGER "
            + quoteName(trig + "_delete") + " BEFORE DELETE ON " + main + " WHEN " + foreign("old")
            + " BEGIN SELECT RAISE(IGNORE); END;";
}

// The groups of the company's users only.
std::string userGroupsView()
{
    return "CREATE TEMP VIEW tUserGroups AS SELECT * FROM main.tUserGroups AS g WHERE EXISTS "
           "(SELECT 1 FROM main.tUsers AS u WHERE u.idUser = g.idUser AND u.UserConcession = "
           "dravik_company());";
}

// Whether the request's user is in one of the groups, named as the client reads them
// ("USER_COMPTA" is COMPTA).
std::string userInGroup(const std::string &groups)
{
    return "EXISTS (SELECT 1 FROM main.tUserGroups AS g WHERE g.idUser = dravik_user() AND "
           "replace(upper(g.GName), 'USER_', '') IN ("
            + groups + "))";
}

// The locks the client applies, kept by the database too (on the company's own rows; the
// others are out of reach anyway): a vehicle delivered before its
// company's lock date is changed and deleted by nobody; only administrators delete vehicles;
// a cost carrying an accounting number is changed or deleted by accounting alone (unless its
// vehicle is being deleted).
std::string lockRules()
{
    const std::string locked = "old.Concession = dravik_company() AND old.DateLivraison < (SELECT "
                               "d.Opt_LimiteDateVerrouVNVO FROM main.tOptDates AS d "
                               "WHERE d.Concession = old.Concession)";
    const std::string costLocked = "ifnull(old.NComptable, '') <> '' AND NOT "
            + userInGroup("'COMPTA'")
            + " AND EXISTS (SELECT 1 FROM main.tVehicles AS v WHERE v.idVO = old.idVO AND "
              "v.Concession = dravik_company())";
    return "CREATE TEMP TRIGGER dravik_lock_update BEFORE UPDATE ON main.tVehicles WHEN " + locked
            + " BEGIN " + raise(msg::lockedVehicle())
            + "; END;"
              "CREATE TEMP TRIGGER dravik_lock_delete BEFORE DELETE ON main.tVehicles BEGIN "
            + raise(msg::vehicleDeleteNeedsAdmin())
            + " WHERE old.Concession = dravik_company() AND NOT "
            + userInGroup("'ADMINS', 'SUPERADMINS'") + "; " + raise(msg::lockedVehicle())
            + " WHERE " + locked
            + "; END;"
              "CREATE TEMP TRIGGER dravik_lock_cost_update BEFORE UPDATE ON main.\"tVO - Frevo\" "
              "WHEN "
            + costLocked + " BEGIN " + raise(msg::lockedCost())
            + "; END;"
              "CREATE TEMP TRIGGER dravik_lock_cost_delete BEFORE DELETE ON main.\"tVO - Frevo\" "
              "WHEN "
            + costLocked + " BEGIN " + raise(msg::lockedCost()) + "; END;";
}

// Vehicles of a site the user does not reach (nor owns) are read-only, as the client shows
// them: neither the record nor its costs change. New records are anyone's.
std::string siteRules()
{
    auto reached = [](const std::string &vehicle) {
        return "EXISTS (SELECT 1 FROM main.tVehicles AS v, main.tUsers AS u WHERE v.idVO = "
                + vehicle
                + " AND u.idUser = dravik_user() AND v.Concession = dravik_company() AND NOT ("
                  "u.UserSite IS '#' OR (ifnull(v.Site, '') <> '' AND instr(upper(u.UserSite), "
                  "upper(v.Site)) > 0) OR v.idOwner IS dravik_user()))";
    };
    const std::string cost = "\"tVO - Frevo\"";
    std::string sql = "CREATE TEMP TRIGGER dravik_site_update BEFORE UPDATE ON main.tVehicles WHEN "
            + reached("old.idVO") + " BEGIN " + raise(msg::otherSiteVehicle("tVehicles"))
            + "; END;"
              "CREATE TEMP TRIGGER dravik_site_delete BEFORE DELETE ON main.tVehicles WHEN "
            + reached("old.idVO") + " BEGIN " + raise(msg::otherSiteVehicle("tVehicles"))
            + "; END;";
    for (const char *event : {"INSERT", "UPDATE", "DELETE"}) {
        const std::string row = std::string(event) == "INSERT" ? "new" : "old";
        sql += "CREATE TEMP TRIGGER dravik_site_cost_" + std::string(event) + " BEFORE " + event
                + " ON main." + cost + " WHEN " + reached(row + ".idVO") + " BEGIN "
                + raise(msg::otherSiteVehicle("tVO - Frevo")) + "; END;";
    }
    return sql;
}

} // namespace

void SqliteConnection::confine(const std::string &company, long long user)
{
    m_company = company;
    m_user = user;
    if (m_confined || company.empty())
        return;
    const std::string sql = "BEGIN;" + companyTable("tVehicles") + companyTable("tClients")
            + ownedTable("tVO - Frevo", "idVO", "tVehicles", "véhicule")
            + ownedTable("tVO - Liens Images", "idVO", "tVehicles", "véhicule")
            + ownedTable("tResa", "idVO", "tVehicles", "véhicule")
            + ownedTable("tActions", "idClient", "tClients", "client")
            + ownedTable("TVehiclesClarim", "idClient", "tClients", "client")
            // The company's sites, salespeople, option dates, users and lists; the parameter
            // lists of item ".." are every company's.
            + companyTable("InfoSite") + companyTable("InfoCom") + companyTable("tOptDates")
            + companyTable("tUsers", "UserConcession") + companyTable("ListVersions", "VConcession")
            + companyTable("ListRubrics", "RubricItem", "'..'") + userGroupsView() + lockRules()
            + siteRules() + "COMMIT;";
    const Access saved = m_access;
    m_access = Access::Internal;
    char *error = nullptr;
    const int rc = sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error);
    m_access = saved;
    if (rc != SQLITE_OK) {
        const std::string text = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
        throw std::runtime_error("confinement: " + text);
    }
    m_confined = true;
}

void SqliteConnection::startClock(int timeoutMs)
{
    setTempBudget(timeoutMs > 0 ? m_options.tempBytesPerStatement : -1);
    m_interrupted = false;
    m_clock = timeoutMs > 0;
    m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
}

int SqliteConnection::progress(void *self)
{
    auto *c = static_cast<SqliteConnection *>(self);
    if (c->m_clock && std::chrono::steady_clock::now() > c->m_deadline) {
        c->m_interrupted = true;
        return 1;
    }
    return 0;
}

int SqliteConnection::authorize(void *self, int action, const char *a, const char *b,
                                const char *dbName, const char * /*trigger*/)
{
    return static_cast<SqliteConnection *>(self)->check(action, a, b, dbName);
}

namespace {

bool isSystemTable(const char *table)
{
    return table && strncasecmp(table, "sqlite_", 7) == 0;
}

bool containsNoCase(const std::set<std::string> &names, const char *name)
{
    if (!name)
        return false;
    for (const auto &n : names)
        if (strcasecmp(n.c_str(), name) == 0)
            return true;
    return false;
}

// Functions that reach outside the data (extensions), tell about the process (fts3_tokenizer
// answers a pointer of the server) or the build, or do work unbounded by the length limits
// inside one call (printf's "%.*c" loops over its precision whatever the result's limit).
bool isDeniedFunction(const char *name)
{
    static const char *const denied[] = {"load_extension",
                                         "fts3_tokenizer",
                                         "printf",
                                         "format",
                                         "sqlite_compileoption_get",
                                         "sqlite_compileoption_used",
                                         "sqlite_source_id",
                                         "sqlite_offset",
                                         "fts5_source_id",
                                         "readfile",
                                         "writefile",
                                         "edit"};
    if (!name)
        return false;
    for (const char *d : denied)
        if (strcasecmp(d, name) == 0)
            return true;
    return false;
}

} // namespace

int SqliteConnection::check(int action, const char *a, const char *b, const char *dbName)
{
    if (m_access == Access::Internal)
        return SQLITE_OK;
    auto deny = [this](std::string reason) {
        if (m_denial.empty())
            m_denial = std::move(reason);
        return SQLITE_DENY;
    };
    // A confined connection's temporary schema holds only the confinement's views and
    // triggers, which clients can neither name nor change.
    const bool mainDb = !dbName || std::strcmp(dbName, "main") == 0
            || (m_confined && std::strcmp(dbName, "temp") == 0);
    switch (action) {
    case SQLITE_SELECT:
    case SQLITE_RECURSIVE:
        return SQLITE_OK;
    case SQLITE_READ:
        if (!mainDb || isSystemTable(a) || containsNoCase(m_options.hiddenTables, a)
            || (!m_tables.empty() && !containsNoCase(m_tables, a)))
            return deny(msg::deniedRead(a ? a : ""));
        return SQLITE_OK;
    case SQLITE_FUNCTION:
        if (isDeniedFunction(b))
            return deny(msg::deniedFunction(b));
        return SQLITE_OK;
    case SQLITE_INSERT:
    case SQLITE_UPDATE:
    case SQLITE_DELETE:
        if (m_access != Access::Write)
            return deny(msg::deniedWriteInQuery());
        if (!mainDb || isSystemTable(a) || !containsNoCase(m_options.writableTables, a))
            return deny(msg::deniedWrite(a ? a : ""));
        return SQLITE_OK;
    case SQLITE_ATTACH:
    case SQLITE_DETACH:
        return deny(msg::deniedAttach());
    case SQLITE_PRAGMA:
        return deny(msg::deniedPragma());
    case SQLITE_TRANSACTION:
    case SQLITE_SAVEPOINT:
        return deny(msg::deniedTransaction());
    case SQLITE_CREATE_INDEX:
    case SQLITE_CREATE_TABLE:
    case SQLITE_CREATE_TEMP_INDEX:
    case SQLITE_CREATE_TEMP_TABLE:
    case SQLITE_CREATE_TEMP_TRIGGER:
    case SQLITE_CREATE_TEMP_VIEW:
    case SQLITE_CREATE_TRIGGER:
    case SQLITE_CREATE_VIEW:
    case SQLITE_CREATE_VTABLE:
    case SQLITE_DROP_INDEX:
    case SQLITE_DROP_TABLE:
    case SQLITE_DROP_TEMP_INDEX:
    case SQLITE_DROP_TEMP_TABLE:
    case SQLITE_DROP_TEMP_TRIGGER:
    case SQLITE_DROP_TEMP_VIEW:
    case SQLITE_DROP_TRIGGER:
    case SQLITE_DROP_VIEW:
    case SQLITE_DROP_VTABLE:
    case SQLITE_ALTER_TABLE:
    case SQLITE_REINDEX:
    case SQLITE_ANALYZE:
        return deny(msg::deniedSchema());
    default:
        return deny(msg::deniedOther());
    }
}

SqliteDatabase::SqliteDatabase(DbOptions options)
    : Database(std::move(options))
{
    auto first = std::make_unique<SqliteConnection>(this->options());
    sqlite3_stmt *stmt = nullptr;
    checkSqlite(first->handle(),
                sqlite3_prepare_v2(first->handle(), "PRAGMA journal_mode=WAL", -1, &stmt, nullptr),
                "journal_mode");
    const int rc = sqlite3_step(stmt);
    const std::string mode = rc == SQLITE_ROW
            ? reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))
            : std::string();
    sqlite3_finalize(stmt);
    if (mode != "wal" && this->options().path != ":memory:")
        throw std::runtime_error("cannot switch " + this->options().path + " to WAL mode");
    keepIdle(std::move(first));
}

SqliteDatabase::~SqliteDatabase()
{
    dropIdle();
}

Database::Lease SqliteDatabase::acquire()
{
    // Here a session lookup costs no round trip, so the server makes it before the read; a
    // scope still waiting for its lookup has no company and would read unconfined.
    if (RequestScope::check())
        throw std::runtime_error(msg::internalError());
    const std::string &company = RequestScope::company();
    // A confined connection keeps its company's views: it serves confined requests only.
    std::unique_ptr<SqliteConnection> c(
            static_cast<SqliteConnection *>(takeIdle(!company.empty()).release()));
    if (!c)
        c = std::make_unique<SqliteConnection>(options());
    if (!company.empty())
        c->confine(company, RequestScope::user());
    return Lease(*this, std::move(c));
}

void SqliteDatabase::prepare(const PrepareOptions &options)
{
    auto lease = acquire();
    auto &c = static_cast<SqliteConnection &>(*lease);
    sqlite3 *db = c.handle();
    seed::createSchema(db);
    // The server's own tables, added to databases made before they existed.
    c.exec("CREATE TABLE IF NOT EXISTS tPasswords (idUser INTEGER PRIMARY KEY, Hash TEXT NOT "
           "NULL);"
           "CREATE TABLE IF NOT EXISTS tSessions (KeyHash TEXT PRIMARY KEY, idUser INTEGER NOT "
           "NULL, ExpiresAt INTEGER NOT NULL);"
           "CREATE TABLE IF NOT EXISTS tReportTickets (KeyHash TEXT PRIMARY KEY, idUser INTEGER "
           "NOT NULL, Selection TEXT NOT NULL, Report TEXT NOT NULL, ExpiresAt INTEGER NOT NULL);"
           "CREATE TABLE IF NOT EXISTS tRequestKeys (RequestKey TEXT PRIMARY KEY, "
           "Answer BLOB NOT NULL, AppliedAt INTEGER NOT NULL);"
           "CREATE INDEX IF NOT EXISTS tRequestKeysAppliedAt ON tRequestKeys (AppliedAt)");
    auto count = [&](const char *sql) {
        Statement &stmt = c.cached(sql);
        const long long n = stmt.next() ? stmt.integer(0) : 0;
        stmt.reset();
        return n;
    };
    // A database that already holds data is used as it is: seeding twice would duplicate it.
    const bool empty = count("SELECT count(*) FROM tConcessions") == 0;
    if (options.seed == "demo" && empty)
        seed::seedDemo(db, options.photoDir);
    if (options.seed == "large" && count("SELECT count(*) FROM tVehicles") < seed::kLargeVehicles)
        seed::seedLarge(db, options.photoDir);
    if (!options.seed.empty())
        setDemoPasswords(c);
}

} // namespace dravik::server
