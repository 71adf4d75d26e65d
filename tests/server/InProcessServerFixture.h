#pragma once

// A dravik-server on the demo dealership, in-process on a free loopback port, with requests
// sent the way the client sends them.

#include "Cursor.h"

#include "common/Latin1.h"
#include "server/Database.h"
#include "server/DravikServer.h"
#include "server/HttpServer.h"
#include "server/seed/Seed.h"

#include <gtest/gtest.h>

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
            server::Statement &stmt = lease->cached(sql);
            std::string out;
            if (stmt.next())
                out = std::string(stmt.text(0));
            stmt.reset();
            return out;
        } catch (const std::exception &) {
            return {};
        }
    }
    static int count(const std::string &sql) { return std::atoi(scalar(sql).c_str()); }

    // Every row of every table as text, so that any change shows in a comparison.
    static std::string dump()
    {
        auto lease = server->database().acquire();
        std::vector<std::string> tables;
        server::Statement &names = lease->cached(
                "SELECT name FROM sqlite_schema WHERE type = 'table' ORDER BY name");
        while (names.next())
            tables.emplace_back(names.text(0));
        names.reset();
        std::string all;
        for (const auto &t : tables) {
            all += "[" + t + "]\n";
            server::Statement &rows = lease->cached("SELECT * FROM \"" + t + "\" ORDER BY rowid");
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
