#include "server/DravikServer.h"

#include "common/FormLayout.h"
#include "common/Latin1.h"
#include "server/ClientSql.h"
#include "server/Database.h"
#include "server/Documents.h"
#include "server/HttpServer.h"
#include "server/Messages.h"
#include "server/QueryString.h"
#include "server/Reports.h"
#include "server/Sessions.h"
#include "server/TempBudget.h"
#include "server/Uploads.h"
#include "server/XmlDoc.h"

#include <sys/stat.h>

#include <algorithm>
#include <charconv>
#include <cstdlib>
#include <stdexcept>

namespace dravik::server {

namespace {

constexpr const char *kXml = "text/xml; charset=ISO-8859-1";

// The tables the client's statements write, with the record tables of the layout, and the
// reservations, which go with a deleted vehicle.
std::set<std::string> writableTables()
{
    std::set<std::string> tables = {
            "tVehicles",       "tVO - Frevo", "tVO - Liens Images", "tResa",      "tClients",
            "TVehiclesClarim", "tActions",    "ListRubrics",        "ListModels", "ListVersions"};
    for (const TabRow &t : formTabs())
        if (!t.tag.empty())
            tables.insert(t.tag);
    return tables;
}

int toInt(const std::string &text)
{
    int v = 0;
    std::from_chars(text.data(), text.data() + text.size(), v);
    return v;
}

bool isDirectory(const std::string &path)
{
    struct stat st
    {
    };
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The session key of a request: the header, else the cookie.
std::string sessionKeyOf(const httplib::Request &req)
{
    if (req.has_header("X-Dravik-Session"))
        return req.get_header_value("X-Dravik-Session");
    const std::string cookies = req.get_header_value("Cookie");
    const std::string name = "DravikSession=";
    for (size_t p = cookies.find(name); p != std::string::npos; p = cookies.find(name, p + 1)) {
        if (p == 0 || cookies[p - 1] == ' ' || cookies[p - 1] == ';') {
            const size_t start = p + name.size();
            const size_t end = cookies.find(';', start);
            return cookies.substr(start, end == std::string::npos ? end : end - start);
        }
    }
    return {};
}

// Why the user parameters of a request refuse it: they must name the session's user and
// company when given. Empty when they agree.
std::string mismatch(const QueryParams &params, const SessionUser &user)
{
    const std::string id = params.get("UserID");
    if (!id.empty() && id != std::to_string(user.id))
        return msg::userMismatch(id);
    const std::string concession = params.get("UserConcession");
    if (!concession.empty() && concession != user.concession)
        return msg::concessionMismatch(concession);
    return {};
}

} // namespace

// The user asking, from the session key; the user parameters of the request must name the
// same user and company. Answers the refusal (a log item), empty when the request may go on,
// and sets the "UserID" the documents read to the session's user.
std::string DravikServer::authorize(const httplib::Request &req, QueryParams &params,
                                    std::optional<SessionUser> &user)
{
    try {
        user = sessionUser(*m_db, sessionKeyOf(req));
    } catch (const std::exception &e) {
        // The database is away (restarting): the request is answered, not dropped.
        return e.what();
    }
    if (!user)
        return m_options.requireSession ? msg::invalidSession() : std::string();
    if (std::string refusal = mismatch(params, *user); !refusal.empty())
        return refusal;
    params.set("UserID", std::to_string(user->id));
    return {};
}

// A GET endpoint answering a document built from the request's parameters, for the session's
// user. A read may look its session up itself, in its first round trip, where the database
// offers it: its answer is then kept only once the key was found and agrees with the request,
// and a read that reached no database has its key looked up after.
template<typename Build>
httplib::Server::Handler DravikServer::document(Build build, SessionLookup lookup)
{
    return [this, build, lookup](const httplib::Request &req, httplib::Response &res) {
        QueryParams params = QueryParams::fromTarget(req.target);
        const std::string key = sessionKeyOf(req);
        // A document of the user binds the "UserID" given, which the session must then name.
        const bool inRead = lookup != SessionLookup::Before && m_options.requireSession
                && m_db->checksSessionsInRequest() && key.size() == 64
                && (lookup == SessionLookup::InRead || !params.get("UserID").empty());
        if (inRead) {
            SessionCheck check = sessionCheck(key);
            std::string answer;
            {
                const RequestScope scope(check);
                answer = build(params);
            }
            std::string refusal;
            if (check.outcome == SessionCheck::Outcome::Found) {
                refusal = mismatch(params, SessionUser {check.user, check.concession});
            } else if (check.outcome == SessionCheck::Outcome::Unknown) {
                refusal = msg::invalidSession();
            } else {
                std::optional<SessionUser> user;
                refusal = authorize(req, params, user);
            }
            res.set_content(refusal.empty() ? answer : XmlDoc::failure({refusal}), kXml);
            return;
        }
        std::optional<SessionUser> user;
        const std::string refusal = authorize(req, params, user);
        const RequestScope scope(user ? user->concession : std::string(), user ? user->id : 0);
        res.set_content(refusal.empty() ? build(params) : XmlDoc::failure({refusal}), kXml);
    };
}

DravikServer::DravikServer(ServerOptions options)
    : m_options(std::move(options))
{
    if (!isDirectory(m_options.photoDir))
        throw std::runtime_error("photo folder not found: " + m_options.photoDir);
    DbOptions db;
    db.path = m_options.dbPath;
    db.busyTimeoutMs = std::max(m_options.busyTimeoutMs, m_options.statementTimeoutMs + 500);
    db.statementTimeoutMs = m_options.statementTimeoutMs;
    db.tempBytesPerStatement = m_options.tempBytesPerStatement;
    setServerTempLimit(m_options.tempBytesServer);
    db.writableTables = writableTables();
    db.hiddenTables = {"tRequestKeys", "tPasswords", "tSessions", "tReportTickets"};
    m_db = openDatabase(db);
    m_db->prepare({m_options.seed, m_options.photoDir});
    HttpLimits limits;
    limits.connectionsPerAddress = m_options.connectionsPerAddress;
    limits.requestSeconds = m_options.requestSeconds;
    m_http = std::make_unique<HttpServer>(limits);
    routes();
}

DravikServer::~DravikServer()
{
    stop();
}

void DravikServer::routes()
{
    HttpServer &http = *m_http;
    Database &db = *m_db;
    const std::string photoDir = m_options.photoDir;

    http.Get("/AxInfoVO",
             document([&db](const QueryParams &p) { return vehicleDocument(db, p); },
                      SessionLookup::InReadOfUser));
    http.Get("/AxInfoCL",
             document([&db](const QueryParams &p) { return customerDocument(db, p); },
                      SessionLookup::InReadOfUser));
    http.Get("/AxInfoEquip",
             document([&db](const QueryParams &p) { return choiceListDocument(db, p); },
                      SessionLookup::InRead));
    http.Get("/AxInfoStruct", document([](const QueryParams &) { return structureDocument(); }));
    http.Get("/AxQuery",
             document(
                     [&db](const QueryParams &p) {
                         if (!p.has("SQL"))
                             return XmlDoc::failure({msg::missingParameter("SQL")});
                         return runQuery(db, p.get("SQL"), toInt(p.get("MaxRows")));
                     },
                     SessionLookup::InRead));
    http.Get("/AxUpdate", document([&db](const QueryParams &p) {
                 if (!p.has("SQLExecute"))
                     return XmlDoc::failure({msg::missingParameter("SQLExecute")});
                 return runUpdate(db, p.get("SQLExecute"), {p.get("RequestKey"), {}});
             }));
    http.Get("/AxInsert", document([&db](const QueryParams &p) {
                 if (!p.has("SQLExecute"))
                     return XmlDoc::failure({msg::missingParameter("SQLExecute")});
                 return runInsert(db, p.get("SQLExecute"), {p.get("RequestKey"), {}});
             }));
    http.Post("/AxInsert",
              [this, &db, photoDir](const httplib::Request &req, httplib::Response &res) {
                  QueryParams params;
                  std::optional<SessionUser> user;
                  const std::string refusal = authorize(req, params, user);
                  const RequestScope scope(user ? user->concession : std::string(),
                                           user ? user->id : 0);
                  res.set_content(refusal.empty() ? photoUpload(db, photoDir, req)
                                                  : XmlDoc::failure({refusal}),
                                  kXml);
              });
    // User and password (a form) for a session key.
    http.Post("/AxLogin", [this, &db](const httplib::Request &req, httplib::Response &res) {
        auto field = [&req](const char *name) {
            const auto it = req.files.find(name);
            return it != req.files.end() ? it->second.content : req.get_param_value(name);
        };
        const std::string login = field("Login");
        // Guessing is refused before any password is checked.
        if (const long long wait = m_logins.waitSeconds(login, req.remote_addr)) {
            res.set_content(XmlDoc::failure({msg::tooManyLogins(wait)}), kXml);
            return;
        }
        const auto user = checkPassword(db, login, field("Password"));
        if (!user) {
            m_logins.failed(login, req.remote_addr);
            res.set_content(XmlDoc::failure({msg::badLogin()}), kXml);
            return;
        }
        m_logins.succeeded(login);
        XmlDoc doc("Answer");
        doc.open("Session");
        doc.value("SessionKey", issueSession(db, *user));
        doc.value("UserID", std::to_string(*user));
        doc.close("Session");
        res.set_content(doc.finish(), kXml);
    });
    // A ticket for the browser to open one report of one record.
    http.Get("/AxReportTicket", document([&db](const QueryParams &p) {
                 XmlDoc doc("Answer");
                 doc.open("ReportTicket");
                 doc.value("Ticket",
                           issueTicket(db, std::atoll(p.get("UserID").c_str()), p.get("rptSelect"),
                                       p.get("rptName")));
                 doc.close("ReportTicket");
                 return doc.finish();
             }));
    http.Get("/ReportPDF", [this, &db](const httplib::Request &req, httplib::Response &res) {
        QueryParams params = QueryParams::fromTarget(req.target);
        std::optional<SessionUser> user;
        if (m_options.requireSession) {
            user = ticketUser(db, params.get("Ticket"), params.get("rptSelect"),
                              params.get("rptName"));
            if (!user) {
                res.set_content(XmlDoc::failure({msg::invalidTicket()}), kXml);
                return;
            }
        }
        // The sheet reads the record as the ticket's user would: another company's is not found.
        const RequestScope scope(user ? user->concession : std::string(), user ? user->id : 0);
        const Report r = reportPdf(db, params);
        if (r.pdf) {
            res.set_header("Content-Disposition",
                           "inline; filename=\"" + utf8ToLatin1(r.fileName) + "\"");
            res.set_content(r.body, "application/pdf");
        } else {
            res.set_content(r.body, kXml);
        }
    });
    http.Post("/tools/smssend/smssend.php5",
              [this, &db](const httplib::Request &req, httplib::Response &res) {
                  QueryParams params;
                  std::optional<SessionUser> user;
                  const std::string refusal = authorize(req, params, user);
                  res.set_content(utf8ToLatin1(refusal.empty() ? smsSend(db, req)
                                                               : msg::smsRefused(refusal)),
                                  "text/plain; charset=ISO-8859-1");
              });
    http.set_mount_point("/voimages", photoDir);
    http.set_file_extension_and_mimetype_mapping("jpg", "image/jpeg");

    // Whatever goes wrong, the answer is a document with log items, never a bare error page.
    http.set_error_handler([](const httplib::Request &req, httplib::Response &res) {
        std::string text = msg::internalError();
        if (res.status == 404)
            text = msg::unknownEndpoint(latin1ToUtf8(req.path));
        else if (res.status == 413 || HttpServer::requestTooLarge())
            text = msg::requestTooLarge();
        res.set_content(XmlDoc::failure({text}), kXml);
    });
    http.set_exception_handler(
            [](const httplib::Request &, httplib::Response &res, std::exception_ptr) {
                res.status = 500;
                res.set_content(XmlDoc::failure({msg::internalError()}), kXml);
            });

    const int threads = m_options.threads;
    http.new_task_queue = [threads] {
        return new httplib::ThreadPool(static_cast<size_t>(threads));
    };
    http.set_keep_alive_max_count(100000);
    http.set_keep_alive_timeout(m_options.keepAliveSeconds);
    http.set_read_timeout(5, 0);
    http.set_write_timeout(5, 0);
    http.set_payload_max_length(16 * 1024 * 1024);
}

int DravikServer::start()
{
    if (m_options.port == 0) {
        m_port = m_http->bind_to_any_port(m_options.listen);
    } else {
        m_port = m_http->bind_to_port(m_options.listen, m_options.port) ? m_options.port : -1;
    }
    if (m_port <= 0)
        throw std::runtime_error("cannot listen on " + m_options.listen + ":"
                                 + std::to_string(m_options.port));
    m_http->widenListenQueue();
    m_thread = std::thread([this] { m_http->listen_after_bind(); });
    while (!m_http->is_running() && m_thread.joinable())
        std::this_thread::yield();
    return m_port;
}

void DravikServer::stop()
{
    if (m_http)
        m_http->stop();
    wait();
}

void DravikServer::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace dravik::server
