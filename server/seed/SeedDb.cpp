#include "seed/SeedDb.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <stdexcept>

namespace dravik::seed::detail {

namespace {

[[noreturn]] void fail(sqlite3 *db, const std::string &context)
{
    throw std::runtime_error(context + ": " + sqlite3_errmsg(db));
}

std::string quoted(const std::string &name)
{
    std::string out = "\"";
    for (char c : name) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

void bind(sqlite3 *db, sqlite3_stmt *stmt, int i, const Value &v)
{
    int rc = SQLITE_OK;
    if (const auto *n = std::get_if<long long>(&v))
        rc = sqlite3_bind_int64(stmt, i, *n);
    else if (const auto *d = std::get_if<double>(&v))
        rc = sqlite3_bind_double(stmt, i, *d);
    else if (const auto *s = std::get_if<std::string>(&v))
        rc = sqlite3_bind_text(stmt, i, s->data(), static_cast<int>(s->size()), SQLITE_TRANSIENT);
    else
        rc = sqlite3_bind_null(stmt, i);
    if (rc != SQLITE_OK)
        fail(db, "bind");
}

using std::chrono::days;
using std::chrono::sys_days;
using std::chrono::year_month_day;

year_month_day parse(const std::string &iso)
{
    // yyyy-mm-dd, digits only where digits belong.
    const auto digits = [&](size_t from, size_t count, int &out) {
        out = 0;
        for (size_t i = from; i < from + count; ++i) {
            if (i >= iso.size() || iso[i] < '0' || iso[i] > '9')
                return false;
            out = out * 10 + (iso[i] - '0');
        }
        return true;
    };
    int y = 0, m = 0, d = 0;
    const bool shaped = iso.size() == 10 && iso[4] == '-' && iso[7] == '-';
    if (!shaped || !digits(0, 4, y) || !digits(5, 2, m) || !digits(8, 2, d))
        throw std::runtime_error("not an ISO date: " + iso);
    const year_month_day date {std::chrono::year(y), std::chrono::month(static_cast<unsigned>(m)),
                               std::chrono::day(static_cast<unsigned>(d))};
    if (!date.ok())
        throw std::runtime_error("not a calendar date: " + iso);
    return date;
}

std::string format(year_month_day ymd)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(ymd.year()),
                  static_cast<unsigned>(ymd.month()), static_cast<unsigned>(ymd.day()));
    return buf;
}

} // namespace

void exec(sqlite3 *db, const std::string &sql)
{
    char *error = nullptr;
    if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
        std::string message = error ? error : "unknown error";
        sqlite3_free(error);
        throw std::runtime_error("SQL: " + message);
    }
}

Insert::Insert(sqlite3 *db, std::string table, std::vector<std::string> columns)
    : m_db(db)
    , m_table(std::move(table))
    , m_columns(std::move(columns))
{
    std::string names, marks;
    for (size_t i = 0; i < m_columns.size(); ++i) {
        m_index.emplace(std::string_view(m_columns[i]), i);
        names += (i ? "," : "") + quoted(m_columns[i]);
        marks += i ? ",?" : "?";
    }
    const std::string sql
            = "INSERT INTO " + quoted(m_table) + " (" + names + ") VALUES (" + marks + ")";
    if (sqlite3_prepare_v2(m_db, sql.c_str(), -1, &m_stmt, nullptr) != SQLITE_OK)
        fail(m_db, "prepare " + m_table);
}

Insert::~Insert()
{
    sqlite3_finalize(m_stmt);
}

size_t Insert::index(std::string_view column) const
{
    const auto it = m_index.find(column);
    if (it == m_index.end())
        throw std::runtime_error("no column " + std::string(column) + " in " + m_table);
    return it->second;
}

Insert::Row Insert::row() const
{
    Row r;
    r.m_owner = this;
    r.m_values.resize(m_columns.size());
    return r;
}

Insert::Row &Insert::Row::set(std::string_view column, Value value)
{
    m_values[m_owner->index(column)] = std::move(value);
    return *this;
}

const Value &Insert::Row::get(std::string_view column) const
{
    return m_values[m_owner->index(column)];
}

long long Insert::run(const Row &row)
{
    for (size_t i = 0; i < row.m_values.size(); ++i)
        bind(m_db, m_stmt, static_cast<int>(i + 1), row.m_values[i]);
    if (sqlite3_step(m_stmt) != SQLITE_DONE)
        fail(m_db, "insert into " + m_table);
    sqlite3_reset(m_stmt);
    sqlite3_clear_bindings(m_stmt);
    return sqlite3_last_insert_rowid(m_db);
}

std::vector<std::string> tableColumns(sqlite3 *db, const std::string &table)
{
    sqlite3_stmt *stmt = nullptr;
    const std::string sql = "SELECT name FROM pragma_table_info(?)";
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) != SQLITE_OK)
        fail(db, "columns of " + table);
    sqlite3_bind_text(stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
    std::vector<std::string> columns;
    while (sqlite3_step(stmt) == SQLITE_ROW)
        columns.emplace_back(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
    sqlite3_finalize(stmt);
    if (columns.empty())
        throw std::runtime_error("no table " + table);
    return columns;
}

void insertValues(sqlite3 *db, const std::string &table, const std::vector<std::string> &columns,
                  const std::vector<Value> &values)
{
    Insert insert(db, table, columns);
    auto row = insert.row();
    for (size_t i = 0; i < columns.size() && i < values.size(); ++i)
        row.set(columns[i], values[i]);
    insert.run(row);
}

Transaction::Transaction(sqlite3 *db)
    : m_db(db)
{
    exec(m_db, "BEGIN");
}

Transaction::~Transaction()
{
    if (!m_done)
        sqlite3_exec(m_db, "ROLLBACK", nullptr, nullptr, nullptr);
}

void Transaction::commit()
{
    exec(m_db, "COMMIT");
    m_done = true;
}

uint64_t Rng::next()
{
    uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

int Rng::range(int lo, int hi)
{
    if (hi <= lo)
        return lo;
    return lo + static_cast<int>(next() % static_cast<uint64_t>(hi - lo + 1));
}

bool Rng::chance(int percent)
{
    return range(0, 99) < percent;
}

std::string todayIso()
{
    const std::time_t now = std::time(nullptr);
    std::tm local {};
    localtime_r(&now, &local);
    char buf[16];
    std::strftime(buf, sizeof buf, "%Y-%m-%d", &local);
    return buf;
}

bool isIsoDate(const std::string &iso)
{
    try {
        return iso.size() == 10 && parse(iso).ok();
    } catch (const std::runtime_error &) {
        return false;
    }
}

std::string addDays(const std::string &iso, int n)
{
    return format(year_month_day {sys_days {parse(iso)} + days {n}});
}

std::string addMonths(const std::string &iso, int months)
{
    const auto ymd = parse(iso);
    const auto moved = ymd.year() / ymd.month() / std::chrono::day(1) + std::chrono::months(months);
    const auto last = std::chrono::year_month_day_last(moved.year(),
                                                       std::chrono::month_day_last(moved.month()));
    const auto day = std::min(ymd.day(), last.day());
    return format(year_month_day {moved.year(), moved.month(), day});
}

int daysBetween(const std::string &from, const std::string &to)
{
    return static_cast<int>((sys_days {parse(to)} - sys_days {parse(from)}).count());
}

std::string firstOfNextMonth(const std::string &iso)
{
    const auto ymd = parse(iso);
    const auto next = ymd.year() / ymd.month() / std::chrono::day(1) + std::chrono::months(1);
    return format(next);
}

std::string firstOfYear(const std::string &iso)
{
    return format(parse(iso).year() / std::chrono::January / std::chrono::day(1));
}

double cents(double amount)
{
    return std::round(amount * 100.0) / 100.0;
}

} // namespace dravik::seed::detail
