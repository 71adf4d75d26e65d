// Who is asking: the server takes the user from the session key, refuses requests without a
// valid one, and opens a report only with the ticket issued for it.

#include "InProcessServerFixture.h"

#include <cstdio>

using namespace dravik;
using namespace dravik::test;

namespace {

std::string sessionKey(const std::string &doc)
{
    Cursor c(doc);
    xmlOpen(c, "Session");
    return xmlGet(c, "SessionKey");
}

httplib::Headers withKey(const std::string &key)
{
    return key.empty() ? httplib::Headers {} : httplib::Headers {{"X-Dravik-Session", key}};
}

} // namespace

class Sessions : public ServerFixture
{
public:
    static void SetUpTestSuite() { startServer(true); }

    static std::string login(const std::string &user, const std::string &password)
    {
        httplib::Client http("127.0.0.1", port);
        const auto res
                = http.Post("/AxLogin", httplib::Params {{"Login", user}, {"Password", password}});
        return res ? res->body : std::string();
    }
    // A GET as the client sends it, with the session key in its header.
    static std::string as(const std::string &key, const std::string &endpoint, const Params &params)
    {
        std::string target = "/" + endpoint + "?XMLC_OutputFormat=XML";
        for (const auto &[name, value] : params)
            target += "&" + name + "=" + clientEncode(value);
        httplib::Client http("127.0.0.1", port);
        const auto res = http.Get(target.c_str(), withKey(key));
        return res ? res->body : std::string();
    }
    static std::string loginOf(int user)
    {
        return scalar("SELECT Login FROM tUsers WHERE idUser = " + std::to_string(user));
    }
};

TEST_F(Sessions, LoginGivesAKeyForTheRightPasswordOnly)
{
    const struct
    {
        std::string login, password;
        bool accepted;
    } cases[] = {
            {loginOf(1), "dravik", true},  {loginOf(3), "dravik", true},
            {loginOf(1), "Dravik", false}, {loginOf(1), "", false},
            {"personne", "dravik", false}, {"", "", false},
    };
    for (const auto &c : cases) {
        const std::string doc = login(c.login, c.password);
        EXPECT_EQ(warning(doc), c.accepted ? "" : "Identifiant ou mot de passe incorrect - ")
                << c.login << "/" << c.password;
        EXPECT_EQ(sessionKey(doc).size(), c.accepted ? 64u : 0u) << c.login;
    }
}

TEST_F(Sessions, RequestsAreRefusedWithoutAValidKey)
{
    const std::string key = sessionKey(login(loginOf(1), "dravik"));
    ASSERT_EQ(key.size(), 64u);
    const std::string expired = sessionKey(login(loginOf(2), "dravik"));
    scalar("UPDATE tSessions SET ExpiresAt = 0 WHERE idUser = 2");
    const std::string invalid = latin1Of("Session expirée ou invalide - ");
    const struct
    {
        std::string key, endpoint;
        Params params;
        std::string warning;
    } cases[] = {
            {"", "AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}}, invalid},
            {std::string(64, '0'), "AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}}, invalid},
            {expired, "AxInfoVO", {{"idTVO", "1"}, {"UserID", "2"}}, invalid},
            {"", "AxQuery", {{"SQL", "select count(*) as n from tClients"}}, invalid},
            {"", "AxUpdate", {{"SQLExecute", "Update tVehicles set KMS=1 where idVO=1"}}, invalid},
            {"", "AxInfoEquip", {{"UserConcession", "ZOLVARE"}}, invalid},
            {"", "AxInfoStruct", {}, invalid},
            {key,
             "AxInfoVO",
             {{"idTVO", "1"}, {"UserID", "2"}},
             latin1Of("L'utilisateur de la requête ne correspond pas à la session : 2 - ")},
            {key,
             "AxUpdate",
             {{"SQLExecute", "Update tVehicles set KMS=1 where idVO=1"}, {"UserID", "3"}},
             latin1Of("L'utilisateur de la requête ne correspond pas à la session : 3 - ")},
            {key,
             "AxInfoEquip",
             {{"UserConcession", "AUTRE"}},
             latin1Of("La concession de la requête ne correspond pas à la session : AUTRE - ")},
            {key, "AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}}, ""},
            {key, "AxQuery", {{"SQL", "select count(*) as n from tClients"}}, ""},
            // Reads that look their key up themselves: refused alike, whether their statement
            // ran, failed in the database or never reached it.
            {std::string(64, 'a'),
             "AxQuery",
             {{"SQL", "select count(*) as n from tClients"}},
             invalid},
            {expired, "AxQuery", {{"SQL", "select * from nowhere"}}, invalid},
            {std::string(64, 'a'), "AxQuery", {{"SQL", "select from where"}}, invalid},
            {std::string(64, 'a'), "AxInfoEquip", {{"UserConcession", "ZOLVARE"}}, invalid},
            {std::string(64, 'a'), "AxInfoCL", {{"idClient", "1"}, {"UserID", "1"}}, invalid},
            {key,
             "AxInfoCL",
             {{"idClient", "1"}, {"UserID", "9"}},
             latin1Of("L'utilisateur de la requête ne correspond pas à la session : 9 - ")},
            {key,
             "AxQuery",
             {{"SQL", "select count(*) as n from tClients"}, {"UserID", "01"}},
             latin1Of("L'utilisateur de la requête ne correspond pas à la session : 01 - ")},
            {key, "AxInfoEquip", {{"UserConcession", "ZOLVARE"}}, ""},
    };
    const std::string before = dump();
    for (const auto &c : cases)
        EXPECT_EQ(warning(as(c.key, c.endpoint, c.params)), c.warning)
                << c.endpoint << " " << c.key.size();
    // The uploads and the SMS path too.
    httplib::Client http("127.0.0.1", port);
    const auto upload = http.Post(
            "/AxInsert",
            httplib::MultipartFormDataItems {{"SQLExecute", "Delete from tActions", "", ""}});
    ASSERT_TRUE(upload);
    EXPECT_EQ(warning(upload->body), invalid);
    const auto sms
            = http.Post("/tools/smssend/smssend.php5",
                        httplib::MultipartFormDataItems {{"destinataire", "+33612345678", "", ""},
                                                         {"texte", "x", "", ""}});
    ASSERT_TRUE(sms);
    EXPECT_EQ(sms->body, latin1Of("Erreur : Session expirée ou invalide"));
    EXPECT_EQ(dump(), before);
}

TEST_F(Sessions, TheUserComesFromTheKeyNotFromTheRequest)
{
    const std::string key = sessionKey(login(loginOf(3), "dravik"));
    const std::string name = latin1Of(scalar("SELECT Name_ FROM tUsers WHERE idUser = 3"));
    ASSERT_FALSE(name.empty());
    // Without "UserID" the document is the key's user's; a cookie carries the key as well.
    EXPECT_NE(as(key, "AxInfoVO", {{"idTVO", "1"}}).find(name), std::string::npos);
    httplib::Client http("127.0.0.1", port);
    const auto res = http.Get("/AxInfoVO?XMLC_OutputFormat=XML&idTVO=1",
                              httplib::Headers {{"Cookie", "x=1; DravikSession=" + key}});
    ASSERT_TRUE(res);
    EXPECT_NE(res->body.find(name), std::string::npos);

    // A document asked for with the key's "UserID" (which the database may check in the read's
    // own round trip) is the one asked for without it, byte for byte.
    for (const auto &[endpoint, params] :
         std::vector<std::pair<std::string, Params>> {{"AxInfoVO", {{"idTVO", "1"}}},
                                                      {"AxInfoVO", {{"idTVO", "999999"}}},
                                                      {"AxInfoCL", {{"idClient", "1"}}}}) {
        Params withUser = params;
        withUser.push_back({"UserID", "3"});
        EXPECT_EQ(as(key, endpoint, withUser), as(key, endpoint, params)) << endpoint;
    }

    // The command for scripts issues a key of the user named.
    std::string issued;
    const std::string command = std::string(DRAVIK_SERVER_EXE) + " --db '"
            + server->options().dbPath + "' --issue-key 3";
    if (FILE *p = ::popen(command.c_str(), "r")) {
        char line[128] = {};
        if (std::fgets(line, sizeof line, p))
            issued = std::string(line).substr(0, 64);
        ::pclose(p);
    }
    ASSERT_EQ(issued.size(), 64u);
    EXPECT_NE(as(issued, "AxInfoVO", {{"idTVO", "1"}}).find(name), std::string::npos);
}

TEST_F(Sessions, AReportOpensOnlyWithItsOwnTicket)
{
    const std::string key = sessionKey(login(loginOf(1), "dravik"));
    const std::string selection = "idVO=" + std::to_string(seed::kDemoVO);
    const std::string report = "VO - Fiche Commerciale";
    Cursor c(as(key, "AxReportTicket", {{"rptSelect", selection}, {"rptName", report}}));
    xmlOpen(c, "ReportTicket");
    const std::string ticket = xmlGet(c, "Ticket");
    ASSERT_EQ(ticket.size(), 64u);
    const std::string refused = latin1Of("Ticket de rapport expiré ou invalide - ");
    const struct
    {
        std::string selection, report, ticket;
        bool pdf;
    } cases[] = {
            {selection, report, ticket, true},
            {selection, report, "", false},
            {"idVO=" + std::to_string(seed::kDemoVD), report, ticket, false},
            {selection, "VO - Feuille de Marge", ticket, false},
            {selection, report, std::string(64, 'a'), false},
    };
    for (const auto &k : cases) {
        std::string target = "/ReportPDF?rptSelect=" + k.selection + "&rptName=" + k.report
                + "&Ticket=" + k.ticket;
        for (size_t p = 0; (p = target.find(' ', p)) != std::string::npos;)
            target.replace(p, 1, "%20");
        const std::string body = fetch(target);
        EXPECT_EQ(body.rfind("%PDF-", 0) == 0, k.pdf) << target;
        if (!k.pdf) {
            EXPECT_EQ(warning(body), refused) << target;
        }
    }
    scalar("UPDATE tReportTickets SET ExpiresAt = 0");
    EXPECT_EQ(warning(fetch("/ReportPDF?rptSelect=" + selection
                            + "&rptName=VO%20-%20Fiche%20Commerciale&Ticket=" + ticket)),
              refused);
}

TEST_F(Sessions, AReportTicketOpensOnlyARecordOfItsUsersCompany)
{
    const std::string otherCustomer
            = scalar("SELECT min(idClient) FROM tClients WHERE Concession = 'MERIVAL'");
    ASSERT_FALSE(otherCustomer.empty());
    const struct
    {
        int user;
        std::string selection, report;
        std::string refusal; // empty: the PDF
    } cases[] = {
            {seed::kUserAdmin, "idVO=" + std::to_string(seed::kDemoVO), "VO - Fiche Commerciale",
             ""},
            {seed::kUserAdmin, "idVO=" + std::to_string(seed::kOtherCompanyVO),
             "VO - Feuille de Marge", "Véhicule introuvable : 6 - "},
            {seed::kUserAdmin, "idClient=" + otherCustomer, "Fiche Clarim",
             "Client introuvable : " + otherCustomer + " - "},
            {seed::kUserOtherCompany, "idVO=" + std::to_string(seed::kOtherCompanyVO),
             "VO - Fiche Commerciale", ""},
            {seed::kUserOtherCompany, "idVO=" + std::to_string(seed::kDemoVO),
             "VO - Fiche Commerciale", "Véhicule introuvable : 1 - "},
            {seed::kUserOtherCompany, "idClient=" + otherCustomer, "Fiche Clarim", ""},
    };
    for (const auto &k : cases) {
        const std::string key = sessionKey(login(loginOf(k.user), "dravik"));
        Cursor c(as(key, "AxReportTicket", {{"rptSelect", k.selection}, {"rptName", k.report}}));
        xmlOpen(c, "ReportTicket");
        std::string target = "/ReportPDF?rptSelect=" + k.selection + "&rptName=" + k.report
                + "&Ticket=" + xmlGet(c, "Ticket");
        for (size_t p = 0; (p = target.find(' ', p)) != std::string::npos;)
            target.replace(p, 1, "%20");
        const std::string body = fetch(target);
        EXPECT_EQ(body.rfind("%PDF-", 0) == 0, k.refusal.empty()) << k.user << " " << target;
        if (!k.refusal.empty()) {
            EXPECT_EQ(warning(body), latin1Of(k.refusal)) << k.user << " " << target;
        }
    }
}

TEST_F(Sessions, GuessingAPasswordIsStoppedAfterFiveFailures)
{
    const std::string login = loginOf(seed::kUserGuaranteeSVO);
    const std::string before = dump();
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(warning(Sessions::login(login, "guess" + std::to_string(i))),
                  "Identifiant ou mot de passe incorrect - ");
    // Now even the right password waits; nothing was stored meanwhile.
    EXPECT_EQ(warning(Sessions::login(login, "dravik")),
              latin1Of("Trop de tentatives de connexion : réessayez dans 15 min - "));
    EXPECT_EQ(dump(), before);
    // Another user from the same address still logs in.
    EXPECT_EQ(sessionKey(Sessions::login(loginOf(seed::kUserGuaranteeRVO), "dravik")).size(), 64u);
}
