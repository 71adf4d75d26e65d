#include "server/Database.h"

#include "server/PgDatabase.h"
#include "server/SqlValues.h"
#include "server/SqliteDatabase.h"

#include <stdexcept>

namespace dravik::server {

Statement::~Statement() = default;

bool Statement::next()
{
    switch (step()) {
    case StepResult::Row:
        return true;
    case StepResult::Done:
        return false;
    default: {
        const std::string text = error();
        reset();
        throw std::runtime_error(text);
    }
    }
}

const RowWriter &Statement::writer()
{
    if (!m_writer)
        m_writer = std::make_unique<RowWriter>(*this);
    return *m_writer;
}

Connection::~Connection() = default;

Database::Database(DbOptions options)
    : m_options(std::move(options))
{ }

Database::~Database() = default;

Database::Lease::~Lease()
{
    if (m_c)
        m_db->release(std::move(m_c));
}

void Database::release(std::unique_ptr<Connection> c)
{
    c->rollback();
    c->setAccess(Access::Internal);
    c->startClock(0);
    if (reusable(*c))
        keepIdle(std::move(c));
}

std::unique_ptr<Connection> Database::takeIdle(bool confined)
{
    std::lock_guard lock(m_idleMutex);
    auto &idle = m_idle[confined ? 1 : 0];
    if (idle.empty())
        return nullptr;
    std::unique_ptr<Connection> c = std::move(idle.back());
    idle.pop_back();
    return c;
}

void Database::keepIdle(std::unique_ptr<Connection> c)
{
    std::lock_guard lock(m_idleMutex);
    m_idle[c->confined() ? 1 : 0].push_back(std::move(c));
}

void Database::dropIdle()
{
    std::lock_guard lock(m_idleMutex);
    for (auto &idle : m_idle)
        idle.clear();
}

void Database::exec(const std::string &sql)
{
    acquire()->exec(sql);
}

namespace {

thread_local std::string t_company;
thread_local long long t_user = 0;
thread_local SessionCheck *t_check = nullptr;

} // namespace

RequestScope::RequestScope(std::string company, long long user)
{
    t_company = std::move(company);
    t_user = user;
    t_check = nullptr;
}

RequestScope::RequestScope(SessionCheck &check)
{
    t_company.clear();
    t_user = 0;
    t_check = &check;
}

RequestScope::~RequestScope()
{
    t_company.clear();
    t_user = 0;
    t_check = nullptr;
}

const std::string &RequestScope::company()
{
    return t_company;
}

long long RequestScope::user()
{
    return t_user;
}

SessionCheck *RequestScope::check()
{
    return t_check;
}

std::unique_ptr<Database> openDatabase(DbOptions options)
{
    if (isPostgresAddress(options.path))
        return std::make_unique<PgDatabase>(std::move(options));
    return std::make_unique<SqliteDatabase>(std::move(options));
}

} // namespace dravik::server
