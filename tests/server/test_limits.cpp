// Requests that would take unbounded memory, time or disk are refused with a log item, and the
// server keeps answering everyone else.

#include "InProcessServerFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <thread>

using namespace dravik;
using namespace dravik::test;

namespace {

// A connection from a loopback address of its own choosing (127.0.0.0/8 is all loopback).
int connectFrom(const char *source, int port)
{
    const int s = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in from {};
    from.sin_family = AF_INET;
    inet_pton(AF_INET, source, &from.sin_addr);
    sockaddr_in to {};
    to.sin_family = AF_INET;
    to.sin_port = htons(static_cast<uint16_t>(port));
    inet_pton(AF_INET, "127.0.0.1", &to.sin_addr);
    if (::bind(s, reinterpret_cast<sockaddr *>(&from), sizeof from) != 0
        || ::connect(s, reinterpret_cast<sockaddr *>(&to), sizeof to) != 0) {
        ::close(s);
        return -1;
    }
    return s;
}

// What the server sends until it closes, or until `timeoutMs` of silence.
std::string readAll(int s, int timeoutMs)
{
    std::string out;
    char buf[65536];
    while (true) {
        pollfd p {s, POLLIN, 0};
        if (::poll(&p, 1, timeoutMs) <= 0)
            break;
        const ssize_t n = ::recv(s, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        out.append(buf, static_cast<size_t>(n));
    }
    return out;
}

// Sends a raw request (as far as the server takes it) and answers what came back.
std::string exchange(int port, const std::string &request)
{
    const int s = connectFrom("127.0.0.1", port);
    for (size_t done = 0; done < request.size();) {
        const ssize_t n = ::send(s, request.data() + done, request.size() - done, MSG_NOSIGNAL);
        if (n <= 0)
            break;
        done += static_cast<size_t>(n);
    }
    std::string answer = readAll(s, 10000);
    ::close(s);
    return answer;
}

std::string statusLine(const std::string &answer)
{
    return answer.substr(0, answer.find("\r\n"));
}

std::string bodyOf(const std::string &answer)
{
    const size_t p = answer.find("\r\n\r\n");
    return p == std::string::npos ? std::string() : answer.substr(p + 4);
}

// A server of the test's own, on the demo database in a folder of its own, removed after.
struct OwnServer
{
    std::filesystem::path dir;
    std::unique_ptr<server::DravikServer> server;
    int port = 0;

    explicit OwnServer(const std::string &name, int connectionsPerAddress = 24,
                       int requestSeconds = 10)
        : dir(std::filesystem::temp_directory_path()
              / ("dravik-" + name + "-" + std::to_string(::getpid())))
    {
        std::filesystem::create_directories(dir / "photos");
        server::ServerOptions options;
        options.dbPath = (dir / "db.sqlite").string();
        options.photoDir = (dir / "photos").string();
        options.threads = 8;
        options.connectionsPerAddress = connectionsPerAddress;
        options.requestSeconds = requestSeconds;
        options.requireSession = false;
        server = std::make_unique<server::DravikServer>(options);
        port = server->start();
    }
    ~OwnServer()
    {
        server->stop();
        std::filesystem::remove_all(dir);
    }
};

std::string chunked(size_t chunks, size_t size)
{
    std::string body;
    char head[32];
    std::snprintf(head, sizeof head, "%zx\r\n", size);
    for (size_t i = 0; i < chunks; ++i)
        body += head + std::string(size, 'x') + "\r\n";
    return body + "0\r\n\r\n";
}

} // namespace

class Limits : public ServerFixture
{
};

TEST_F(Limits, OversizedRequestsAreAnsweredWithALogItem)
{
    const std::string multipart = "Content-Type: multipart/form-data; boundary=zz\r\n";
    const struct
    {
        const char *what;
        std::string request;
        const char *status;
        std::string logItem;
    } cases[] = {
            {"request line over 1 MiB",
             "GET /AxQuery?SQL=" + std::string(1100 * 1024, 'a') + " HTTP/1.1\r\nHost: x\r\n\r\n",
             "HTTP/1.1 414 URI Too Long", "Adresse de requête trop longue : 1 Mo au plus - "},
            {"chunked body of 20 MiB",
             "POST /AxInsert HTTP/1.1\r\nHost: x\r\nTransfer-Encoding: chunked\r\n" + multipart
                     + "\r\n" + chunked(20, 1 << 20),
             "HTTP/1.1 400 Bad Request", "Requête trop volumineuse : 16 Mo au plus - "},
            {"body of 20 MB",
             "POST /AxInsert HTTP/1.1\r\nHost: x\r\nContent-Length: 20000000\r\n" + multipart
                     + "\r\n" + std::string(20000000, 'x'),
             "HTTP/1.1 413 Payload Too Large", "Requête trop volumineuse : 16 Mo au plus - "},
    };
    const std::string before = dump();
    for (const auto &c : cases) {
        const std::string answer = exchange(port, c.request);
        EXPECT_EQ(statusLine(answer), c.status) << c.what;
        EXPECT_EQ(warning(bodyOf(answer)), latin1Of(c.logItem)) << c.what;
    }
    EXPECT_EQ(dump(), before);
    EXPECT_EQ(warning(query("select count(*) as n from tVehicles")), "");
}

TEST_F(Limits, WorkThatNoStepOfTheStatementBoundsIsRefused)
{
    const std::string bigText = "(select hex(zeroblob(1000000)))";
    const struct
    {
        std::string sql;
        std::string logItem;
    } cases[] = {
            {"SELECT hex(fts3_tokenizer('simple')) as x",
             "Fonction SQL refusée : fts3_tokenizer - "},
            {"select length(printf('%.*c', 100000000, 'x')) as n",
             "Fonction SQL refusée : printf - "},
            {"select length(format('%.*c', 100000000, 'x')) as n",
             "Fonction SQL refusée : format - "},
            {"select sqlite_compileoption_get(0) as n",
             "Fonction SQL refusée : sqlite_compileoption_get - "},
            {"select " + bigText + " like '%' || hex(zeroblob(20000)) || '1' as n",
             "Motif de recherche trop long (LIKE) : 250 caractères au plus - "},
            {"select length(" + bigText + " || " + bigText + ") as n",
             "Valeur trop longue : 2 Mo au plus - "},
            // Sorting more than the temporary disk a statement may use.
            {"select count(*) as n from (select randomblob(100000) x from tVehicles a, "
             "tVehicles b order by 1)",
             "Requête interrompue : espace temporaire maximal dépassé - "},
    };
    for (const auto &c : cases)
        EXPECT_EQ(warning(query(c.sql)), latin1Of(c.logItem)) << c.sql;
}

TEST_F(Limits, ARecordDocumentIsCappedLikeAQueryAnswer)
{
    // Seventeen costs of 2 MB on one vehicle: a document of 34 MB.
    scalar("INSERT INTO \"tVO - Frevo\" (idVO, LibelleFrevo) SELECT 1, "
           "hex(zeroblob(1000000)) FROM tVehicles LIMIT 17");
    const std::string doc = get("AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}});
    scalar("DELETE FROM \"tVO - Frevo\" WHERE length(LibelleFrevo) = 2000000");
    EXPECT_EQ(warning(doc), latin1Of("Réponse trop volumineuse : précisez la recherche - "));
    EXPECT_LT(doc.size(), 1000u);
    EXPECT_EQ(warning(get("AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}})), "");
}

TEST_F(Limits, AWriterStoppedByTheTimeLimitDoesNotMakeAnHonestSaveFail)
{
    const std::string runaway = "update tVehicles set KMS=(WITH RECURSIVE c(x) AS (SELECT 1 "
                                "UNION ALL SELECT x+1 FROM c) SELECT count(*) FROM c) where idVO=1";
    std::string stopped;
    std::thread hostile([&stopped, &runaway] { stopped = update(runaway); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::string honest = update("Update tVehicles set KMS=4321 where (idVO=2)");
    hostile.join();
    EXPECT_EQ(warning(honest), "");
    EXPECT_EQ(count("SELECT KMS FROM tVehicles WHERE idVO=2"), 4321);
    EXPECT_EQ(warning(stopped),
              latin1Of("Requête interrompue : durée d'exécution maximale dépassée - "));
}

// Slow clients from one address hold a bounded number of connections, each for a bounded time,
// while another address is served at once.
TEST(SlowClients, CannotStopEveryoneElse)
{
    const OwnServer own("slow-clients", 4, 1);
    const int port = own.port;

    std::vector<int> slow;
    for (int i = 0; i < 60; ++i) {
        const int s = connectFrom("127.0.0.2", port);
        ASSERT_GE(s, 0);
        ::send(s, "G", 1, MSG_NOSIGNAL);
        slow.push_back(s);
    }
    httplib::Client http("127.0.0.1", port);
    http.set_read_timeout(3, 0);
    const auto res = http.Get("/AxQuery?SQL=select%20count(*)%20as%20n%20from%20tVehicles");
    ASSERT_TRUE(res);
    EXPECT_EQ(ServerFixture::warning(res->body), "");

    int refused = 0, cut = 0;
    for (const int s : slow) {
        const std::string answer = readAll(s, 500);
        if (answer.find(latin1Of("Trop de connexions ouvertes depuis cette adresse"))
            != std::string::npos) {
            ++refused;
            continue;
        }
        // Still trickling: cut when its request took too long to arrive.
        ::send(s, "ET /", 4, MSG_NOSIGNAL);
        pollfd p {s, POLLIN, 0};
        char byte;
        if (::poll(&p, 1, 8000) == 1 && ::recv(s, &byte, 1, 0) <= 0)
            ++cut;
    }
    for (const int s : slow)
        ::close(s);
    // Connections the listen queue held back meet free places later, and are cut in turn.
    EXPECT_GT(refused, 0);
    EXPECT_EQ(refused + cut, 60);
}

// A site opening in the morning: a hundred clients connect at the same instant, and each is
// answered at once rather than after its connection was dropped and tried again a second later.
TEST(ManyClients, ConnectingAtOnceAreAllAnsweredAtOnce)
{
    const OwnServer own("many-clients");
    const int port = own.port;

    const std::string request = "GET /AxQuery?SQL=select%20count(*)%20as%20n%20from%20tUsers "
                                "HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n";
    const auto start = std::chrono::steady_clock::now();
    std::vector<int> clients;
    for (int i = 0; i < 100; ++i) {
        // Spread over addresses, each under the limit of connections per address.
        const std::string source = "127.0.1." + std::to_string(1 + i / 10);
        const int s = connectFrom(source.c_str(), port);
        ASSERT_GE(s, 0);
        ::send(s, request.data(), request.size(), MSG_NOSIGNAL);
        clients.push_back(s);
    }
    int answered = 0;
    for (const int s : clients) {
        const std::string answer = readAll(s, 5000);
        answered += statusLine(answer) == "HTTP/1.1 200 OK"
                && bodyOf(answer).find("<n>") != std::string::npos;
        ::close(s);
    }
    const double seconds
            = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_EQ(answered, 100);
    // A dropped connection is tried again after a second; all of them together take a fraction.
    EXPECT_LT(seconds, 0.9);
}
