#include "editing/DateCheck.h"
#include "editing/Messages.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

namespace {

const QDate kToday(2024, 3, 15);

DateField described(const char *text, const char *loaded = "")
{
    return {QString::fromLatin1(text), true, QString::fromLatin1(loaded),
            QStringLiteral("Date d'entrée")};
}

} // namespace

TEST(DateCheck, TestDateChange)
{
    const QDate lower(2024, 1, 1);
    const QDate upper = kToday;
    const QString head = QStringLiteral("La valeur du champ \"Date d'entrée\" ");
    const struct
    {
        const char *what;
        DateField field;
        DateLimits limits;
        bool refused;
        QString message; // empty: no box, and the text is not put back
    } cases[] = {
            // clang-format off
            {"above the server date", described("16/03/2024"), {QDate(), upper}, true,
             head + "doit être inférieure au \"15/03/2024\""},
            {"before both limits", described("31/12/2023"), {lower, upper}, true,
             head + "doit être comprise entre le \"01/01/2024\" et le \"15/03/2024\""},
            {"below a lower limit alone", described("14/03/2024"), {upper, QDate()}, true,
             head + "doit être supérieure au \"15/03/2024\""},
            {"loaded value outside", described("01/01/2000", "01/01/2000"), {lower, upper}, false, {}},
            {"emptied under a lower limit", described("", "01/02/2024"), {lower, upper}, true, {}},
            {"half-typed under a lower limit", described("12/0_/____"), {lower, QDate()}, true, {}},
            {"left empty on a new record", described(""), {lower, upper}, false, {}},
            {"emptied, upper limit only", described("", "01/02/2024"), {QDate(), upper}, false, {}},
            {"no limits (options rejected)", described("01/01/1990"), {}, false, {}},
            {"not described", {"01/01/2030", false, {}, {}}, {QDate(), upper}, true, {}},
            // clang-format on
    };
    for (const auto &c : cases) {
        const DateDecision d = TestDateChange(c.field, c.limits);
        EXPECT_EQ(d.refused, c.refused) << c.what;
        EXPECT_EQ(d.message, c.message) << c.what;
        EXPECT_EQ(d.restoreLoaded, !c.message.isEmpty()) << c.what;
    }
}

TEST(DateCheck, LimitsOfEachField)
{
    LimitDates dates;
    dates.options.OptLimiteDateDeb = QDate(2024, 1, 1);
    dates.options.OptNow = QDate(2024, 3, 14);
    dates.options.ServerNow = kToday;
    dates.today = QDate(2024, 2, 29);
    const struct
    {
        const char *control;
        const char *order, *mec;
        QDate lower, upper;
    } cases[] = {
            {"cVNMEC", "", "", {}, kToday},
            {"cDateEntree", "", "", QDate(2024, 1, 1), QDate(2024, 3, 14)},
            {"cDateDisponibilite", "", "", kToday, {}},
            {"vDateFinGarantie", "02/05/2020", "01/01/2019", QDate(2020, 5, 2), {}},
            {"vDateFinFinancement", "", "01/01/2019", QDate(2019, 1, 1), {}},
            {"vDateFinGarantie", "", "", {}, {}},
            {"aCliDateNaissance", "", "", {}, QDate(2006, 2, 28)},
    };
    for (const auto &c : cases) {
        dates.vehicleOrderText = QString::fromLatin1(c.order);
        dates.vehicleMecText = QString::fromLatin1(c.mec);
        const auto rule = dateLimitRule(QString::fromLatin1(c.control));
        ASSERT_TRUE(rule) << c.control;
        const DateLimits limits = resolveLimits(*rule, dates);
        EXPECT_EQ(limits.lower, c.lower) << c.control;
        EXPECT_EQ(limits.upper, c.upper) << c.control;
    }
    EXPECT_FALSE(dateLimitRule(QStringLiteral("cVNDateFacture")));
    EXPECT_FALSE(dateLimitRule(QStringLiteral("cmec")));

    // Rejected option dates switch the business-date limits off.
    dates.options = OptionDates {};
    dates.options.ServerNow = kToday;
    const DateLimits off = resolveLimits(*dateLimitRule(QStringLiteral("cDateOrdre")), dates);
    EXPECT_FALSE(TestDateChange(described("01/01/1900"), off).refused);
}

TEST(DateCheck, WeekLabel)
{
    const struct
    {
        const char *date, *label;
    } cases[] = {
            {"07/01/2024", "2024s01"}, // first Sunday of a year starting on Monday
            {"01/01/2024", "2024s00"}, {"31/12/2024", "2024s52"},
            {"01/01/2023", "2023s00"}, // a year starting on Sunday
            {"08/01/2023", "2023s01"}, {"", ""},
            {"12/0_/____", "1900s00"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(weekLabel(QString::fromLatin1(c.date)), QString::fromLatin1(c.label)) << c.date;
}

TEST(DateCheck, OrderDates)
{
    EXPECT_EQ(purchaseDateFromInvoice("02/03/2024", "01/03/2024"), "02/03/2024");
    EXPECT_FALSE(purchaseDateFromInvoice("02/03/2024", "02/03/2024"));
    EXPECT_FALSE(purchaseDateFromInvoice("", "01/03/2024"));
    EXPECT_FALSE(purchaseDateFromInvoice("31/02/2024", ""));

    EXPECT_EQ(orderUpdateStamp("a", "b", kToday), "15/03/2024");
    EXPECT_FALSE(orderUpdateStamp("a", "a", kToday));
    EXPECT_FALSE(orderUpdateStamp("a", "b", QDate()));
}
