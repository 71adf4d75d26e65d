// dravik-server --db FILE --port N --photos DIR [--seed demo|large] [--listen ADDR]
//               [--threads N] [--statement-timeout MS] [--connections-per-address N]
//               [--sessions required|optional]
// dravik-server --db FILE --issue-key USER-ID       prints a session key for scripts
// dravik-server --db FILE --set-password LOGIN      reads the password from standard input

#include "server/Database.h"
#include "server/DravikServer.h"
#include "server/HttpServer.h"
#include "server/Sessions.h"

#include <iostream>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>
#include <thread>

namespace {

void usage()
{
    std::fprintf(
            stderr,
            "usage: dravik-server --db FILE --port N --photos DIR [--seed demo|large]\n"
            "                     [--listen ADDR] [--threads N] [--statement-timeout MS]\n"
            "                     [--connections-per-address N] [--sessions required|optional]\n"
            "       dravik-server --db FILE --issue-key USER-ID\n"
            "       dravik-server --db FILE --set-password LOGIN   (password on stdin)\n"
            "  --port 0 picks a free port; the server prints the address it listens on.\n");
}

// The commands on an existing database: a session key for a user, a user's password.
int administer(const std::string &dbPath, long long user, const std::string &login)
{
    try {
        dravik::server::DbOptions options;
        options.path = dbPath;
        const auto db = dravik::server::openDatabase(options);
        db->prepare({});
        if (!login.empty()) {
            std::string password;
            std::getline(std::cin, password);
            if (!dravik::server::setPassword(*db, login, password)) {
                std::fprintf(stderr, "dravik-server: no user %s\n", login.c_str());
                return 1;
            }
            return 0;
        }
        const std::string key = dravik::server::issueSession(*db, user);
        if (key.empty()) {
            std::fprintf(stderr, "dravik-server: no user %lld\n", user);
            return 1;
        }
        std::printf("%s\n", key.c_str());
        return 0;
    } catch (const std::exception &e) {
        std::fprintf(stderr, "dravik-server: %s\n", e.what());
        return 1;
    }
}

} // namespace

int main(int argc, char **argv)
{
    dravik::server::ServerOptions options;
    bool havePort = false;
    long long issueKey = -1;
    std::string passwordLogin;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (i + 1 >= argc) {
            usage();
            return 2;
        }
        const std::string value = argv[++i];
        try {
            if (arg == "--db")
                options.dbPath = value;
            else if (arg == "--port")
                options.port = std::stoi(value), havePort = true;
            else if (arg == "--photos")
                options.photoDir = value;
            else if (arg == "--seed")
                options.seed = value;
            else if (arg == "--listen")
                options.listen = value;
            else if (arg == "--threads")
                options.threads = std::stoi(value);
            else if (arg == "--statement-timeout")
                options.statementTimeoutMs = std::stoi(value);
            else if (arg == "--connections-per-address")
                options.connectionsPerAddress = std::stoi(value);
            else if (arg == "--sessions" && (value == "required" || value == "optional"))
                options.requireSession = value == "required";
            else if (arg == "--issue-key")
                issueKey = std::stoll(value);
            else if (arg == "--set-password")
                passwordLogin = value;
            else {
                usage();
                return 2;
            }
        } catch (const std::exception &) {
            usage();
            return 2;
        }
    }
    if (!options.dbPath.empty() && (issueKey >= 0 || !passwordLogin.empty()))
        return administer(options.dbPath, issueKey, passwordLogin);
    if (options.dbPath.empty() || options.photoDir.empty() || !havePort || options.port < 0
        || options.port > 65535 || options.threads < 1
        || (!options.seed.empty() && options.seed != "demo" && options.seed != "large")) {
        usage();
        return 2;
    }

    // SIGINT and SIGTERM stop the server cleanly: a thread waits for them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    try {
        dravik::server::DravikServer server(options);
        const int port = server.start();
        std::printf("dravik-server listening on http://%s:%d/\n", options.listen.c_str(), port);
        std::fflush(stdout);
        std::thread([&server, signals] {
            int sig = 0;
            sigwait(&signals, &sig);
            // Only ends the serving: the main thread joins it (two joins of one thread hung
            // the process now and then, with SIGTERM blocked for good).
            server.http().stop();
        }).detach();
        server.wait();
    } catch (const std::exception &e) {
        std::fprintf(stderr, "dravik-server: %s\n", e.what());
        return 1;
    }
    return 0;
}
