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

// A parameter; none binds NULL.
using Arg = std::variant<std::monostate, long long, std::string>;

// A document grown past the answer limit: it is answered as a log item instead.
struct AnswerTooLarge : std::exception
{
};

void checkSize(const std::string &out)
{
    if (out.size() > kMaxAnswerBytes)
        throw AnswerTooLarge();
}

// The statement, bound and sent: a document sends all its reads before it reads the first, so
// that an engine across a network answers them in one round trip.
Statement &sent(Connection &c, const std::string &sql, std::initializer_list<Arg> args)
{
    Statement &stmt = c.cached(sql);
    int i = 1;
    for (const Arg &a : args) {
        if (const auto *n = std::get_if<long long>(&a))
            stmt.bind(i, *n);
        else if (const auto *t = std::get_if<std::string>(&a))
            stmt.bind(i, *t);
        ++i;
    }
    stmt.send();
    return stmt;
}

// Every row of the statement as an item of the container item + "S".
void appendList(std::string &out, std::string_view item, Statement &stmt)
{
    const std::string container = std::string(item) + "S";
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
bool appendRecord(std::string &out, std::string_view name, Statement &stmt)
{
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

// The reads of "User", "GNames" and "OptDates" for the user asking, sent.
struct UserReads
{
    std::optional<long long> user;
    Statement *users, *groups, *dates;
};

UserReads sendUser(Connection &c, const QueryParams &params)
{
    UserReads r;
    r.user = toId(params.get("UserID"));
    r.users = &sent(c,
                    "SELECT UserConcession, UserSite, Name_, US1 FROM tUsers "
                    "WHERE idUser = ?",
                    {r.user.value_or(0)});
    r.groups = &sent(c, "SELECT GName FROM tUserGroups WHERE idUser = ? ORDER BY GName",
                     {r.user.value_or(0)});
    // The user's company is looked up in the same statement, so that it need not come back
    // first; an unknown user has none (null, which matches no row). The lookup is a bare
    // column: an aggregate over it would make PostgreSQL fetch every column of the row.
    r.dates = &sent(c,
                    "SELECT Opt_LimiteDateDeb, Opt_LimiteDateDebFrevo, "
                    "Opt_LimiteDateDebClarim, Opt_LimiteDateVerrouVNVO FROM tOptDates "
                    "WHERE Concession = (SELECT UserConcession FROM tUsers WHERE idUser = ?)",
                    {r.user ? Arg(*r.user) : Arg()});
    return r;
}

// "User", "GNames" and "OptDates" of the user asking.
void appendUser(const UserReads &r, std::string &out, const QueryParams &params,
                std::vector<std::string> &logItems)
{
    out += "<User>";
    if (r.user && r.users->next())
        r.users->writer().appendFields(out);
    else
        logItems.push_back(msg::unknownUser(params.get("UserID")));
    r.users->reset();
    out += "</User>\r\n";
    // "GNames" holds its names as values of "GName" elements.
    out += "<GNames>";
    while (r.groups->next()) {
        out += "<GName>";
        r.groups->writer().appendValue(out, 0);
        out += "</GName>";
    }
    r.groups->reset();
    out += "</GNames>\r\n";

    out += "<OptDates>";
    if (r.dates->next())
        r.dates->writer().appendFields(out);
    r.dates->reset();
    out += "<Now>" + formatFr(today()) + "</Now></OptDates>\r\n";
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
// `fill` sends its reads and answers what reads them once the user's are read.
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
        const UserReads user = sendUser(c, params);
        auto append = fill(c);
        c.endWithSentReads();
        appendUser(user, body, params, logItems);
        append(body, logItems);
        XmlDoc doc("Answer", logItems);
        doc.raw(body);
        return doc.finish();
    });
}

} // namespace

std::string vehicleDocument(Database &db, const QueryParams &params)
{
    return recordDocument(db, params, [&](Connection &c) {
        const std::string idText = params.get("idTVO");
        const auto id = toId(idText);
        const bool asked = id && *id > 0;
        // The children hang on "idVO", which the record carries beside its own id: it is
        // looked up in each statement (null, matching no child, when the record is not found),
        // as a bare column for the reason above.
        const std::string idVO = "(SELECT idVO FROM tVehicles WHERE idTVO = ?)";
        const Arg record = asked ? Arg(*id) : Arg();
        Statement &resa = sent(c,
                               "SELECT DResaMax, Vendeur, Acheteur, Commentaire FROM tResa "
                               "WHERE idVO = "
                                       + idVO + " ORDER BY idResa DESC",
                               {record});
        Statement &frevo = sent(c,
                                "SELECT * FROM \"tVO - Frevo\" WHERE idVO = " + idVO
                                        + " ORDER BY DateFrevo, idFrevo",
                                {record});
        Statement &images = sent(c,
                                 "SELECT NomImage, NumImage, DateImage FROM \"tVO - Liens "
                                 "Images\" WHERE idVO = "
                                         + idVO + " ORDER BY NumImage, idImage",
                                 {record});
        Statement &vehicle = sent(c, "SELECT * FROM tVehicles WHERE idTVO = ?", {asked ? *id : 0});
        return [resa = &resa, frevo = &frevo, images = &images, vehicle = &vehicle, idText,
                asked](std::string &body, std::vector<std::string> &logItems) {
            appendList(body, "Resa", *resa);
            appendList(body, "Frevo", *frevo);
            appendList(body, "Image", *images);
            if (!appendRecord(body, "tVO", *vehicle) && asked)
                logItems.push_back(msg::vehicleNotFound(idText));
        };
    });
}

std::string customerDocument(Database &db, const QueryParams &params)
{
    return recordDocument(db, params, [&](Connection &c) {
        const std::string idText = params.get("idClient");
        const auto parsed = toId(idText);
        const long long id = parsed && *parsed > 0 ? *parsed : 0;
        Statement &actions = sent(c,
                                  "SELECT * FROM tActions WHERE idClient = ? "
                                  "ORDER BY DateAction DESC, idAction DESC",
                                  {id});
        Statement &vehicles
                = sent(c, "SELECT * FROM TVehiclesClarim WHERE idClient = ? ORDER BY idtVO", {id});
        Statement &customer = sent(c, "SELECT * FROM tClients WHERE idClient = ?", {id});
        return [actions = &actions, vehicles = &vehicles, customer = &customer, idText,
                id](std::string &body, std::vector<std::string> &logItems) {
            appendList(body, "TAct", *actions);
            appendList(body, "TVeh", *vehicles);
            if (!appendRecord(body, "TVC", *customer) && id > 0)
                logItems.push_back(msg::customerNotFound(idText));
        };
    });
}

namespace {

// One list of the choice-list document, kept until all are sorted by item name.
struct List
{
    std::string item;
    std::string text; // the whole container
};

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
        const std::pair<const char *, Statement *> reads[] = {
                {"InfoCom",
                 &sent(c,
                       "SELECT idCom, cNom, Site FROM InfoCom WHERE Concession = ? "
                       "ORDER BY cNom, idCom",
                       {concession})},
                {"InfoSite",
                 &sent(c,
                       "SELECT s.Site, s.Marques, coalesce(s.MontantFraisDossier, "
                       "c.MontantFraisDossier) AS MontantFraisDossier FROM InfoSite s "
                       "LEFT JOIN tConcessions c ON c.Concession = s.Concession "
                       "WHERE s.Concession = ? ORDER BY s.Site",
                       {concession})},
                {"Marks",
                 &sent(c, "SELECT DISTINCT VMarque AS vMark FROM ListModels ORDER BY VMarque", {})},
                {"Models",
                 &sent(c,
                       "SELECT VMarque AS vMark, VModele AS vModel FROM ListModels "
                       "ORDER BY VMarque, VModele, idModel",
                       {})},
                {"VNMarks",
                 &sent(c,
                       "SELECT DISTINCT VMarque AS vnMark FROM ListVersions "
                       "WHERE VConcession = ? ORDER BY VMarque",
                       {concession})},
                {"VNModels",
                 &sent(c,
                       "SELECT DISTINCT VMarque AS vnMark, VModele AS vnModel FROM ListVersions "
                       "WHERE VConcession = ? ORDER BY VMarque, VModele",
                       {concession})},
                {"VNVersions",
                 &sent(c,
                       "SELECT VModele AS vnModel, VVersion AS vnVers FROM ListVersions "
                       "WHERE VConcession = ? ORDER BY VModele, VVersion, idVersion",
                       {concession})},
        };
        Statement &codes = sent(c,
                                "SELECT CodeList, Abbr, eText FROM ListCodes "
                                "ORDER BY CodeList, CodeIndex, idCode",
                                {});
        c.endWithSentReads();
        std::vector<List> lists;
        lists.push_back({"Pars", "<ParsS>\r\n" + pars.items + "</ParsS>\r\n"});
        for (const auto &[item, stmt] : reads) {
            List l {item, {}};
            appendList(l.text, item, *stmt);
            lists.push_back(std::move(l));
        }
        // The code lists of the list boxes, one container each.
        {
            std::map<std::string, std::string> byList;
            std::vector<std::string> order;
            while (codes.next()) {
                const RowWriter &w = codes.writer();
                const std::string list = w.text(0);
                if (!byList.count(list))
                    order.push_back(list);
                std::string &text = byList[list];
                text += "<" + list + "><Abbr>" + xmlEscapeValue(w.text(1)) + "</Abbr><eText>"
                        + xmlEscapeValue(w.text(2)) + "</eText></" + list + ">\r\n";
            }
            codes.reset();
            for (const auto &list : order)
                lists.push_back({list, "<" + list + "S>" + byList[list] + "</" + list + "S>\r\n"});
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
