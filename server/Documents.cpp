#include "server/Documents.h"

#include "common/Dates.h"
#include "common/XmlText.h"
#include "server/ClientSql.h"
#include "server/Database.h"
#include "server/JetSql.h"
#include "server/Messages.h"
#include "server/QueryString.h"
#include "server/SqlValues.h"
#include "server/XmlDoc.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <map>
#include <optional>
#include <variant>

namespace dravik::server {

namespace {

using Arg = std::variant<long long, std::string>;

// A document grown past the answer limit: it is answered as a log item instead.
struct AnswerTooLarge : std::exception
{
};

void checkSize(const std::string &out)
{
    if (out.size() > kMaxAnswerBytes)
        throw AnswerTooLarge();
}

Statement &run(Connection &c, const std::string &sql, std::initializer_list<Arg> args)
{
    Statement &stmt = c.cached(sql);
    int i = 1;
    for (const Arg &a : args) {
        if (const auto *n = std::get_if<long long>(&a))
            stmt.bind(i++, *n);
        else
            stmt.bind(i++, std::get<std::string>(a));
    }
    return stmt;
}

// Every row of the statement as an item of the container item + "S".
void appendList(Connection &c, std::string &out, std::string_view item, const std::string &sql,
                std::initializer_list<Arg> args)
{
    const std::string container = std::string(item) + "S";
    Statement &stmt = run(c, sql, args);
    out += "<" + container + ">";
    const RowWriter &writer = stmt.writer();
    while (stmt.next()) {
        writer.appendItem(out, item);
        if (out.size() > kMaxAnswerBytes) {
            stmt.reset();
            throw AnswerTooLarge();
        }
    }
    stmt.reset();
    out += "</" + container + ">\r\n";
}

// The one row of the statement as element `name` (empty element when there is none);
// answers whether a row was found.
bool appendRecord(Connection &c, std::string &out, std::string_view name, const std::string &sql,
                  std::initializer_list<Arg> args)
{
    Statement &stmt = run(c, sql, args);
    out += '<';
    out += name;
    out += '>';
    const bool found = stmt.next();
    if (found)
        stmt.writer().appendFields(out);
    stmt.reset();
    checkSize(out);
    out += "</";
    out += name;
    out += ">\r\n";
    return found;
}

std::optional<long long> toId(const std::string &text)
{
    long long v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size())
        return std::nullopt;
    return v;
}

// "User", "GNames" and "OptDates" of the user asking; answers the user's company.
std::string appendUser(Connection &c, std::string &out, const QueryParams &params,
                       std::vector<std::string> &logItems)
{
    const std::string userText = params.get("UserID");
    const auto user = toId(userText);
    std::string concession;
    Statement &users = run(c,
                           "SELECT UserConcession, UserSite, Name_, US1 FROM tUsers "
                           "WHERE idUser = ?",
                           {user.value_or(0)});
    out += "<User>";
    if (user && users.next()) {
        const RowWriter &w = users.writer();
        w.appendFields(out);
        concession = w.text(0);
    } else {
        logItems.push_back(msg::unknownUser(userText));
    }
    users.reset();
    out += "</User>\r\n";
    // "GNames" holds its names as values of "GName" elements.
    Statement &groups = run(c, "SELECT GName FROM tUserGroups WHERE idUser = ? ORDER BY GName",
                            {user.value_or(0)});
    out += "<GNames>";
    while (groups.next()) {
        out += "<GName>";
        groups.writer().appendValue(out, 0);
        out += "</GName>";
    }
    groups.reset();
    out += "</GNames>\r\n";

    Statement &dates = run(c,
                           "SELECT Opt_LimiteDateDeb, Opt_LimiteDateDebFrevo, "
                           "Opt_LimiteDateDebClarim, Opt_LimiteDateVerrouVNVO FROM tOptDates "
                           "WHERE Concession = ?",
                           {concession});
    out += "<OptDates>";
    if (dates.next())
        dates.writer().appendFields(out);
    dates.reset();
    out += "<Now>" + formatFr(today()) + "</Now></OptDates>\r\n";
    return concession;
}

bool startsWithWord(const std::string &text, std::string_view word)
{
    const size_t b = text.find_first_not_of(" \t\r\n");
    if (b == std::string::npos || text.size() - b < word.size())
        return false;
    for (size_t i = 0; i < word.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[b + i])) != word[i])
            return false;
    const size_t after = b + word.size();
    return after == text.size() || !std::isalnum(static_cast<unsigned char>(text[after]));
}

// One snapshot (and one file lock) for all the reads of a document.
class ReadTransaction
{
public:
    explicit ReadTransaction(Connection &c)
        : m_c(c)
    {
        if (c.begin(TransactionKind::Read) != StepResult::Done)
            throw std::runtime_error(c.failure());
    }
    ~ReadTransaction() { m_c.commit(); }
    ReadTransaction(const ReadTransaction &) = delete;
    ReadTransaction &operator=(const ReadTransaction &) = delete;

private:
    Connection &m_c;
};

template<typename Build>
std::string guarded(Build build)
{
    try {
        return build();
    } catch (const AnswerTooLarge &) {
        return XmlDoc::failure({msg::answerTooLarge()});
    } catch (const std::exception &e) {
        return XmlDoc::failure({msg::databaseError(e.what())});
    }
}

// A record document: the user's elements, then what `fill` adds, read in one snapshot.
template<typename Fill>
std::string recordDocument(Database &db, const QueryParams &params, Fill fill)
{
    return guarded([&] {
        auto lease = db.acquire();
        Connection &c = *lease;
        const ReadTransaction snapshot(c);
        std::vector<std::string> logItems;
        std::string body;
        body.reserve(8192);
        appendUser(c, body, params, logItems);
        fill(c, body, logItems);
        XmlDoc doc("Answer", logItems);
        doc.raw(body);
        return doc.finish();
    });
}

} // namespace

std::string vehicleDocument(Database &db, const QueryParams &params)
{
    return recordDocument(
            db, params, [&](Connection &c, std::string &body, std::vector<std::string> &logItems) {
                const std::string idText = params.get("idTVO");
                const auto id = toId(idText);
                // The children hang on "idVO", which the record carries beside its own id.
                long long idVO = 0;
                if (id && *id > 0) {
                    Statement &stmt = run(c, "SELECT idVO FROM tVehicles WHERE idTVO = ?", {*id});
                    if (stmt.next())
                        idVO = stmt.integer(0);
                    else
                        logItems.push_back(msg::vehicleNotFound(idText));
                    stmt.reset();
                }
                appendList(
                        c, body, "Resa",
                        "SELECT DResaMax, Vendeur, Acheteur, Commentaire FROM tResa WHERE idVO = ? "
                        "ORDER BY idResa DESC",
                        {idVO});
                appendList(
                        c, body, "Frevo",
                        "SELECT * FROM \"tVO - Frevo\" WHERE idVO = ? ORDER BY DateFrevo, idFrevo",
                        {idVO});
                appendList(c, body, "Image",
                           "SELECT NomImage, NumImage, DateImage FROM \"tVO - Liens Images\" "
                           "WHERE idVO = ? ORDER BY NumImage, idImage",
                           {idVO});
                appendRecord(c, body, "tVO", "SELECT * FROM tVehicles WHERE idTVO = ?",
                             {id && *id > 0 ? *id : 0});
            });
}

std::string customerDocument(Database &db, const QueryParams &params)
{
    return recordDocument(
            db, params, [&](Connection &c, std::string &body, std::vector<std::string> &logItems) {
                const std::string idText = params.get("idClient");
                const auto parsed = toId(idText);
                const long long id = parsed && *parsed > 0 ? *parsed : 0;
                appendList(c, body, "TAct",
                           "SELECT * FROM tActions WHERE idClient = ? "
                           "ORDER BY DateAction DESC, idAction DESC",
                           {id});
                appendList(c, body, "TVeh",
                           "SELECT * FROM TVehiclesClarim WHERE idClient = ? ORDER BY idtVO", {id});
                if (!appendRecord(c, body, "TVC", "SELECT * FROM tClients WHERE idClient = ?", {id})
                    && id > 0)
                    logItems.push_back(msg::customerNotFound(idText));
            });
}

namespace {

// One list of the choice-list document, kept until all are sorted by item name.
struct List
{
    std::string item;
    std::string text; // the whole container
};

List listOf(Connection &c, const std::string &item, const std::string &sql,
            std::initializer_list<Arg> args)
{
    List l {item, {}};
    appendList(c, l.text, item, sql, args);
    return l;
}

} // namespace

std::string choiceListDocument(Database &db, const QueryParams &params)
{
    return guarded([&] {
        const std::string concession = params.get("UserConcession");
        std::string clause = params.get("WHERE_CLAUSE");
        if (clause.find_first_not_of(" \t\r\n") == std::string::npos)
            clause = "Where (RubricItem='..') or (RubricItem=" + quoteText(concession) + ")";

        // The parameter lists: the client's condition on ListRubrics, read-only and confined to
        // that table. A list's ".." entry stays first whatever its index.
        std::string jet = "SELECT RubricType AS type, RubricText AS text FROM ListRubrics ";
        if (!startsWithWord(clause, "where"))
            jet += "Where ";
        jet += clause + " ORDER BY RubricType, (RubricText <> '..'), RubricIndex, idRubric";
        SelectResult pars = selectItems(db, jet, kMaxQueryRows, "Pars", {"ListRubrics"});
        if (!pars.failure.empty())
            return pars.failure;

        auto lease = db.acquire();
        Connection &c = *lease;
        const ReadTransaction snapshot(c);
        std::vector<List> lists;
        lists.push_back({"Pars", "<ParsS>\r\n" + pars.items + "</ParsS>\r\n"});
        lists.push_back(listOf(c, "InfoCom",
                               "SELECT idCom, cNom, Site FROM InfoCom WHERE Concession = ? "
                               "ORDER BY cNom, idCom",
                               {concession}));
        lists.push_back(listOf(c, "InfoSite",
                               "SELECT s.Site, s.Marques, coalesce(s.MontantFraisDossier, "
                               "c.MontantFraisDossier) AS MontantFraisDossier FROM InfoSite s "
                               "LEFT JOIN tConcessions c ON c.Concession = s.Concession "
                               "WHERE s.Concession = ? ORDER BY s.Site",
                               {concession}));
        lists.push_back(listOf(c, "Marks",
                               "SELECT DISTINCT VMarque AS vMark FROM ListModels ORDER BY VMarque",
                               {}));
        lists.push_back(listOf(c, "Models",
                               "SELECT VMarque AS vMark, VModele AS vModel FROM ListModels "
                               "ORDER BY VMarque, VModele, idModel",
                               {}));
        lists.push_back(listOf(c, "VNMarks",
                               "SELECT DISTINCT VMarque AS vnMark FROM ListVersions "
                               "WHERE VConcession = ? ORDER BY VMarque",
                               {concession}));
        lists.push_back(
                listOf(c, "VNModels",
                       "SELECT DISTINCT VMarque AS vnMark, VModele AS vnModel FROM ListVersions "
                       "WHERE VConcession = ? ORDER BY VMarque, VModele",
                       {concession}));
        lists.push_back(listOf(c, "VNVersions",
                               "SELECT VModele AS vnModel, VVersion AS vnVers FROM ListVersions "
                               "WHERE VConcession = ? ORDER BY VModele, VVersion, idVersion",
                               {concession}));
        // The code lists of the list boxes, one container each.
        {
            Statement &stmt = run(c,
                                  "SELECT CodeList, Abbr, eText FROM ListCodes "
                                  "ORDER BY CodeList, CodeIndex, idCode",
                                  {});
            std::map<std::string, std::string> codes;
            std::vector<std::string> order;
            while (stmt.next()) {
                const RowWriter &w = stmt.writer();
                const std::string list = w.text(0);
                if (!codes.count(list))
                    order.push_back(list);
                std::string &text = codes[list];
                text += "<" + list + "><Abbr>" + xmlEscapeValue(w.text(1)) + "</Abbr><eText>"
                        + xmlEscapeValue(w.text(2)) + "</eText></" + list + ">\r\n";
            }
            stmt.reset();
            for (const auto &list : order)
                lists.push_back({list, "<" + list + "S>" + codes[list] + "</" + list + "S>\r\n"});
        }
        // A name the client selects by prefix must come before any longer name it begins.
        std::stable_sort(lists.begin(), lists.end(),
                         [](const List &a, const List &b) { return a.item < b.item; });

        XmlDoc doc("document");
        doc.value("Concession", concession);
        doc.raw("\r\n");
        for (const auto &l : lists)
            doc.raw(l.text);
        return doc.finish();
    });
}

} // namespace dravik::server
