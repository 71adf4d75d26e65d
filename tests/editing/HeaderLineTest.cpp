#include "SqlFixture.h"

#include "editing/HeaderLine.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

HeaderInput input(const char *kind, const QHash<QString, QString> &texts)
{
    HeaderInput in;
    in.RecordKind = QString::fromLatin1(kind);
    in.text = textsOf(texts);
    // Marks what went through the phone formatter.
    in.FormatPhone = [](const QString &t) {
        return QStringLiteral("<%1>").arg(t);
    };
    in.today = QDate(2024, 4, 10);
    in.ServerNow = QDate(2024, 3, 31);
    return in;
}

std::optional<QString> some(const char *text)
{
    return QString::fromUtf8(text);
}

} // namespace

TEST(HeaderLine, TextsPerKind)
{
    // clang-format off
    const QHash<QString, QString> texts = {
            {"cNVO", "1024"}, {"cInfoMarque", "peugeot"}, {"cInfoVersion", "208 1.2 PureTech"},
            {"cInfoCouleur", "Gris"}, {"cCV", "5"}, {"cKMS", "12000"},
            {"cVDNVO", "D7"}, {"cVDInfoMarque", "vw"}, {"cVDInfoVersion", "Golf"}, {"cVDCV", "7"},
            {"cVDKMS", "10"}, {"cVNNVO", "N3"}, {"cVNInfoCouleur", "Noir"},
            {"aCliEmail", "Jean.Dupont@Exemple.FR"}, {"aCliMobile", "0612345678"},
            {"aCliTelDom", "0123456789"}};
    // clang-format on
    const struct
    {
        const char *kind;
        std::optional<QString> nvo, titre, field1, field2;
    } cases[] = {
            {"_TVO", some("1024"), some("PEUGEOT - 208 1.2 PureTech"), some("Gris"),
             some("5 cv - 12000 kms")},
            {"_TVD", some("D7"), some("VW - Golf"), some(""), some("7 cv - 10 kms")},
            {"_TVN", some("N3"), some(" - "), some("Noir"), std::nullopt},
            {"_TCL", std::nullopt, some(""), some("jean.dupont@exemple.fr"), some("<0612345678>")},
    };
    for (const auto &c : cases) {
        const HeaderInput in = input(c.kind, texts);
        EXPECT_EQ(infoNVOText(in), c.nvo) << c.kind;
        EXPECT_EQ(infoTitreText(in), c.titre) << c.kind;
        EXPECT_EQ(infoField1Text(in), c.field1) << c.kind;
        EXPECT_EQ(infoField2Text(in), c.field2) << c.kind;
    }
    EXPECT_EQ(infoField3Text(input("_TCL", texts)), "<0123456789>");
    EXPECT_EQ(infoField3Text(input("_TVD", texts)), std::nullopt);
}

TEST(HeaderLine, DaysInStock)
{
    const struct
    {
        const char *entry, *order;
        const char *shown;
    } cases[] = {
            {"01/03/2024", "15/03/2024", "14 jours"},
            {"01/03/2024", "", "30 jours"}, // up to the server date
            {"", "15/03/2024", "0 jours"},
            {"15/03/2024", "01/03/2024", "14 jours"}, // never negative
            {"xx", "15/04/2024", "5 jours"}, // unreadable: today
    };
    for (const auto &c : cases) {
        HeaderInput in = input("_TVO", {{"cDateEntree", c.entry}, {"cDateOrdre", c.order}});
        EXPECT_EQ(infoField3Text(in), some(c.shown)) << c.entry << " " << c.order;
        in.FlagLoading = true;
        EXPECT_EQ(infoField3Text(in), std::nullopt);
    }
}

TEST(HeaderLine, DaysToDelivery)
{
    const struct
    {
        const char *order, *invoice, *mec;
        const char *shown;
    } cases[] = {
            {"01/03/2024", "", "", ""},
            {"01/03/2024", "11/03/2024", "31/03/2024", "10 jours"},
            {"01/03/2024", "", "31/03/2024", "30 jours"},
            {"01/03/2024", "xx", "31/03/2024", ""}, // unreadable invoice: the order date
            {"", "", "20/04/2024", "10 jours"}, // no order date: today
    };
    for (const auto &c : cases) {
        const HeaderInput in = input(
                "_TVN",
                {{"cVNDateOrdre", c.order}, {"cVNDateFacture", c.invoice}, {"cVNMEC", c.mec}});
        EXPECT_EQ(infoField3Text(in), some(c.shown)) << c.order << " " << c.invoice;
    }
}

TEST(HeaderLine, TitlesAndFontSize)
{
    EXPECT_EQ(windowCaption("_TVO", "1024", "PEUGEOT - 208 1.2 PureTech"),
              "Dravik - VO N°1024 - PEUGEOT - 208 1.2 PureTech");

    const struct
    {
        int length, size;
    } sizes[] = {{0, 12}, {13, 12}, {14, 10}, {19, 10}, {20, 9},
                 {25, 9}, {26, 8},  {31, 8},  {32, 7},  {80, 7}};
    for (const auto &s : sizes) {
        EXPECT_EQ(emailFontSize("_TCL", QString(s.length, QLatin1Char('a'))), s.size) << s.length;
        EXPECT_EQ(emailFontSize("_TVO", QString(s.length, QLatin1Char('a'))), 12);
    }
}
