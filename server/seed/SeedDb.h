#pragma once

// Small helpers shared by the seed files: SQLite statements, a deterministic random source,
// ISO dates and amounts.

#include <sqlite3.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <variant>
#include <vector>

namespace dravik::seed::detail {

// A column value: NULL, integer, real or text.
using Value = std::variant<std::monostate, long long, double, std::string>;

// Runs SQL text (several statements allowed); throws std::runtime_error naming the context.
void exec(sqlite3 *db, const std::string &sql);

// A prepared INSERT of a fixed column list; columns missing from a row are written NULL.
class Insert
{
public:
    Insert(sqlite3 *db, std::string table, std::vector<std::string> columns);
    ~Insert();
    Insert(const Insert &) = delete;
    Insert &operator=(const Insert &) = delete;

    // A row under construction, addressed by column name.
    class Row
    {
    public:
        Row &set(std::string_view column, Value value);
        // Exact overloads, so that no argument converts to a narrower kind on the way.
        Row &set(std::string_view column, const char *text)
        {
            return set(column, Value {std::string(text)});
        }
        Row &set(std::string_view column, const std::string &text)
        {
            return set(column, Value {text});
        }
        Row &set(std::string_view column, int number)
        {
            return set(column, Value {static_cast<long long>(number)});
        }
        Row &set(std::string_view column, long long number) { return set(column, Value {number}); }
        Row &set(std::string_view column, double number) { return set(column, Value {number}); }
        const Value &get(std::string_view column) const;

    private:
        friend class Insert;
        const Insert *m_owner = nullptr;
        std::vector<Value> m_values;
    };

    Row row() const;
    // Inserts the row; answers the rowid.
    long long run(const Row &row);

private:
    size_t index(std::string_view column) const;

    sqlite3 *m_db;
    sqlite3_stmt *m_stmt = nullptr;
    std::string m_table;
    std::vector<std::string> m_columns;
    std::unordered_map<std::string_view, size_t> m_index; // views into m_columns
};

// Column names of a table, in schema order.
std::vector<std::string> tableColumns(sqlite3 *db, const std::string &table);

// Inserts one row of literal values: insertValues(db, "tUsers", {"idUser", "Name_"}, {1, "..."}).
void insertValues(sqlite3 *db, const std::string &table, const std::vector<std::string> &columns,
                  const std::vector<Value> &values);

// BEGIN ... COMMIT, rolled back when an exception leaves the scope.
class Transaction
{
public:
    explicit Transaction(sqlite3 *db);
    ~Transaction();
    void commit();

private:
    sqlite3 *m_db;
    bool m_done = false;
};

// splitmix64: the same sequence on every platform.
class Rng
{
public:
    explicit Rng(uint64_t seed)
        : m_state(seed)
    { }
    uint64_t next();
    int range(int lo, int hi); // inclusive
    bool chance(int percent);
    // A copy, so that picking from a temporary list is safe.
    template<typename T>
    T pick(const std::vector<T> &items)
    {
        return items[static_cast<size_t>(range(0, static_cast<int>(items.size()) - 1))];
    }

private:
    uint64_t m_state;
};

// ISO dates (yyyy-mm-dd).
std::string todayIso();
bool isIsoDate(const std::string &iso);
std::string addDays(const std::string &iso, int days);
std::string addMonths(const std::string &iso, int months); // day clamped to the month's end
int daysBetween(const std::string &from, const std::string &to);
std::string firstOfNextMonth(const std::string &iso);
std::string firstOfYear(const std::string &iso);

// Rounds to cents, as amounts are shown.
double cents(double amount);

} // namespace dravik::seed::detail
