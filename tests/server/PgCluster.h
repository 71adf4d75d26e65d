#pragma once

// A PostgreSQL cluster of the tests' own: initdb into a temporary folder, a server on a free
// loopback port (run as an unprivileged user when the tests run as root), stopped when the
// test program ends. The suites run on it when DRAVIK_TEST_BACKEND is "postgresql".

#include <libpq-fe.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <pwd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace dravik::test {

inline bool onPostgres()
{
    const char *backend = std::getenv("DRAVIK_TEST_BACKEND");
    return backend && std::string(backend) == "postgresql";
}

class PgCluster
{
public:
    // The cluster of this test program, started at the first call; null (with why()) when
    // PostgreSQL's binaries are missing.
    static PgCluster *instance()
    {
        static std::unique_ptr<PgCluster> cluster = make();
        return cluster.get();
    }
    static std::string &why()
    {
        static std::string text;
        return text;
    }

    // Set before the first instance(): the cluster then syncs its commits to disk as a
    // production one does. The tests run without, to be quick; a benchmark that compares
    // writes with SQLite, which syncs each commit, must not.
    static bool &durable()
    {
        static bool value = false;
        return value;
    }

    int port() const { return m_port; }
    std::string psql() const { return m_bin + "/psql"; }
    // A new empty database; answers its address.
    std::string createDatabase(const std::string &name)
    {
        const std::string admin = address("postgres");
        PGconn *c = PQconnectdb(admin.c_str());
        PQclear(PQexec(c, ("DROP DATABASE IF EXISTS " + name + " WITH (FORCE)").c_str()));
        PGresult *r = PQexec(c, ("CREATE DATABASE " + name).c_str());
        const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK;
        const std::string error = PQerrorMessage(c);
        PQclear(r);
        PQfinish(c);
        if (!ok)
            throw std::runtime_error("create database: " + error);
        return address(name);
    }
    std::string address(const std::string &db) const
    {
        return "postgresql://dravik@127.0.0.1:" + std::to_string(m_port) + "/" + db;
    }
    // Stops and starts the server again, as an administrator restarting it would.
    bool stop() { return ctl("-m fast stop"); }
    bool start()
    {
        return ctl("-w start -o '-p " + std::to_string(m_port) + " -k " + m_dir.string()
                   + " -c listen_addresses=127.0.0.1" + (durable() ? "" : " -c fsync=off") + "'");
    }

    ~PgCluster()
    {
        ctl("-m immediate stop");
        std::filesystem::remove_all(m_dir);
    }

private:
    std::filesystem::path m_dir;
    std::string m_bin;
    std::string m_as; // "runuser -u nobody -- " when running as root
    int m_port = 0;

    bool ctl(const std::string &args)
    {
        const std::string cmd = m_as + m_bin + "/pg_ctl -D " + (m_dir / "data").string() + " -l "
                + (m_dir / "log").string() + " " + args + " > /dev/null 2>&1";
        return std::system(cmd.c_str()) == 0;
    }

    static int freePort()
    {
        const int s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in a {};
        a.sin_family = AF_INET;
        a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        ::bind(s, reinterpret_cast<sockaddr *>(&a), sizeof a);
        socklen_t n = sizeof a;
        ::getsockname(s, reinterpret_cast<sockaddr *>(&a), &n);
        ::close(s);
        return ntohs(a.sin_port);
    }

    static std::unique_ptr<PgCluster> make()
    {
        std::string bin;
        for (const char *dir : {"/usr/lib/postgresql/15/bin", "/usr/lib/postgresql/16/bin",
                                "/usr/lib/postgresql/17/bin"})
            if (std::filesystem::exists(std::string(dir) + "/initdb"))
                bin = dir;
        if (bin.empty()) {
            why() = "PostgreSQL's binaries are missing (initdb): apt-get install postgresql";
            return nullptr;
        }
        auto c = std::unique_ptr<PgCluster>(new PgCluster);
        c->m_bin = bin;
        char tmpl[] = "/tmp/dravik-pg-XXXXXX";
        c->m_dir = ::mkdtemp(tmpl);
        // PostgreSQL refuses to run as root.
        if (::geteuid() == 0) {
            const passwd *nobody = ::getpwnam("nobody");
            if (!nobody || ::chown(c->m_dir.c_str(), nobody->pw_uid, nobody->pw_gid) != 0) {
                why() = "PostgreSQL cannot run as root and there is no user nobody";
                return nullptr;
            }
            c->m_as = "runuser -u nobody -- ";
        }
        const std::string init = c->m_as + bin + "/initdb -D " + (c->m_dir / "data").string()
                + " -U dravik --auth=trust -E UTF8 --locale=C > "
                + (c->m_dir / "initdb.log").string() + " 2>&1";
        if (std::system(init.c_str()) != 0) {
            why() = "initdb failed: see " + (c->m_dir / "initdb.log").string();
            return nullptr;
        }
        c->m_port = freePort();
        if (!c->start()) {
            why() = "the PostgreSQL server did not start: see " + (c->m_dir / "log").string();
            return nullptr;
        }
        return c;
    }
};

} // namespace dravik::test
