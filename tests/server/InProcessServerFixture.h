#pragma once

// A dravik-server on the demo dealership, in-process on a free loopback port, with requests
// sent the way the client sends them.

#include "Cursor.h"
#include "PgCluster.h"

#include "common/Latin1.h"
#include "server/Database.h"
#include "server/DravikServer.h"
#include "server/HttpServer.h"
#include "server/seed/Seed.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace dravik::test {

// A request address as the client writes it: every byte that is not printable ASCII as %XX of
// its Latin-1 code, and the characters an address cannot carry as they stand.
inline std::string clientEncode(const std::string &utf8)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    for (const char ch : utf8ToLatin1(utf8)) {
        const auto c = static_cast<unsigned char>(ch);
        if (c <= ' ' || c >= 0x7F || ch == '#' || ch == '%' || ch == '&' || ch == '+' || ch == '"'
            || ch == '<' || ch == '>') {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += ch;
        }
    }
    return out;
}

using Params = std::vector<std::pair<std::string, std::string>>;

// A French text as the documents carry it.
inline std::string latin1Of(const std::string &utf8)
{
    return utf8ToLatin1(utf8);
}

class ServerFixture : public ::testing::Test
{
public:
    // A server that takes requests as they say (no session), for the statement tests.
    static void SetUpTestSuite() { startServer(false); }
    static void startServer(bool requireSession)
    {
        dir = std::filesystem::temp_directory_path()
                / ("dravik-server-test-" + std::to_string(::getpid()) + "-"
                   + ::testing::UnitTest::GetInstance()->current_test_suite()->name());
        std::filesystem::remove_all(dir);
        std::filesystem::create_directories(dir / "photos");
        server::ServerOptions options;
        options.dbPath = (dir / "demo.sqlite").string();
        if (onPostgres()) {
            PgCluster *cluster = PgCluster::instance();
            if (!cluster)
                GTEST_SKIP() << PgCluster::why();
            std::string name = ::testing::UnitTest::GetInstance()->current_test_suite()->name();
            for (char &ch : name)
                ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
            options.dbPath = cluster->createDatabase("dravik_" + name);
        }
        options.photoDir = (dir / "photos").string();
        options.seed = "demo";
        options.statementTimeoutMs = 500;
        options.busyTimeoutMs = 1000;
        options.tempBytesPerStatement = 16 << 20;
        options.threads = 16;
        options.requireSession = requireSession;
        server = std::make_unique<server::DravikServer>(options);
        port = server->start();
    }
    static void TearDownTestSuite()
    {
        if (server)
            server->stop();
        server.reset();
        std::filesystem::remove_all(dir);
    }

    // GET endpoint?name=value&... with every value encoded as the client does, plus the
    // "&idClient=" every GET of the client ends with. Answers the body (Latin-1).
    static std::string get(const std::string &endpoint, const Params &params, int *status = nullptr)
    {
        std::string target = "/" + endpoint + "?XMLC_OutputFormat=XML";
        bool client = false;
        for (const auto &[name, value] : params) {
            target += "&" + name + "=" + clientEncode(value);
            client = client || name == "idClient";
        }
        if (!client)
            target += "&idClient=";
        return fetch(target, status);
    }
    static std::string fetch(const std::string &target, int *status = nullptr)
    {
        httplib::Client http("127.0.0.1", port);
        http.set_read_timeout(10, 0);
        const auto res = http.Get(target.c_str());
        if (status)
            *status = res ? res->status : -1;
        return res ? res->body : std::string();
    }

    static std::string query(const std::string &sql, int maxRows = 0)
    {
        Params p {{"SQL", sql}};
        if (maxRows > 0)
            p.push_back({"MaxRows", std::to_string(maxRows)});
        return get("AxQuery", p);
    }
    static std::string update(const std::string &sql)
    {
        return get("AxUpdate", {{"SQLExecute", sql}});
    }
    static std::string insert(const std::string &sql)
    {
        return get("AxInsert", {{"SQLExecute", sql}});
    }

    // The warning the client would show: every LogItem followed by " - ".
    static std::string warning(const std::string &doc)
    {
        Cursor c(doc);
        xmlOpen(c, "LogItems");
        std::string out;
        while (xmlNext(c, "LogItem"))
            out += c.item + " - ";
        return out;
    }
    static std::string newId(const std::string &doc)
    {
        Cursor c(doc);
        xmlOpen(c, "OutParams");
        return xmlGet(c, "NewID");
    }

    // Direct reads of the test database, outside the server.
    static std::string scalar(const std::string &sql)
    {
        auto lease = server->database().acquire();
        try {
            // Written as SQLite reads it: PostgreSQL quotes [bracketed names].
            std::string text = sql;
            if (onPostgres())
                for (char &ch : text)
                    ch = ch == '[' || ch == ']' ? '"' : ch;
            server::Statement &stmt = lease->cached(text);
            std::string out;
            if (stmt.next())
                out = stmt.type(0) == server::ValueType::Integer ? std::to_string(stmt.integer(0))
                                                                 : std::string(stmt.text(0));
            stmt.reset();
            return out;
        } catch (const std::exception &) {
            return {};
        }
    }
    static int count(const std::string &sql) { return std::atoi(scalar(sql).c_str()); }

    // Another writer holding the database (SQLite) or every table (PostgreSQL) until it is
    // destroyed: the server's writes wait, then answer WAIT_TIMEOUT; reads go on.
    class OtherWriter
    {
    public:
        OtherWriter()
        {
            if (onPostgres()) {
                m_pg = PQconnectdb(server->options().dbPath.c_str());
                PQclear(PQexec(m_pg,
                               "BEGIN; LOCK TABLE tvehicles, tactions, listmodels, "
                               "\"tvo - frevo\", tclients IN EXCLUSIVE MODE"));
            } else {
                sqlite3_open((dir / "demo.sqlite").c_str(), &m_lite);
                m_held = sqlite3_exec(m_lite, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr)
                        == SQLITE_OK;
            }
        }
        ~OtherWriter()
        {
            if (m_pg)
                PQfinish(m_pg);
            if (m_lite) {
                sqlite3_exec(m_lite, "ROLLBACK", nullptr, nullptr, nullptr);
                sqlite3_close(m_lite);
            }
        }
        bool held() const { return m_pg ? PQstatus(m_pg) == CONNECTION_OK : m_held; }

    private:
        PGconn *m_pg = nullptr;
        sqlite3 *m_lite = nullptr;
        bool m_held = false;
    };

    // Every row of every table as text, so that any change shows in a comparison.
    static std::string dump()
    {
        auto lease = server->database().acquire();
        std::vector<std::string> tables;
        server::Statement &names = lease->cached(
                onPostgres() ? "SELECT tablename FROM pg_tables WHERE schemaname = 'public' "
                               "ORDER BY tablename"
                             : "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name");
        while (names.next())
            tables.emplace_back(names.text(0));
        names.reset();
        std::string all;
        for (const auto &t : tables) {
            all += "[" + t + "]\n";
            server::Statement &rows = lease->cached("SELECT * FROM \"" + t + "\" AS r ORDER BY "
                                                    + (onPostgres() ? "r" : "rowid"));
            while (rows.next()) {
                for (int i = 0; i < rows.columns(); ++i) {
                    all += rows.type(i) == server::ValueType::Null ? std::string("\\N")
                                                                   : std::string(rows.text(i));
                    all += '|';
                }
                all += '\n';
            }
            rows.reset();
        }
        return all;
    }

    static inline std::filesystem::path dir;
    static inline std::unique_ptr<server::DravikServer> server;
    static inline int port = 0;
};

} // namespace dravik::test
