// Checks of data/form-layout.csv and data/form-tabs.csv: every design control of the main
// window is there with its kind and place, nothing overlaps, every caption is readable, and
// every described field has its column in the database.

#include "LayoutGeometry.h"
#include "seed/Seed.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <sstream>

using namespace dravik;
using layout::Rect;

namespace {

const LayoutRow *find(const std::string &name)
{
    for (const auto &row : formLayout())
        if (row.name == name)
            return &row;
    return nullptr;
}

std::vector<std::string> words(const std::string &text)
{
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;)
        out.push_back(w);
    return out;
}

std::string fieldName(const LayoutRow &row)
{
    return row.vInfo.substr(0, row.vInfo.find(';'));
}

// Size of a parent: the window counts its diagnostic extension (bottom of JvXPNext + 75).
std::pair<int, int> parentSize(const std::string &parent)
{
    if (parent == "TAxDravik")
        return {825, 592 + 75};
    const LayoutRow *p = find(parent);
    return p ? std::make_pair(p->width, p->height) : std::make_pair(-1, -1);
}

TEST(FormLayout, NamesAreUniqueAndParentsExist)
{
    std::set<std::string> names;
    for (const auto &row : formLayout()) {
        if (row.widget == "none") {
            EXPECT_TRUE(row.name.empty()) << "structure-only row " << row.vInfo;
            EXPECT_EQ(row.width, 0) << row.vInfo;
            continue;
        }
        EXPECT_FALSE(row.name.empty()) << "a " << row.widget << " without name";
        EXPECT_TRUE(names.insert(row.name).second) << "duplicate " << row.name;
        EXPECT_GE(parentSize(row.parent).first, 0) << row.name << " in unknown " << row.parent;
    }
}

TEST(FormLayout, ControlsStayInsideTheirParents)
{
    for (const auto &row : formLayout()) {
        if (row.widget == "none" || row.widget == "gridcol")
            continue;
        const auto [w, h] = parentSize(row.parent);
        EXPECT_TRUE(row.left >= 0 && row.top >= 0 && row.left + row.width <= w
                    && row.top + row.height <= h)
                << row.name << " (" << row.left << "," << row.top << " " << row.width << "x"
                << row.height << ") outside " << row.parent << " " << w << "x" << h;
        if (const auto label = layout::createdLabel(row)) {
            EXPECT_TRUE(label->x >= 0 && label->y >= 0 && label->right() <= w)
                    << "label of " << row.name << " outside " << row.parent;
        }
    }
}

// Every design control the main window is made of, by kind.
TEST(FormLayout, EveryDesignControlIsThereWithItsKind)
{
    const std::map<std::string, std::string> controls = {
            {"date",
             "cDateEntree cDateOrdre cMEC cDateValidationGarantie cDateDisponibilite "
             "cDateLivraison "
             "cDatePresFinancement cDatePaiement cVDMEC cVNDateOrdre cVNDateCdeVW "
             "cVNDateAnnulation "
             "cVNDateDisponibilite cVNDateLivraison cVNDatePresFinancement cVNDatePaiement "
             "cVNDateFabrication "
             "cVNDateFacture cVNDateDebutGarantie cVNDateUpdateCde cVNMEC cVNDateDeclareLivre "
             "cVNDateLivrMaxi "
             "cVNDateAchat cVNDateEcheance cVNDateEchTresorerie cVNDateEchReglement "
             "cVNDateRecFinancement "
             "cVNDateRecPaiement aCliDateNaissance vDateOrdre vMEC vDateLastSAV vDateNextSAV "
             "vDateFinGarantie "
             "vDateFinFinancement cPACliDateProchainAchat cPAPADateSpirit"},
            {"combolist",
             "cOrigine cOrigineVendeur cInfoMarque cInfoModele cCarrosserie cEnergie "
             "cFlagPrepaEsthetique "
             "cFlagPrepaCarrosserie cFlagPrepaMecanique cDestination cModeTVA cDureeGarantie "
             "cTypeGarantie "
             "cLieuStockage cTypeFinancement cBoiteVitesse cNbPortes cSite cVendeur cFinanceur "
             "cFlagEligible "
             "cFlagDepotVente cVDInfoMarque cVDInfoModele cVDInfoTypeVersion cVDCarrosserie "
             "cVDBoiteVitesse "
             "cVDNbPortes cVDEnergie cVDSite cVDFlagNonDiffuse cVNInfoMarque cVNInfoModele "
             "cVNInfoTypeVersion "
             "cVNSite cVNVendeur cVNTypeFinancement cVNReprMarque cVNFinanceur cVNCarrosserie "
             "cVNEnergie "
             "cVNNbPortes cVNBoiteVitesse cVNFlagNonDiffuse cVNFlagEligible "
             "cVNTypeFinancementDelai "
             "cVNDestination cVNSituationAchat aCliCivilite aCliOrigine aCliSituationFamille "
             "aCliPays aSite "
             "aidCom vInfoMarque vInfoModele vTypeFinancement vTypeVO vAbbrFinancement "
             "vSatisfVehicle "
             "vSatisfSAV cPAPAMarque1 cPAPAModele1 cPAPAMarque2 cPAPAModele2 ncbTypeVO"},
            {"combo",
             "cAcheteur cInfoCouleur cVDInfoCouleur cVDInfoCouleurInt cVDStatutVD cVNAcheteur "
             "cVNStatutVN "
             "cVNInfoCouleurInt cVNInfoCouleur cVNStatutVD vSite ncbSite"},
            {"decimal",
             "cPrixVente cPrixReprise cPrixGarantie cTPVO cVFinancement cMontantReprise "
             "cMtComIntermediaire "
             "cMtComVendeur cComFinPrevue cComFinRecue cVDPrixVente cVDPrixCatalogue "
             "cVNVFinancement "
             "cVNComFinPrevue cVNComFinRecue cVNPrixCatalogue cVNReprPrix cVNPrixVente "
             "cVNMontantAchat "
             "cVNMontantAcompte cVNSolde vMensualiteFinancement vKmLastSAV vKmNextSAV cFrevo "
             "cFrevoFixe "
             "cFrevoInterne cFrevoExterne cFrevoPrevision cFrevoTotFDM cFrevoFixeFDM cFrevoIntFDM "
             "cFrevoExtFDM "
             "cFrevoPrevFDM"},
            {"number",
             "cNVO cCV cKMS cNbPlaces cVDNVO cVDCV cVDKMS cVDNbPlaces cVNNVO cVNReprNVO cVNCV "
             "cVNNbPlaces "
             "aCliNbEnfants vKMS"},
            {"memo",
             "cCommentaires cInfoVersion cVDInfoVersion cVDCommentaires cVDUtilisateur "
             "cVNInfoVersion "
             "cVNReprModele cVNCommentaires cVNCFMemo cVNUtilisateur aCliNom aCliPrenom "
             "aCliAdresse1 "
             "aCliAdresse2 aCliEmail aCliTelDom aCliMobile aCliTelBur aCliProfession aCliEmployeur "
             "aCliObservations vInfoVersion vInfoTypeVersion vLieuEntretien1 vLieuEntretien2 Memo"},
            {"edit",
             "cCP cIntermediaire cCommentaireReprise cChassis cImmatriculation cMNette cMBrute "
             "ccTVA cTotFrevo "
             "cNomImage cVDImmatriculation cVDChassis cVDCodeRemise cVDNomImage cVNCP "
             "cVNImmatriculation "
             "cVNChassis cVNCodeRemise aCliCP aCliVille vImmatriculation cTxtPathImage xcInfoNVO "
             "xcInfoTitre "
             "xcIdentity xcInfoField1 xcInfoField2 xcInfoField3 DblNom DblIdent DblMobile "
             "DblTelDom ncbSearch"},
            {"listbox",
             "cVDInfoOptions cVNInfoOptions cInfoEquiInterieur cInfoEquiExterieur "
             "cInfoEquiSecurite "
             "cInfoComplement cPAPATypeVO cPAPASegment cPAPACarrosserie cPAPAEnergie cPAPAChoix1 "
             "cPAPAChoix2"},
            {"button",
             "czFeuilleMarge czVDOptions czVNOptions czCmdEquiSec czCmdEquiExt czCmdEquiInt "
             "czCmdEquiInf"},
            {"picbutton",
             "JvXPBtnSweep JvXPBtnSuppr JvXPBtnPrint JvXPBtnSearch JvXPBtnNewVO JvXPBtnSave "
             "JvXPBtnActualize "
             "JvXPPrev JvXPNext JvXPBtnNewAction JvXPBtnNewVehicle JvXPBtnSMS czCmdAssociateImage "
             "czCmdAssociateImageBlur czCmdRefreshListImage czCmdSelPathListImage "
             "czCmdDefaultImageVO "
             "czCmdDeleteImageVO TSNVO TSImmat TSClient TSTelephone TSMobile JvXPBtnSearchPlus"},
            {"label",
             "cLbResa1 cLbResa2 cLbResa3 cLbResa4 cVDLbResa1 cVDLbResa2 cVDLbResa3 cVDLbResa4 "
             "cVNLbResa1 "
             "cVNLbResa2 cVNLbResa3 cVNLbResa4 LbDateFabrication LbPanelCompta cFrevoInfo "
             "zLbKmLastSAV "
             "zLbKmNextSAV zLbPAAutresModeles LbInfoOptions LbDebugInfo0 LbDebugInfo1 LbDebugInfo2 "
             "LbDebugInfo3 LbHttpRoot LbBaseHRef LbVersion LbIdTVO LbIDCustomer LbInfoTimer "
             "LbSplash "
             "LbConcession TSLbNVO TSLbImmat TSLbClient TSLbTelephone TSLbMobile ncbLbSite "
             "ncbLbTypeVO "
             "LbSearch ncbLabel ncbInfoSearch"},
            {"grid", "ngFrevo ngAction ngVehicles ngSearch"},
            {"listview", "cListImageSource cListImageVO"},
            {"image", "ImageSelection ImageNoPhoto VOImageMaxi VOImageMini ImageSplash"},
            {"panel", "PanelWarning PanelSplash Panel1 PanelCompta"},
            {"shape", "Shape1"},
            {"tabs", "Tabs"},
            {"page", "Sheet01 Sheet02 Sheet03 Sheet04 Sheet05 Sheet06 Sheet07 Sheet08 Sheet09"},
            {"gridcol",
             "IconColumn idFrevo DateFrevo LibelleFrevo NComptable NomFournisseur NFacture "
             "TypeFrevo MontantHT "
             "NxImage idAction DateAction idCom TypeAction SujetAction CommentaireAction "
             "DateRelance "
             "idComRelance SujetRelance PrioriteRelance NxBtn7 NxBtn365 cvNxImage cvidVehicle "
             "cvInfoImmat "
             "cvInfoVehicle cvInfoVersion ngsIndex ngsImage ngsInfo1 ngsInfo2 ngsInfo3 ngsInfo4 "
             "ngsInfo5"},
    };
    for (const auto &[widget, names] : controls)
        for (const auto &name : words(names)) {
            const LayoutRow *row = find(name);
            ASSERT_NE(row, nullptr) << name << " is missing";
            EXPECT_EQ(row->widget, widget) << name;
        }
    // The three margin captions of the used-vehicle page.
    for (const char *caption : {"Marge brute:", "Totel Frevo:", "Marge nette:"}) {
        bool found = false;
        for (const auto &row : formLayout())
            found |= row.parent == "Sheet01" && row.widget == "label" && row.caption == caption;
        EXPECT_TRUE(found) << caption;
    }
}

TEST(FormLayout, FixedRegionsKeepTheirPlace)
{
    struct Place
    {
        const char *name;
        int left, top, width, height; // -1: free
    };
    for (const Place &p : std::vector<Place> {
                 {"xcInfoNVO", 8, 2, 73, 31},        {"xcInfoTitre", 80, 2, 289, 31},
                 {"xcIdentity", 8, 2, 361, 31},      {"xcInfoField1", 368, 2, 169, 31},
                 {"xcInfoField2", 536, 2, 145, 31},  {"xcInfoField3", 680, 2, 145, 31},
                 {"PanelWarning", 0, 0, 825, 81},    {"JvXPBtnSweep", 448, 34, -1, 45},
                 {"JvXPBtnSuppr", 496, 34, -1, 45},  {"JvXPBtnPrint", 544, 34, -1, 45},
                 {"JvXPBtnSearch", 592, 34, 60, 45}, {"JvXPBtnNewVO", 656, 34, 68, 45},
                 {"JvXPBtnSave", 728, 34, -1, 45},   {"JvXPBtnActualize", 776, 34, -1, 45},
                 {"Tabs", 0, 56, 825, 513},          {"JvXPPrev", 688, 570, -1, -1},
                 {"JvXPNext", 752, 570, -1, -1},     {"PanelSplash", 16, 16, 793, 545},
                 {"Panel1", -1, -1, 681, 521},       {"LbInfoOptions", 9, 35, -1, -1},
                 {"PanelCompta", -1, -1, -1, 216}}) {
        const LayoutRow *row = find(p.name);
        ASSERT_NE(row, nullptr) << p.name;
        for (const auto &[want, have] :
             {std::pair {p.left, row->left}, std::pair {p.top, row->top},
              std::pair {p.width, row->width}, std::pair {p.height, row->height}})
            if (want >= 0) {
                EXPECT_EQ(have, want) << p.name;
            }
    }
    for (const auto &[name, visible] :
         std::vector<std::pair<const char *, bool>> {{"PanelWarning", false},
                                                     {"xcIdentity", false},
                                                     {"JvXPBtnSweep", false},
                                                     {"Panel1", false},
                                                     {"LbConcession", false},
                                                     {"Shape1", false},
                                                     {"LbDebugInfo1", false},
                                                     {"LbInfoTimer", false},
                                                     {"LbBaseHRef", false},
                                                     {"PanelSplash", true},
                                                     {"JvXPBtnSave", true}})
        EXPECT_EQ(find(name)->visible, visible) << name;
    EXPECT_EQ(find("JvXPBtnNewVO")->caption, "VO");
    EXPECT_EQ(find("JvXPPrev")->caption, "<< Enrg.Préc.");
    EXPECT_EQ(find("JvXPNext")->caption, ">> Enrg.Suiv.");
    EXPECT_EQ(find("LbConcession")->caption, "NomConcession");
    EXPECT_EQ(find("LbPanelCompta")->caption, "Suivi Comptabilité");
    EXPECT_EQ(find("cFrevoInfo")->caption, "Frevo FDM et Totaux");
    EXPECT_EQ(find("JvXPBtnActualize")->hint, "rechargement des informations du véhicule");
    EXPECT_EQ(find("cDateEntree")->handlers, "Change=cDateEntreeChange;Exit=cDateEntreeExit");
    EXPECT_EQ(find("aCliNom")->handlers,
              "Change=aCliNomChange;DblClick=aCliNomDblClick;KeyPress=aCliNomKeyPress");
}

// Handlers bound at design time: the window connects them by these names.
TEST(FormLayout, DesignHandlersAreBound)
{
    struct Binding
    {
        const char *event, *handler, *controls;
    };
    const std::vector<Binding> bindings = {
            {"Change", "cDateEntreeChange", "cDateEntree cDateOrdre"},
            {"Exit", "cDateEntreeExit", "cDateEntree"},
            {"Exit", "cDateOrdreExit", "cDateOrdre"},
            {"Change", "cTPVOChange",
             "cTPVO cVFinancement cMontantReprise cMtComIntermediaire cMtComVendeur cComFinPrevue "
             "cComFinRecue "
             "cVDPrixVente cVDPrixCatalogue cVNComFinPrevue cVNComFinRecue cVNPrixCatalogue"},
            {"Change", "cCVKMSChange", "cCV cKMS cVDCV cVDKMS cVNCV aCliNbEnfants vKMS"},
            {"Change", "cNVOChange", "cNVO cVDNVO cVNNVO"},
            {"Change", "cSiteChange", "cSite cVDSite cVNSite"},
            {"Change", "cInfoCouleurChange", "cInfoCouleur cVDInfoCouleur cVNInfoCouleur"},
            {"Change", "cModeTVAChange", "cModeTVA vTypeVO"},
            {"Change", "cInfoVesionChange", "cInfoVersion vInfoTypeVersion"},
            {"Change", "cVNMontantAchatChange",
             "cVNReprPrix cVNPrixVente cVNMontantAchat cVNMontantAcompte"},
            {"Change", "cVNDateEcheanceChange",
             "cVNDateEcheance cVNDateRecFinancement cVNDateRecPaiement"},
            {"KeyDown", "CBoxKeyDown", "cVDSite cVDInfoMarque cVDInfoModele cVDCarrosserie"},
            {"Click", "TSVClick", "TSNVO TSImmat TSClient TSTelephone TSMobile"},
    };
    // Controls whose handlers are named after them: control + event.
    const std::map<std::string, std::string> ownHandlers = {
            {"Exit",
             "cMEC cDateValidationGarantie cDateDisponibilite cDateLivraison cDatePresFinancement "
             "cDatePaiement "
             "cVDMEC cVNDateOrdre cVNDateAnnulation cVNDateDisponibilite cVNDateLivraison "
             "cVNDatePresFinancement "
             "cVNDatePaiement cVNMEC cVNDateLivrMaxi aCliDateNaissance vDateOrdre vMEC "
             "vDateLastSAV vDateNextSAV "
             "vDateFinGarantie vDateFinFinancement cVDInfoOptions cVNInfoOptions"},
            {"Change",
             "cInfoMarque cInfoModele cDestination cPrixVente cPrixReprise cPrixGarantie "
             "cVDInfoMarque "
             "cVDInfoModele cVDInfoTypeVersion cVNDateOrdre cVNDateCdeVW cVNDateDisponibilite "
             "cVNDateLivraison "
             "cVNDateFabrication cVNDateFacture cVNDateDebutGarantie cVNMEC cVNDateDeclareLivre "
             "cVNInfoMarque "
             "cVNInfoModele cVNInfoTypeVersion cVNTypeFinancement cVNTypeFinancementDelai "
             "cVNDestination "
             "cVNStatutVN cVNInfoVersion cVNDateAchat cVNSituationAchat aCliCivilite aSite aCliNom "
             "aCliPrenom "
             "aCliEmail aCliTelDom aCliMobile vInfoMarque vInfoModele cPAPAMarque1 cPAPAMarque2 "
             "ncbSite "
             "ncbTypeVO ncbSearch ngFrevo ngAction"},
            {"Enter", "cVDInfoOptions cVNInfoOptions"},
            {"KeyPress",
             "cImmatriculation cVDImmatriculation cVNImmatriculation aCliNom aCliPrenom "
             "aCliAdresse1 aCliAdresse2 "
             "aCliTelDom aCliMobile aCliTelBur aCliVille vInfoVersion vInfoTypeVersion "
             "vImmatriculation ngAction"},
            {"DblClick", "aCliNom aCliPrenom aCliTelDom aCliMobile"},
            {"Click",
             "czFeuilleMarge czVDOptions czVNOptions LbPanelCompta DblNom DblIdent DblTelDom "
             "DblMobile JvXPBtnSMS "
             "JvXPBtnNewAction JvXPBtnNewVehicle JvXPBtnSweep JvXPBtnSuppr JvXPBtnPrint "
             "JvXPBtnSearch JvXPBtnNewVO "
             "JvXPBtnSave JvXPBtnActualize JvXPPrev JvXPNext TSLbNVO TSLbImmat TSLbClient "
             "TSLbTelephone TSLbMobile "
             "LbSearch JvXPBtnSearchPlus czCmdSelPathListImage czCmdRefreshListImage "
             "czCmdAssociateImage "
             "czCmdAssociateImageBlur czCmdDefaultImageVO czCmdDeleteImageVO"},
            {"CellClick", "ngFrevo ngAction ngVehicles ngSearch"},
            {"SelectItem", "cListImageSource cListImageVO"},
            {"Changing", "Tabs"},
    };
    const auto bound = [](const std::string &name, const std::string &pair) {
        const LayoutRow *row = find(name);
        return row && (";" + row->handlers + ";").find(";" + pair + ";") != std::string::npos;
    };
    for (const auto &b : bindings) {
        for (const auto &name : words(b.controls)) {
            EXPECT_TRUE(bound(name, std::string(b.event) + "=" + b.handler))
                    << name << " " << b.handler;
        }
    }
    for (const auto &[event, names] : ownHandlers) {
        for (const auto &name : words(names)) {
            EXPECT_TRUE(bound(name, event + "=" + name + event)) << name << " " << event;
        }
    }
}

TEST(FormLayout, NothingOverlapsOnPagesAndPanels)
{
    // Window-level regions overlay each other by design (warning band, splash, search panel);
    // inside a page or panel every visible control and created label has its own place. A
    // described field counts as visible: binding shows it.
    std::map<std::string, std::vector<std::pair<std::string, Rect>>> byParent;
    for (const auto &row : formLayout()) {
        if (row.widget == "none" || row.widget == "gridcol" || row.widget == "shape"
            || row.parent == "TAxDravik" || row.parent == "Tabs")
            continue;
        if (row.visible || !row.desc.empty())
            byParent[row.parent].emplace_back(row.name, layout::rectOf(row));
        if (const auto label = layout::createdLabel(row))
            byParent[row.parent].emplace_back("label of " + row.name, *label);
    }
    EXPECT_GE(byParent.size(), 11u);
    for (const auto &[parent, items] : byParent)
        for (size_t i = 0; i < items.size(); ++i)
            for (size_t j = i + 1; j < items.size(); ++j) {
                EXPECT_FALSE(layout::overlaps(items[i].second, items[j].second))
                        << parent << ": " << items[i].first << " / " << items[j].first;
            }
}

TEST(FormLayout, CaptionsAreReadable)
{
    for (const auto &row : formLayout()) {
        if (row.widget == "label" && !row.caption.empty()) {
            EXPECT_LE(layout::textWidth(row.caption), row.width)
                    << row.name << " \"" << row.caption << "\"";
        }
        const auto label = layout::createdLabel(row);
        if (label && row.tControl != "110" && row.tControl != "120") {
            EXPECT_LE(label->right() + 2, row.left)
                    << "caption \"" << row.txtInfo << "\" runs into " << row.name;
        }
    }
}

TEST(FormLayout, EstimatesCaptionWidths)
{
    EXPECT_EQ(layout::textWidth(""), 0);
    EXPECT_EQ(layout::textWidth("il"), 6);
    EXPECT_EQ(layout::textWidth("Mw"), 17);
    EXPECT_EQ(layout::textWidth("Été"), 7 + 6 + 6); // accented letters count as one character
    EXPECT_EQ(layout::textWidth("N° VO"), 7 + 6 + 3 + 7 + 7);
}

// Tabs each record kind shows, and the table its fields live in.
struct TabInfo
{
    std::string key, table, prefix, sheet;
};

std::map<std::string, TabInfo> tabsByKey()
{
    std::map<std::string, std::string> recordTable;
    for (const auto &t : formTabs())
        if (t.idNum == "0")
            recordTable[t.kind] = t.tag;
    std::map<std::string, TabInfo> out;
    for (const auto &t : formTabs()) {
        const int n = std::stoi(t.idNum);
        // Tab 8 writes to the customer vehicles; the others to the record's table.
        const std::string table = n == 8 ? t.tag : recordTable[t.kind];
        out[t.vInfo] = {t.vInfo, table, t.defval, n ? "Sheet0" + t.idNum : ""};
    }
    return out;
}

TEST(FormTabs, KindsShowTheirTabs)
{
    std::map<std::string, std::set<int>> tabs;
    std::map<int, std::set<std::string>> keysOfTab;
    for (const auto &t : formTabs()) {
        tabs[t.kind].insert(std::stoi(t.idNum));
        if (t.idNum != "0")
            keysOfTab[std::stoi(t.idNum)].insert(t.vInfo);
        for (const char *kind : {"_TVO", "_TVD", "_TVN", "_TCL"}) {
            EXPECT_NE(t.vInfo, kind);
        }
    }
    EXPECT_EQ(tabs["_TVO"], (std::set<int> {0, 1, 4, 5, 6}));
    EXPECT_EQ(tabs["_TVD"], (std::set<int> {0, 2, 4, 5, 6}));
    EXPECT_EQ(tabs["_TVN"], (std::set<int> {0, 3, 4, 6}));
    EXPECT_EQ(tabs["_TCL"], (std::set<int> {0, 7, 8, 9}));
    for (const auto &[n, keys] : keysOfTab) {
        EXPECT_EQ(keys.size(), 1u) << "tab " << n << " must keep one field list in every kind";
    }
}

TEST(FormLayout, DescribedFieldsHaveTheirColumns)
{
    sqlite3 *db = nullptr;
    ASSERT_EQ(sqlite3_open(":memory:", &db), SQLITE_OK);
    seed::createSchema(db);
    const auto columns = [&](const std::string &table) {
        std::set<std::string> out;
        sqlite3_stmt *stmt = nullptr;
        sqlite3_prepare_v2(db, "SELECT lower(name) FROM pragma_table_info(?)", -1, &stmt, nullptr);
        sqlite3_bind_text(stmt, 1, table.c_str(), -1, SQLITE_TRANSIENT);
        while (sqlite3_step(stmt) == SQLITE_ROW)
            out.insert(reinterpret_cast<const char *>(sqlite3_column_text(stmt, 0)));
        sqlite3_finalize(stmt);
        return out;
    };
    auto tables = tabsByKey();
    tables["gFrev"] = {"gFrev", "tVO - Frevo", "", ""};
    tables["gAct"] = {"gAct", "tActions", "", ""};
    int checked = 0;
    for (const auto &row : formLayout()) {
        if (row.desc.empty())
            continue;
        ASSERT_TRUE(tables.count(row.desc)) << row.name << ": unknown tab key " << row.desc;
        const auto semicolon = row.vInfo.find(';');
        // The value comes from the source element when there is one.
        std::string element
                = semicolon == std::string::npos ? row.vInfo : row.vInfo.substr(semicolon + 1);
        for (auto &c : element)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        const std::string table = tables[row.desc].table;
        EXPECT_TRUE(columns(table).count(element)) << row.vInfo << " has no column in " << table;
        ++checked;
    }
    EXPECT_GT(checked, 200);
    sqlite3_close(db);
}

TEST(FormLayout, DescriptorsAreWellFormed)
{
    const auto tabs = tabsByKey();
    std::map<std::string, int> seen; // descriptors per desc
    std::map<std::string, bool> bodyOf; // a field has come after the keys
    std::map<std::string, std::set<std::string>> names;
    // Design widget -> accepted (tInfo, tControl).
    const std::map<std::string, std::set<std::pair<std::string, std::string>>> kinds
            = {{"date", {{"1", "109"}}},
               {"number", {{"4", "109"}}},
               {"decimal", {{"5", "109"}}},
               {"memo", {{"2", "109"}}},
               {"edit", {{"2", "109"}, {"5", "109"}}},
               {"combolist", {{"2", "111"}, {"4", "111"}, {"3", "111"}, {"4", "112"}}},
               {"combo", {{"2", "111"}}},
               {"listbox", {{"2", "110"}}},
               {"none", {{"4", "109"}}}};
    for (const auto &row : formLayout()) {
        if (row.desc.empty() || row.widget == "gridcol") {
            if (row.widget == "gridcol" && !row.desc.empty())
                ++seen[row.desc];
            continue;
        }
        ++seen[row.desc];
        const bool key = row.widget == "none";
        EXPECT_FALSE(key && bodyOf[row.desc])
                << "key field " << row.vInfo << " after the fields of " << row.desc;
        bodyOf[row.desc] |= !key;
        EXPECT_TRUE(names[row.desc].insert(fieldName(row)).second)
                << "twice " << row.vInfo << " in " << row.desc;
        ASSERT_TRUE(kinds.count(row.widget)) << row.name << " " << row.widget;
        EXPECT_TRUE(kinds.at(row.widget).count({row.tInfo, row.tControl}))
                << row.name << " " << row.widget << " as " << row.tInfo << "/" << row.tControl;
        if (key)
            continue;
        const TabInfo &tab = tabs.at(row.desc);
        EXPECT_EQ(row.name, tab.prefix + fieldName(row)) << "control name of " << row.vInfo;
        const bool panel = std::stoi(row.idNum) >= 1000;
        EXPECT_EQ(row.parent, panel ? "PanelCompta" : tab.sheet) << row.name;
        EXPECT_TRUE(!panel || tab.key == tabs.at("TVN3").key) << row.name;
        EXPECT_EQ(row.length, std::to_string(row.maxlen)) << row.name;
    }
    EXPECT_EQ(seen["gFrev"], 8);
    EXPECT_EQ(seen["gAct"], 10);
    for (const auto &[key, tab] : tabs)
        if (!tab.sheet.empty()) {
            EXPECT_GT(seen[key], 0) << "no field entry for " << key;
        }
}

// The demo structure uses every rule the client applies to a field.
TEST(FormLayout, StructureExercisesEveryRule)
{
    std::set<std::string> enabled, groups, fieldInfoTables;
    int readOnly = 0, sourceElement = 0, mandatory = 0, now = 0, pairedList = 0;
    for (const auto &row : formLayout()) {
        if (row.desc.empty())
            continue;
        enabled.insert(row.enabled);
        const std::string &tag = row.tag;
        for (size_t at = 0; at <= tag.size();) {
            const auto end = tag.find(';', at);
            groups.insert(tag.substr(at, end == std::string::npos ? std::string::npos : end - at));
            at = end == std::string::npos ? tag.size() + 1 : end + 1;
        }
        readOnly += row.tag.find("READONLY") != std::string::npos;
        sourceElement += row.vInfo.find(';') != std::string::npos;
        mandatory += row.notNull == "TRUE";
        now += row.defval == "now";
        pairedList += row.fieldInfo.find(';') != std::string::npos;
        // A maintained list: a text combo whose fieldInfo is a List... table without a list name.
        if (row.tControl == "111" && row.tInfo == "2" && row.fieldInfo.rfind("List", 0) == 0
            && row.fieldInfo.find(';') == std::string::npos)
            fieldInfoTables.insert(row.fieldInfo);
    }
    for (const char *code : {"1", "2", "3"}) {
        EXPECT_TRUE(enabled.count(code)) << "enabled " << code;
    }
    for (const char *group :
         {"ADMINS", "SUPERADMINS", "COMPTA", "CLARIM", "SVO", "RVO", "VENDEURS"}) {
        EXPECT_TRUE(groups.count(group)) << group;
    }
    EXPECT_EQ(fieldInfoTables,
              (std::set<std::string> {"ListModels", "ListRubrics", "ListVersions"}));
    EXPECT_GT(readOnly, 0);
    EXPECT_GT(sourceElement, 0);
    EXPECT_GT(mandatory, 0);
    EXPECT_GT(now, 0);
    EXPECT_GT(pairedList, 0);
}

} // namespace
