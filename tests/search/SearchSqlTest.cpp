#include "search/SearchSql.h"
#include "search/DuplicateSql.h"
#include "search/SearchResults.h"

#include "engine/QtPrinters.h"

#include <QHash>

#include <gtest/gtest.h>

namespace {

SearchRequest request(int mode, const char *text)
{
    SearchRequest r;
    r.mode = mode;
    r.text = QString::fromUtf8(text);
    r.concession = QStringLiteral("C");
    return r;
}

} // namespace

TEST(SearchSql, ConditionOfEachCase)
{
    using namespace SearchModes;
    auto withFirst = request(CustomerName, "X");
    withFirst.exact = withFirst.withFirstName = true;
    withFirst.firstName = QStringLiteral("Y");
    auto filtered = request(VehiclePlate, "AB");
    filtered.typeIndex = 3;
    filtered.site = QStringLiteral("NORD");
    auto used = request(Buyer, "");
    used.typeIndex = 1;
    auto newOnly = request(StockNumber, "7");
    newOnly.typeIndex = 2;
    auto exact = request(CustomerName, "DUPONT");
    exact.exact = true;
    auto exactLike = request(CustomerName, "BLIKE%");
    exactLike.exact = true;
    auto launch = request(Mobile, "06");
    launch.byWhereClause = true;
    launch.whereClause = QStringLiteral("WHERE (vo.Site='VALENCE') and (WHERE_X=1)");
    auto quotes = request(HomePhone, "O'BRIEN");
    quotes.concession = QStringLiteral("D'A");
    auto firstNameOnEmpty = request(CustomerName, "");
    firstNameOnEmpty.withFirstName = true;

    const struct
    {
        SearchRequest in;
        const char *condition;
    } cases[] = {
            {request(VehiclePlate, ""), "(Concession='C') and ((Immatriculation like '%%'))"},
            {request(Buyer, "MARTIN"), "(Concession='C') and ((Acheteur like '%MARTIN%'))"},
            {request(CustomerVehiclePlate, ""),
             "(Concession='C') and ((Immatriculation like '%%'))"},
            {request(StockNumber, "12a"), "(Concession='C') and ((false))"},
            {request(StockNumber, ""), "(Concession='C') and ((false))"},
            {request(StockNumber, "120"), "(Concession='C') and ((NVO>=120))"},
            {request(CustomerName, ""), "(Concession='C') and ((false))"},
            {request(Mobile, ""), "(Concession='C') and ((false))"},
            {request(HomePhone, ""), "(Concession='C') and ((false))"},
            {exact, "(Concession='C') and ((CliNom = 'DUPONT'))"},
            {withFirst, "(Concession='C') and ((CliNom = 'X') and (CliPreNom = 'Y'))"},
            {firstNameOnEmpty, "(Concession='C') and ((false))"},
            {filtered,
             "(Concession='C') and ((TypeVO=2) and (not isnull(StatutVD)) and (SITE='NORD') and "
             "(Immatriculation like '%AB%'))"},
            {used, "(Concession='C') and ((TypeVO=1) and (Acheteur like '%%'))"},
            {newOnly, "(Concession='C') and ((TypeVO=2) and (isnull(StatutVD)) and (NVO>=7))"},
            // Typed text reaches the condition as typed, "where " and "like" included.
            {request(CustomerName, "where x"), "(Concession='C') and ((CliNom like '%where x%'))"},
            {exactLike, "(Concession='C') and ((CliNom = 'BLIKE%'))"},
            {quotes, "(Concession='D''A') and ((CliTelDom like '%O''BRIEN%'))"},
            // The launch filter replaces the condition; only its leading keyword goes.
            {launch, "(Concession='C') and ( (Site='VALENCE') and (WHERE_X=1))"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(BuildSearchSql(c.in).condition, QString::fromUtf8(c.condition))
                << c.in.mode << " " << c.in.text.toStdString();
}

TEST(SearchSql, ModeFromTheEnabledButton)
{
    const struct
    {
        bool customer;
        CriterionButtons buttons;
        int mode;
    } cases[] = {
            {false, {true, false, false, false}, 3},
            {false, {false, true, false, false}, 1},
            {false, {false, false, true, false}, 2},
            {false, {false, false, false, false}, 2},
            {true, {false, true, false, false}, 4},
            {true, {false, false, true, false}, 5},
            {true, {false, false, false, true}, 6},
            {true, {false, false, false, false}, 7},
            // The start-up state (only N°VO) on a customer searches the home telephone.
            {true, {true, false, false, false}, 7},
    };
    for (const auto &c : cases)
        EXPECT_EQ(deriveSearchMode(c.customer, c.buttons), c.mode);
}

TEST(SearchSql, AddressCarriesEveryTypedCharacter)
{
    const struct
    {
        const char *in, *out;
    } cases[] = {
            {"like '%A&B+C#D%'", "like '%25A%26B%2BC%23D%25'"},
            {"'\"<>'", "'%22%3C%3E'"},
            {"%25", "%2525"},
            {"PLAIN é", "PLAIN é"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(statementForAddress(QString::fromUtf8(c.in)), QString::fromUtf8(c.out));
    EXPECT_EQ(cleanSearchText(QStringLiteral("A\tB\r\nC")), QStringLiteral("ABC"));
}

TEST(SearchResults, CellsOfOneRow)
{
    const QHash<QString, QString> vehicle = {
            {"VO_ID", "77"},          {"TypeVO", "1"},      {"VO_NO", "1234"},
            {"VO_SITE", "PARIS"},     {"Concession", "C"},  {"VO_ORDRE", "02/03/2024"},
            {"VO_IMMAT", "AB123CD"},  {"InfoMarque", "VW"}, {"InfoModele", "GOLF"},
            {"VO_BUYER", "durand é"},
    };
    const QHash<QString, QString> customer = {
            {"VO_ID", "9"},       {"VO_NO", "9"},         {"VO_SITE", "ROMANS"},
            {"Concession", "C"},  {"CliTelDom", "0475"},  {"CliMobile", "0612"},
            {"CliCP", "26100"},   {"CliVille", "ROMANS"}, {"CliAdresse2", "BAT B"},
            {"CliNom", "dupont"}, {"CliPrenom", "Jean"},
    };
    const auto with = [](QHash<QString, QString> h, const char *key, const char *value) {
        h[QLatin1String(key)] = QString::fromUtf8(value);
        return h;
    };
    const struct
    {
        int mode;
        QHash<QString, QString> item;
        const char *site;
        QStringList cells;
    } cases[] = {
            {1,
             vehicle,
             "#",
             {"77", "4", "VO-Ps-1234", "02/03/2024", "AB123CD", "VW GOLF", "DURAND é"}},
            {2,
             with(vehicle, "TypeVO", "2"),
             "NORD",
             {"77", "3", "VN-Ps-1234", "02/03/2024", "AB123CD", "VW GOLF", "DURAND é"}},
            {3,
             with(vehicle, "StatutVD", "X"),
             "paris;nord",
             {"77", "4", "VD-Ps-1234", "02/03/2024", "AB123CD", "VW GOLF", "DURAND é"}},
            {3,
             with(vehicle, "TypeVO", "5"),
             "#",
             {"77", "4", "VD-Ps-1234", "02/03/2024", "AB123CD", "VW GOLF", "DURAND é"}},
            {4,
             with(vehicle, "Concession", "Z"),
             "#",
             {"77", "2", "Ps-1234", "02/03/2024", "AB123CD", "VW GOLF", "DURAND é"}},
            {5,
             customer,
             "VALENCE",
             {"9", "3", "Rs-9", "0475", "0612", "26100 ROMANS - BAT B", "DUPONT Jean"}},
            // Entities are read as the characters they stand for, in every cell.
            {5,
             with(with(customer, "CliNom", "l&amp;m"), "CliVille", "A&amp;B &lt;2&gt;"),
             "VALENCE",
             {"9", "3", "Rs-9", "0475", "0612", "26100 A&B <2> - BAT B", "L&M Jean"}},
            {1,
             with(vehicle, "VO_SITE", "&amp;Z"),
             "#",
             {"77", "4", "VO-&z-1234", "02/03/2024", "AB123CD", "VW GOLF", "DURAND é"}},
            {6,
             with(customer, "VO_SITE", ""),
             "VALENCE",
             {"9", "3", "-9", "0475", "0612", "26100 ROMANS - BAT B", "DUPONT Jean"}},
    };
    for (const auto &c : cases) {
        const auto field = [&c](QStringView name) {
            const auto at = c.item.constFind(name.toString());
            return at == c.item.cend() ? QStringView() : QStringView(*at);
        };
        EXPECT_EQ(searchRowCells(c.mode, field, QStringLiteral("C"), QString::fromUtf8(c.site)),
                  c.cells)
                << c.mode;
    }
    EXPECT_EQ(searchHeaders(3).join(u'|'), QStringLiteral("N°VO|D.Ordre|Immat.|Véhicule|Client"));
    EXPECT_EQ(searchHeaders(7).join(u'|'), QStringLiteral("Réf.|Tél.Dom.|Mobile|Adresse|Client"));
    EXPECT_EQ(rowCountCaption(QStringLiteral("50"), true),
              QStringLiteral("50 premiers enregistrements"));
    EXPECT_EQ(rowCountCaption(QStringLiteral("3"), false),
              QStringLiteral("3 enregistrements trouvés"));
}

TEST(DuplicateSql, StatementOfEachCounter)
{
    const DuplicateFields typed {QStringLiteral("d'éon"), QStringLiteral("jean"),
                                 QStringLiteral("0475441020"), QString(),
                                 QStringLiteral("ZOLVARE")};
    const struct
    {
        const char *mode;
        const char *sql; // empty: nothing is asked
        const char *counter;
    } cases[] = {
            {"Nom",
             "select count(idClient) as cpt from tClients where (Concession='ZOLVARE') group by "
             "CliNom having (CliNom='D''éON')",
             "DblNom"},
            {"Ident",
             "select count(idClient) as cpt from tClients where (Concession='ZOLVARE') group by "
             "CliNom, CliPrenom having (CliNom='D''éON') and (CliPreNom='JEAN')",
             "DblIdent"},
            {"TelDom",
             "select count(idClient) as cpt from tClients where (Concession='ZOLVARE') group by "
             "CliTelDom having (CliTelDom='0475441020')",
             "DblTelDom"},
            {"Mobile", "", "DblMobile"},
            {"Other", "", ""},
    };
    for (const auto &c : cases) {
        EXPECT_EQ(duplicateCountSql(QLatin1String(c.mode), typed), QString::fromUtf8(c.sql))
                << c.mode;
        EXPECT_EQ(duplicateCounterName(QLatin1String(c.mode)), QLatin1String(c.counter));
    }
}
