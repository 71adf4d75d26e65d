#include "server/Database.h"

#include "server/Messages.h"
#include "server/SqlValues.h"
#include "server/TempBudget.h"

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

Connection::Connection(const DbOptions &options)
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
    sqlite3_create_function(m_db, "dravik_company", 0, fflags, this, &Connection::companyFunction,
                            nullptr, nullptr);
    sqlite3_create_function(m_db, "dravik_user", 0, fflags, this, &Connection::userFunction,
                            nullptr, nullptr);
    sqlite3_set_authorizer(m_db, &Connection::authorize, this);
    sqlite3_progress_handler(m_db, 1000, &Connection::progress, this);
}

Connection::~Connection()
{
    m_writers.clear();
    for (auto &[key, stmt] : m_client)
        sqlite3_finalize(stmt);
    for (auto &[sql, stmt] : m_cache)
        sqlite3_finalize(stmt);
    sqlite3_close_v2(m_db);
}

sqlite3_stmt *Connection::cached(const std::string &sql)
{
    const auto it = m_cache.find(sql);
    if (it != m_cache.end()) {
        sqlite3_reset(it->second);
        sqlite3_clear_bindings(it->second);
        return it->second;
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
    m_cache.emplace(sql, stmt);
    return stmt;
}

const RowWriter &Connection::writer(sqlite3_stmt *stmt)
{
    auto &w = m_writers[stmt];
    if (!w)
        w = std::make_unique<RowWriter>(stmt);
    return *w;
}

sqlite3_stmt *Connection::clientStatement(const std::string &key)
{
    for (auto it = m_client.begin(); it != m_client.end(); ++it) {
        if (it->first == key) {
            m_client.splice(m_client.begin(), m_client, it);
            sqlite3_reset(it->second);
            sqlite3_clear_bindings(it->second);
            return it->second;
        }
    }
    return nullptr;
}

void Connection::keepClient(const std::string &key, sqlite3_stmt *stmt)
{
    constexpr size_t kKept = 32;
    m_client.emplace_front(key, stmt);
    while (m_client.size() > kKept) {
        m_writers.erase(m_client.back().second);
        sqlite3_finalize(m_client.back().second);
        m_client.pop_back();
    }
}

void Connection::setAccess(Access access, std::set<std::string> tables)
{
    m_access = access;
    m_tables = std::move(tables);
    m_denial.clear();
}

void Connection::companyFunction(sqlite3_context *ctx, int, sqlite3_value **)
{
    const auto *c = static_cast<Connection *>(sqlite3_user_data(ctx));
    if (c->m_company.empty())
        sqlite3_result_null(ctx);
    else
        sqlite3_result_text(ctx, c->m_company.data(), static_cast<int>(c->m_company.size()),
                            SQLITE_TRANSIENT);
}

void Connection::userFunction(sqlite3_context *ctx, int, sqlite3_value **)
{
    const auto *c = static_cast<Connection *>(sqlite3_user_data(ctx));
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

void Connection::confine(const std::string &company, long long user)
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

void Connection::startClock(int timeoutMs)
{
    setTempBudget(timeoutMs > 0 ? m_options.tempBytesPerStatement : -1);
    m_interrupted = false;
    m_clock = timeoutMs > 0;
    m_deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
}

int Connection::progress(void *self)
{
    auto *c = static_cast<Connection *>(self);
    if (c->m_clock && std::chrono::steady_clock::now() > c->m_deadline) {
        c->m_interrupted = true;
        return 1;
    }
    return 0;
}

int Connection::authorize(void *self, int action, const char *a, const char *b, const char *dbName,
                          const char * /*trigger*/)
{
    return static_cast<Connection *>(self)->check(action, a, b, dbName);
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

int Connection::check(int action, const char *a, const char *b, const char *dbName)
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

Database::Database(DbOptions options)
    : m_options(std::move(options))
{
    auto first = std::make_unique<Connection>(m_options);
    sqlite3_stmt *stmt = nullptr;
    checkSqlite(first->handle(),
                sqlite3_prepare_v2(first->handle(), "PRAGMA journal_mode=WAL", -1, &stmt, nullptr),
                "journal_mode");
    const int rc = sqlite3_step(stmt);
    const std::string mode = rc == SQLITE_ROW
            ? reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0))
            : std::string();
    sqlite3_finalize(stmt);
    if (mode != "wal" && m_options.path != ":memory:")
        throw std::runtime_error("cannot switch " + m_options.path + " to WAL mode");
    m_idle.push_back(std::move(first));
}

Database::~Database() = default;

namespace {

thread_local std::string t_company;
thread_local long long t_user = 0;

} // namespace

RequestScope::RequestScope(std::string company, long long user)
{
    t_company = std::move(company);
    t_user = user;
}

RequestScope::~RequestScope()
{
    t_company.clear();
    t_user = 0;
}

const std::string &RequestScope::company()
{
    return t_company;
}

long long RequestScope::user()
{
    return t_user;
}

Database::Lease Database::acquire()
{
    const std::string &company = RequestScope::company();
    std::unique_ptr<Connection> c;
    {
        std::lock_guard lock(m_mutex);
        auto &idle = company.empty() ? m_idle : m_idleConfined;
        if (!idle.empty()) {
            c = std::move(idle.back());
            idle.pop_back();
        }
    }
    if (!c)
        c = std::make_unique<Connection>(m_options);
    if (!company.empty())
        c->confine(company, RequestScope::user());
    return Lease(*this, std::move(c));
}

Database::Lease::~Lease()
{
    if (!m_c)
        return;
    m_c->setAccess(Access::Internal);
    m_c->startClock(0);
    std::lock_guard lock(m_db->m_mutex);
    (m_c->confined() ? m_db->m_idleConfined : m_db->m_idle).push_back(std::move(m_c));
}

void Database::exec(const std::string &sql)
{
    auto c = acquire();
    char *error = nullptr;
    const int rc = sqlite3_exec(c->handle(), sql.c_str(), nullptr, nullptr, &error);
    if (rc != SQLITE_OK) {
        const std::string text = error ? error : sqlite3_errstr(rc);
        sqlite3_free(error);
        throw std::runtime_error(text);
    }
}

} // namespace dravik::server
