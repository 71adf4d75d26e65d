// The documents, walked with the client's cursor rules, yield what the client reads.

#include "InProcessServerFixture.h"

#include "common/Dates.h"
#include "common/FormLayout.h"
#include "common/XmlText.h"

#include <map>
#include <set>

using namespace dravik;
using namespace dravik::test;

namespace {

// Field names described for the tabs of a record kind, with the element each is read from.
std::set<std::string> describedElements(const std::string &kind, std::set<std::string> tabNumbers)
{
    std::set<std::string> keys;
    for (const TabRow &t : formTabs())
        if (t.kind == kind && tabNumbers.count(t.idNum))
            keys.insert(t.vInfo);
    std::set<std::string> out;
    for (const LayoutRow &r : formLayout()) {
        if (!keys.count(r.desc))
            continue;
        const size_t semi = r.vInfo.find(';');
        out.insert(semi == std::string::npos ? r.vInfo : r.vInfo.substr(semi + 1));
    }
    return out;
}

std::vector<std::string> gridFields(const std::string &desc)
{
    std::vector<std::string> out;
    for (const LayoutRow &r : formLayout())
        if (r.desc == desc)
            out.push_back(r.vInfo);
    return out;
}

std::string userOf(int id)
{
    return std::to_string(id);
}

} // namespace

class Documents : public ServerFixture
{
};

TEST_F(Documents, VehicleDocumentCarriesUserGroupsDatesListsAndEveryDescribedField)
{
    const std::string doc
            = get("AxInfoVO",
                  {{"idTVO", std::to_string(seed::kDemoVO)}, {"UserID", userOf(seed::kUserAdmin)}});
    EXPECT_EQ(doc.find("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>"), 0u);
    EXPECT_EQ(warning(doc), "");
    Cursor c(doc);
    xmlOpen(c, "User");
    EXPECT_EQ(xmlGet(c, "UserConcession"), seed::kConcession);
    EXPECT_FALSE(xmlGet(c, "Name_").empty());
    EXPECT_TRUE(xmlGetOpt(c, "UserSite") && xmlGetOpt(c, "US1"));

    xmlOpen(c, "GNames");
    std::vector<std::string> groups;
    while (xmlNext(c, "GName"))
        groups.push_back(c.item);
    EXPECT_NE(std::find(groups.begin(), groups.end(), "ADMINS"), groups.end());

    xmlOpen(c, "OptDates");
    for (const char *e : {"Opt_LimiteDateDeb", "Opt_LimiteDateDebFrevo", "Opt_LimiteDateDebClarim",
                          "Opt_LimiteDateVerrouVNVO"})
        EXPECT_TRUE(parseFrDate(xmlGet(c, e))) << e << "=" << xmlGet(c, e);
    EXPECT_EQ(xmlGet(c, "Now"), formatFr(today()));

    xmlOpen(c, "ResaS");
    ASSERT_TRUE(xmlNext(c, "Resa"));
    for (const char *e : {"DResaMax", "Vendeur", "Acheteur", "Commentaire"})
        EXPECT_TRUE(xmlGetOpt(c, e)) << e;

    xmlOpen(c, "FrevoS");
    int costs = 0;
    while (xmlNext(c, "Frevo")) {
        ++costs;
        for (const std::string &f : gridFields("gFrev"))
            EXPECT_TRUE(xmlGetOpt(c, f)) << f;
    }
    EXPECT_EQ(costs, count("SELECT count(*) FROM \"tVO - Frevo\" WHERE idVO = 1"));
    EXPECT_GE(costs, 2);

    xmlOpen(c, "ImageS");
    int photos = 0;
    while (xmlNext(c, "Image")) {
        ++photos;
        EXPECT_FALSE(xmlGet(c, "NomImage").empty());
        EXPECT_GT(std::atoi(xmlGet(c, "NumImage").c_str()), 0);
        EXPECT_TRUE(parseIsoDate(xmlGet(c, "DateImage"))) << xmlGet(c, "DateImage");
    }
    EXPECT_GT(photos, 0);

    // The record element: every field a vehicle tab describes, and what rights and kind read.
    xmlOpen(c, "tVO");
    for (const std::string &e : describedElements("_TVO", {"0", "1", "4", "5", "6"}))
        EXPECT_TRUE(xmlGetOpt(c, e)) << e;
    for (const char *e : {"TypeVO", "StatutVD", "Frevo", "idVO", "Concession", "Site", "idOwner",
                          "DateLivraison", "NomImage"})
        EXPECT_TRUE(xmlGetOpt(c, e)) << e;
    EXPECT_EQ(xmlGet(c, "idVO"), std::to_string(seed::kDemoVO));
    EXPECT_EQ(xmlGet(c, "TypeVO"), "1");
    // The record element holds none of the lists.
    EXPECT_EQ(c.item.find("<Frevo>"), c.item.rfind("<Frevo>"));
    EXPECT_EQ(c.item.find("<ImageS>"), std::string::npos);
}

TEST_F(Documents, DemonstrationAndOrderVehiclesAreToldApartByTheirElements)
{
    for (const auto &[id, statutVD] : {std::pair {seed::kDemoVD, true}, {seed::kDemoVN, false}}) {
        Cursor c(get("AxInfoVO", {{"idTVO", std::to_string(id)}, {"UserID", "1"}}));
        xmlOpen(c, "tVO");
        EXPECT_EQ(xmlGet(c, "TypeVO"), "2");
        EXPECT_EQ(xmlGet(c, "StatutVD").empty(), !statutVD) << id;
        const std::string tab = statutVD ? "2" : "3";
        for (const std::string &e :
             describedElements(statutVD ? "_TVD" : "_TVN", {"0", tab, "4", "5", "6"}))
            EXPECT_TRUE(xmlGetOpt(c, e)) << e;
    }
}

TEST_F(Documents, NewAndMissingRecordsAnswerTheUserWithAnEmptyRecord)
{
    for (const char *id : {"-1", "0", "abc"}) {
        const std::string doc = get("AxInfoVO", {{"idTVO", id}, {"UserID", "1"}});
        EXPECT_EQ(warning(doc), "") << id;
        Cursor c(doc);
        xmlOpen(c, "User");
        EXPECT_EQ(xmlGet(c, "UserConcession"), seed::kConcession);
        xmlOpen(c, "tVO");
        EXPECT_EQ(c.item, "") << id;
    }
    EXPECT_NE(warning(get("AxInfoVO", {{"idTVO", "999999"}, {"UserID", "1"}})), "");
    EXPECT_NE(warning(get("AxInfoCL", {{"idClient", "999999"}, {"UserID", "1"}})), "");
    EXPECT_NE(warning(get("AxInfoVO", {{"idTVO", "1"}, {"UserID", "4242"}})), "");
}

TEST_F(Documents, CustomerDocumentCarriesActionsVehiclesAndTheCustomer)
{
    const std::string doc = get("AxInfoCL",
                                {{"UserID", userOf(seed::kUserClarim)},
                                 {"idClient", std::to_string(seed::kDemoCustomer)}});
    EXPECT_EQ(warning(doc), "");
    Cursor c(doc);
    xmlOpen(c, "TVC");
    for (const std::string &e : describedElements("_TCL", {"0", "7", "9"}))
        EXPECT_TRUE(xmlGetOpt(c, e)) << e;
    EXPECT_EQ(xmlGet(c, "idClient"), std::to_string(seed::kDemoCustomer));

    xmlOpen(c, "TActS");
    int actions = 0;
    while (xmlNext(c, "TAct")) {
        ++actions;
        for (const std::string &f : gridFields("gAct"))
            EXPECT_TRUE(xmlGetOpt(c, f)) << f;
    }
    EXPECT_EQ(actions, count("SELECT count(*) FROM tActions WHERE idClient = 1"));

    xmlOpen(c, "TVehS");
    std::vector<std::string> ids;
    while (xmlNext(c, "TVeh")) {
        ids.push_back(xmlGet(c, "idtVO"));
        for (const std::string &e : describedElements("_TCL", {"8"}))
            EXPECT_TRUE(xmlGetOpt(c, e)) << e;
        for (const char *e : {"Immatriculation", "InfoMarque", "InfoModele", "InfoVersion"})
            EXPECT_TRUE(xmlGetOpt(c, e)) << e;
    }
    ASSERT_EQ(ids.size(), 2u);
    // Selecting the container under the item name yields the first vehicle.
    xmlOpen(c, "TVeh");
    EXPECT_EQ(xmlGet(c, "idtVO"), ids[0]);
}

TEST_F(Documents, StructureDescribesEveryTabAndFieldOfTheLayoutInOrder)
{
    Cursor c(get("AxInfoStruct", {{"UserConcession", seed::kConcession}}));
    xmlOpen(c, "axStructS");
    std::vector<std::pair<std::string, std::string>> entries;
    std::string firstField;
    while (xmlNext(c, "axStruct"))
        entries.emplace_back(xmlGet(c, "descInfo"), xmlGet(c, "vInfo"));
    std::vector<std::pair<std::string, std::string>> expected;
    for (const TabRow &t : formTabs())
        expected.emplace_back(t.kind, t.vInfo);
    for (const LayoutRow &r : formLayout())
        if (!r.desc.empty())
            expected.emplace_back(r.desc, xmlEscapeValue(utf8ToLatin1(r.vInfo)));
    EXPECT_EQ(entries, expected);
}

TEST_F(Documents, ChoiceListsHoldEveryListTheFormDrawsFrom)
{
    const std::string doc = get(
            "AxInfoEquip",
            {{"UserConcession", seed::kConcession},
             {"WHERE_CLAUSE",
              std::string("Where (RubricItem='..') or (RubricItem='") + seed::kConcession + "')"}});
    EXPECT_EQ(warning(doc), "");
    Cursor c(doc);
    xmlOpen(c, "document");
    EXPECT_EQ(xmlGet(c, "Concession"), seed::kConcession);

    // Parameter lists by type, in order.
    std::map<std::string, std::vector<std::string>> pars;
    xmlOpen(c, "ParsS");
    while (xmlNext(c, "Pars"))
        pars[xmlGet(c, "type")].push_back(xmlDecodeValue(xmlGet(c, "text"), false));
    EXPECT_TRUE(pars.count("TypeFinancementDelai"));
    bool dotted = false;
    for (const auto &[type, entries] : pars)
        dotted = dotted || entries.front() == "..";
    EXPECT_TRUE(dotted) << "a list beginning with \"..\"";

    // Every list a described combo box or list box draws from is there, found by the name the
    // client selects it with.
    auto hasItems = [&](const std::string &item, std::initializer_list<const char *> fields) {
        Cursor l(doc);
        xmlOpen(l, item + "S");
        if (!xmlNext(l, item))
            return false;
        for (const char *f : fields)
            if (!xmlGetOpt(l, f))
                return false;
        return true;
    };
    // Prefix safety: selecting a list by its bare item name lands on that list's first item.
    std::vector<std::string> names = {"InfoCom", "InfoSite", "Marks",    "Models",
                                      "Pars",    "VNMarks",  "VNModels", "VNVersions"};
    for (const LayoutRow &r : formLayout())
        if (r.tControl == "110" && !r.desc.empty())
            names.push_back(r.fieldInfo.empty() ? r.vInfo
                                                : r.fieldInfo.substr(r.fieldInfo.find(';') + 1));
    for (const std::string &name : names) {
        if (name == "PAChoix1" || name == "PAChoix2")
            continue;
        Cursor l(doc);
        xmlOpen(l, name);
        EXPECT_EQ(l.item.rfind("<" + name + ">", 0), 0u) << name;
    }
    EXPECT_TRUE(hasItems("InfoCom", {"idCom", "cNom", "Site"}));
    EXPECT_TRUE(hasItems("InfoSite", {"Site", "Marques", "MontantFraisDossier"}));
    EXPECT_TRUE(hasItems("Marks", {"vMark"}));
    EXPECT_TRUE(hasItems("Models", {"vMark", "vModel"}));
    EXPECT_TRUE(hasItems("VNMarks", {"vnMark"}));
    EXPECT_TRUE(hasItems("VNModels", {"vnMark", "vnModel"}));
    EXPECT_TRUE(hasItems("VNVersions", {"vnModel", "vnVers"}));
    auto upper = [](std::string s) {
        for (char &ch : s)
            ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
        return s;
    };
    std::set<std::string> parTypes;
    for (const auto &[type, entries] : pars)
        parTypes.insert(upper(type));
    for (const LayoutRow &r : formLayout()) {
        if (r.desc.empty() || r.desc == "gFrev" || r.desc == "gAct")
            continue;
        const std::string field = r.vInfo.substr(0, r.vInfo.find(';'));
        const size_t semi = r.fieldInfo.find(';');
        const std::string list = semi == std::string::npos ? field : r.fieldInfo.substr(semi + 1);
        const std::string key = upper(list);
        if (r.tControl == "110") {
            if (key != "PACHOIX1" && key != "PACHOIX2") {
                EXPECT_TRUE(hasItems(list, {"Abbr", "eText"})) << r.name << " list " << list;
            }
        } else if (r.tInfo == "3") {
            EXPECT_TRUE(parTypes.count("BOOLEAN") || r.tControl == "112") << r.name;
        } else if ((r.tControl == "111" || r.tControl == "112") && key != "INFOMARQUE"
                   && key != "INFOMODELE" && key != "INFOTYPEVERSION" && key != "IDCOM") {
            EXPECT_TRUE(parTypes.count(key)) << r.name << " list " << list;
        }
    }
}

TEST_F(Documents, TextTypedByAUserComesBackUnchanged)
{
    const std::string typed = "l'été \"à\" 5 & 6 < 7 > 4 ?\r\nligne 2 %41 + 100% ?x=1";
    std::string literal;
    for (const char ch : typed) {
        literal += ch;
        if (ch == '\'')
            literal += '\'';
    }
    EXPECT_EQ(warning(update("Update tVehicles set Commentaires='" + literal
                             + "' where (idVO=" + std::to_string(seed::kDemoVO) + ")")),
              "");
    EXPECT_EQ(scalar("SELECT Commentaires FROM tVehicles WHERE idVO = 1"), typed);
    Cursor c(get("AxInfoVO", {{"idTVO", "1"}, {"UserID", "1"}}));
    xmlOpen(c, "tVO");
    EXPECT_EQ(latin1ToUtf8(xmlDecodeValue(xmlGet(c, "Commentaires"), true)), typed);
}
