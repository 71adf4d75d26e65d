#include "server/Reports.h"

#include "common/Latin1.h"
#include "server/Database.h"
#include "server/Messages.h"
#include "server/QueryString.h"
#include "server/SqlValues.h"
#include "server/XmlDoc.h"

#include <hpdf.h>

#include <charconv>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <vector>

namespace dravik::server {

namespace {

// One row of a record: column name -> value as the documents write it.
using Row = std::map<std::string, std::string>;

std::vector<Row> rows(Connection &c, const std::string &sql, long long id)
{
    Statement &stmt = c.cached(sql);
    stmt.bind(1, id);
    std::vector<Row> out;
    const RowWriter &w = stmt.writer();
    while (stmt.next()) {
        Row r;
        for (int i = 0; i < w.columns(); ++i)
            r[w.name(i)] = w.text(i);
        out.push_back(std::move(r));
    }
    stmt.reset();
    return out;
}

std::string get(const Row &r, const std::string &name)
{
    const auto it = r.find(name);
    return it == r.end() ? std::string() : it->second;
}

// "15 000,00 EUR" for a stored amount; empty stays empty.
std::string amount(const std::string &value)
{
    if (value.empty())
        return {};
    char *end = nullptr;
    const double v = std::strtod(value.c_str(), &end);
    if (end == value.c_str())
        return value;
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.2f", v < 0 ? -v : v);
    std::string digits = buf;
    const size_t dot = digits.find('.');
    std::string whole = digits.substr(0, dot);
    for (int i = static_cast<int>(whole.size()) - 3; i > 0; i -= 3)
        whole.insert(static_cast<size_t>(i), " ");
    return (v < 0 ? "-" : "") + whole + "," + digits.substr(dot + 1) + " EUR";
}

std::string yesNo(const std::string &value)
{
    return value == "True" ? "Oui" : value == "False" ? "Non" : value;
}

enum class Kind { Text, Amount, Flag };

struct Field
{
    const char *label;
    const char *column;
    Kind kind = Kind::Text;
};

// A4 sheet written top to bottom, with a new page when the bottom is reached.
class Sheet
{
public:
    Sheet()
    {
        m_pdf = HPDF_New(&Sheet::onError, this);
        if (!m_pdf)
            throw std::runtime_error("HPDF_New");
        HPDF_SetCompressionMode(m_pdf, HPDF_COMP_ALL);
        m_font = HPDF_GetFont(m_pdf, "Helvetica", "WinAnsiEncoding");
        m_bold = HPDF_GetFont(m_pdf, "Helvetica-Bold", "WinAnsiEncoding");
        newPage();
    }
    ~Sheet() { HPDF_Free(m_pdf); }
    Sheet(const Sheet &) = delete;
    Sheet &operator=(const Sheet &) = delete;

    void title(const std::string &text, const std::string &subtitle)
    {
        line(m_bold, 16, kLeft, text);
        m_y -= 6;
        line(m_font, 10, kLeft, subtitle);
        m_y -= 10;
    }
    void section(const std::string &text)
    {
        m_y -= 8;
        line(m_bold, 12, kLeft, text);
        m_y -= 2;
    }
    void field(const std::string &label, const std::string &value)
    {
        if (value.empty())
            return;
        ensure(14);
        text(m_bold, 10, kLeft, label);
        wrapped(m_font, 10, kLeft + 170, value);
    }
    void fields(const Row &r, std::initializer_list<Field> list)
    {
        for (const Field &f : list) {
            const std::string v = get(r, f.column);
            field(f.label,
                  f.kind == Kind::Amount         ? amount(v)
                          : f.kind == Kind::Flag ? yesNo(v)
                                                 : v);
        }
    }
    // A table row of cells at the given left positions.
    void cells(const std::vector<std::pair<float, std::string>> &cells, bool bold = false)
    {
        ensure(14);
        for (const auto &[x, value] : cells)
            text(bold ? m_bold : m_font, 9, kLeft + x, value);
        m_y -= 13;
    }

    std::string save()
    {
        HPDF_SaveToStream(m_pdf);
        std::string out(HPDF_GetStreamSize(m_pdf), '\0');
        HPDF_UINT32 size = static_cast<HPDF_UINT32>(out.size());
        HPDF_ReadFromStream(m_pdf, reinterpret_cast<HPDF_BYTE *>(out.data()), &size);
        out.resize(size);
        if (m_error)
            throw std::runtime_error("libharu error " + std::to_string(m_error));
        return out;
    }

private:
    static constexpr float kLeft = 50, kTop = 800, kBottom = 50, kRight = 545;
    HPDF_Doc m_pdf = nullptr;
    HPDF_Page m_page = nullptr;
    HPDF_Font m_font = nullptr, m_bold = nullptr;
    float m_y = kTop;
    HPDF_STATUS m_error = 0;

    static void onError(HPDF_STATUS error, HPDF_STATUS, void *self)
    {
        static_cast<Sheet *>(self)->m_error = error;
    }
    void newPage()
    {
        m_page = HPDF_AddPage(m_pdf);
        HPDF_Page_SetSize(m_page, HPDF_PAGE_SIZE_A4, HPDF_PAGE_PORTRAIT);
        m_y = kTop;
    }
    void ensure(float height)
    {
        if (m_y - height < kBottom)
            newPage();
    }
    void text(HPDF_Font font, float size, float x, const std::string &utf8)
    {
        const std::string latin1 = utf8ToLatin1(utf8);
        HPDF_Page_BeginText(m_page);
        HPDF_Page_SetFontAndSize(m_page, font, size);
        HPDF_Page_TextOut(m_page, x, m_y, latin1.c_str());
        HPDF_Page_EndText(m_page);
    }
    void line(HPDF_Font font, float size, float x, const std::string &utf8)
    {
        ensure(size + 4);
        text(font, size, x, utf8);
        m_y -= size + 4;
    }
    // Text broken into lines that fit between x and the right margin.
    void wrapped(HPDF_Font font, float size, float x, const std::string &utf8)
    {
        HPDF_Page_SetFontAndSize(m_page, font, size);
        std::string current;
        auto flush = [&] {
            ensure(14);
            text(font, size, x, current);
            m_y -= 13;
            current.clear();
        };
        std::string normalized;
        for (const char c : utf8)
            normalized += (c == '\r' || c == '\n' || c == '\t') ? ' ' : c;
        size_t pos = 0;
        while (pos < normalized.size()) {
            size_t next = normalized.find(' ', pos);
            if (next == std::string::npos)
                next = normalized.size();
            const std::string word = normalized.substr(pos, next - pos);
            const std::string candidate = current.empty() ? word : current + " " + word;
            const std::string latin1 = utf8ToLatin1(candidate);
            if (!current.empty() && HPDF_Page_TextWidth(m_page, latin1.c_str()) > kRight - x)
                flush(), current = word;
            else
                current = candidate;
            pos = next + 1;
        }
        if (!current.empty() || normalized.empty())
            flush();
    }
};

// "Raison sociale - site X" of the record's company.
std::string heading(Connection &c, const Row &record)
{
    const std::string concession = get(record, "Concession");
    const std::string site = get(record, "Site");
    std::string name = concession;
    Statement &stmt = c.cached("SELECT coalesce(RaisonSociale, Concession) FROM tConcessions "
                               "WHERE Concession = ?");
    stmt.bind(1, concession);
    if (stmt.next())
        name = std::string(stmt.text(0));
    stmt.reset();
    return site.empty() ? name : name + " - site " + site;
}

void vehicleDescription(Sheet &sheet, const Row &v)
{
    sheet.section("Véhicule");
    sheet.fields(v,
                 {{"Marque", "InfoMarque"},
                  {"Modèle", "InfoModele"},
                  {"Type / version", "InfoTypeVersion"},
                  {"Version", "InfoVersion"},
                  {"Couleur", "InfoCouleur"},
                  {"Couleur intérieure", "InfoCouleurInt"},
                  {"Carrosserie", "Carrosserie"},
                  {"Énergie", "Energie"},
                  {"Boîte de vitesses", "BoiteVitesse"},
                  {"Portes", "NbPortes"},
                  {"Places", "NbPlaces"},
                  {"Puissance fiscale (CV)", "CV"},
                  {"Kilométrage", "KMS"},
                  {"Immatriculation", "Immatriculation"},
                  {"N° de châssis", "Chassis"},
                  {"1ère mise en circulation", "MEC"}});
}

void salesSheet(Sheet &sheet, const Row &v, const std::string &kind, bool second)
{
    vehicleDescription(sheet, v);
    sheet.section("Vente");
    sheet.fields(v, {{"Prix de vente TTC", "PrixVente", Kind::Amount}});
    if (kind != "VO" || second) {
        sheet.fields(v, {{"Prix catalogue TTC", "PrixCatalogue", Kind::Amount}});
    }
    if (second) {
        // The second variant of a demonstration vehicle shows the discount on the list price.
        const double catalogue = std::atof(get(v, "PrixCatalogue").c_str());
        const double price = std::atof(get(v, "PrixVente").c_str());
        if (catalogue > 0 && price > 0)
            sheet.field("Remise", amount(formatNumber(catalogue - price)));
        sheet.fields(v, {{"Utilisateur précédent", "Utilisateur"}, {"Code remise", "CodeRemise"}});
    }
    sheet.fields(v,
                 {{"Vendeur", "Vendeur"},
                  {"Acheteur", "Acheteur"},
                  {"Date de commande", "DateOrdre"},
                  {"Date de disponibilité", "DateDisponibilite"},
                  {"Date de livraison", "DateLivraison"},
                  {"Destination", "Destination"}});
    sheet.section("Garantie et financement");
    sheet.fields(v,
                 {{"Type de garantie", "TypeGarantie"},
                  {"Durée de garantie (mois)", "DureeGarantie"},
                  {"Prix de la garantie", "PrixGarantie", Kind::Amount},
                  {"Type de financement", "TypeFinancement"},
                  {"Organisme financeur", "Financeur"},
                  {"Montant financé", "VFinancement", Kind::Amount}});
    if (kind == "VN") {
        sheet.section("Reprise");
        sheet.fields(v,
                     {{"Marque reprise", "ReprMarque"},
                      {"Modèle repris", "ReprModele"},
                      {"N° VO de la reprise", "ReprNVO"},
                      {"Prix de reprise", "ReprPrix", Kind::Amount}});
    }
    sheet.section("Commentaires");
    sheet.fields(v,
                 {{"Commentaires", "Commentaires"}, {"Dépôt-vente", "FlagDepotVente", Kind::Flag}});
}

void marginSheet(Sheet &sheet, Connection &c, const Row &v, long long idVO)
{
    vehicleDescription(sheet, v);
    sheet.section("Prix");
    sheet.fields(v,
                 {{"Prix de vente TTC", "PrixVente", Kind::Amount},
                  {"Prix de reprise", "PrixReprise", Kind::Amount},
                  {"Montant de la reprise", "MontantReprise", Kind::Amount},
                  {"Prix de la garantie", "PrixGarantie", Kind::Amount},
                  {"Commission intermédiaire", "MtComIntermediaire", Kind::Amount},
                  {"Commission vendeur", "MtComVendeur", Kind::Amount}});
    sheet.section("Frais de remise en état");
    const auto costs = rows(c,
                            "SELECT DateFrevo, LibelleFrevo, NomFournisseur, NFacture, TypeFrevo, "
                            "MontantHT FROM \"tVO - Frevo\" WHERE idVO = ? "
                            "ORDER BY DateFrevo, idFrevo",
                            idVO);
    sheet.cells({{0, "Date"},
                 {70, "Libellé"},
                 {230, "Fournisseur"},
                 {340, "Type"},
                 {410, "Montant HT"}},
                true);
    double total = 0;
    for (const Row &r : costs) {
        total += std::atof(get(r, "MontantHT").c_str());
        sheet.cells({{0, get(r, "DateFrevo")},
                     {70, get(r, "LibelleFrevo")},
                     {230, get(r, "NomFournisseur")},
                     {340, get(r, "TypeFrevo")},
                     {410, amount(get(r, "MontantHT"))}});
    }
    sheet.cells({{340, "Total"}, {410, amount(formatNumber(total))}}, true);
    sheet.section("Marges");
    sheet.fields(v,
                 {{"TVA sur marge", "cTVA", Kind::Amount},
                  {"Marge brute", "MBrute", Kind::Amount},
                  {"Marge nette", "MNette", Kind::Amount}});
}

void customerSheet(Sheet &sheet, Connection &c, const Row &cl, long long id)
{
    sheet.section("Identité");
    sheet.fields(cl,
                 {{"Civilité", "CliCivilite"},
                  {"Nom", "CliNom"},
                  {"Prénom", "CliPrenom"},
                  {"Date de naissance", "CliDateNaissance"},
                  {"Situation de famille", "CliSituationFamille"},
                  {"Enfants", "CliNbEnfants"},
                  {"Profession", "CliProfession"},
                  {"Employeur", "CliEmployeur"}});
    sheet.section("Coordonnées");
    sheet.fields(cl,
                 {{"Adresse", "CliAdresse1"},
                  {"Complément", "CliAdresse2"},
                  {"Code postal", "CliCP"},
                  {"Ville", "CliVille"},
                  {"Pays", "CliPays"},
                  {"Téléphone domicile", "CliTelDom"},
                  {"Mobile", "CliMobile"},
                  {"Téléphone bureau", "CliTelBur"},
                  {"E-mail", "CliEmail"}});
    sheet.section("Véhicules");
    const auto vehicles = rows(c,
                               "SELECT Immatriculation, InfoMarque, InfoModele, InfoVersion, MEC "
                               "FROM TVehiclesClarim WHERE idClient = ? ORDER BY idtVO",
                               id);
    for (const Row &v : vehicles)
        sheet.cells(
                {{0, get(v, "Immatriculation")},
                 {90,
                  get(v, "InfoMarque") + " " + get(v, "InfoModele") + " " + get(v, "InfoVersion")},
                 {400, get(v, "MEC")}});
    sheet.section("Suivi");
    const auto actions = rows(c,
                              "SELECT DateAction, CommentaireAction, DateRelance FROM tActions "
                              "WHERE idClient = ? ORDER BY DateAction DESC, idAction DESC LIMIT 20",
                              id);
    for (const Row &a : actions)
        sheet.field(get(a, "DateAction"),
                    get(a, "CommentaireAction")
                            + (get(a, "DateRelance").empty()
                                       ? ""
                                       : " (relance le " + get(a, "DateRelance") + ")"));
    sheet.section("Projets d'achat");
    sheet.fields(cl,
                 {{"Prochain achat", "CliDateProchainAchat"},
                  {"Marque envisagée", "PAMarque1"},
                  {"Modèle envisagé", "PAModele1"},
                  {"Autre marque", "PAMarque2"},
                  {"Autre modèle", "PAModele2"},
                  {"Observations", "CliObservations"}});
}

std::optional<long long> parseId(std::string_view text)
{
    long long v = 0;
    const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
    if (r.ec != std::errc() || r.ptr != text.data() + text.size() || v <= 0)
        return std::nullopt;
    return v;
}

Report failed(const std::string &message)
{
    return {false, XmlDoc::failure({message}), {}};
}

} // namespace

Report reportPdf(Database &db, const QueryParams &params)
{
    const std::string name = params.get("rptName");
    const std::string selection = params.get("rptSelect");
    const size_t eq = selection.find('=');
    const std::string key = selection.substr(0, eq);
    const long long id = eq == std::string::npos
            ? 0
            : parseId(std::string_view(selection).substr(eq + 1)).value_or(0);
    static const std::map<std::string, std::string> vehicleReports
            = {{"VO - Fiche Commerciale", "VO"},
               {"VD - Fiche Commerciale", "VD"},
               {"VD - Fiche Commerciale2", "VD"},
               {"VN - Fiche Commerciale", "VN"},
               {"VO - Feuille de Marge", "VO"}};
    const bool customer = name == "Fiche Clarim";
    if (!customer && !vehicleReports.count(name))
        return failed(msg::unknownReport(name));
    if (id <= 0 || key != (customer ? "idClient" : "idVO"))
        return failed(msg::badReportSelection(selection));
    try {
        auto lease = db.acquire();
        Connection &c = *lease;
        Sheet sheet;
        Report report {true, {}, {}};
        if (customer) {
            const auto found = rows(c, "SELECT * FROM tClients WHERE idClient = ?", id);
            if (found.empty())
                return failed(msg::customerNotFound(std::to_string(id)));
            const Row &cl = found.front();
            sheet.title("Fiche Clarim - Client N° " + std::to_string(id),
                        heading(c, cl) + " - " + get(cl, "CliNom") + " " + get(cl, "CliPrenom"));
            customerSheet(sheet, c, cl, id);
            report.fileName = "Fiche Clarim " + std::to_string(id) + ".pdf";
        } else {
            const auto found = rows(c, "SELECT * FROM tVehicles WHERE idVO = ?", id);
            if (found.empty())
                return failed(msg::vehicleNotFound(std::to_string(id)));
            const Row &v = found.front();
            const std::string kind = vehicleReports.at(name);
            const std::string number = get(v, "NVO").empty() ? std::to_string(id) : get(v, "NVO");
            const bool margin = name == "VO - Feuille de Marge";
            sheet.title((margin ? "Feuille de Marge " : "Fiche Commerciale ") + kind + " N° "
                                + number,
                        heading(c, v));
            if (margin)
                marginSheet(sheet, c, v, id);
            else
                salesSheet(sheet, v, kind, name.back() == '2');
            report.fileName = name + " " + number + ".pdf";
        }
        report.body = sheet.save();
        return report;
    } catch (const std::exception &) {
        return failed(msg::reportFailed());
    }
}

} // namespace dravik::server
