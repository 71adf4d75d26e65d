#include "grids/Computations.h"

#include <gtest/gtest.h>

#include <QStringList>

#include <clocale>
#include <string>

namespace {

QDate d(const char *text)
{
    return QDate::fromString(QLatin1String(text), QStringLiteral("dd/MM/yyyy"));
}

std::string s(const QString &text)
{
    return text.toStdString();
}

struct MarginCase
{
    const char *price, *tradeIn, *tpvo, *guarantee, *costs;
    bool second;
    const char *totalCosts, *vat, *gross, *net;
};

TEST(Computations, VatAndMarginsToTheCent)
{
    const MarginCase cases[] = {
            {"900", "500", "50", "30", "70", false, "70.00", "65.55", "384.45", "284.45"},
            {"900", "500", "50", "30", "70", true, "70.00", "0.00", "376.25", "276.25"},
            // Sold below the trade-in: the VAT is negative and the margins follow it.
            {"100", "110", "0", "0", "", false, "0.00", "-1.64", "-8.36", "-8.36"},
            // The costs total as the totals write it, blanks included; letters count as 0.
            {"1000", "0", "0", "0", "1 070.00", false, "1070.00", "163.88", "836.12", "-233.88"},
            {"12a", "1.2.3", "", "abc", "x", false, "0.00", "0.00", "0.00", "0.00"},
    };
    for (const MarginCase &c : cases) {
        MarginInput in {QLatin1String(c.price),     QLatin1String(c.tradeIn), QLatin1String(c.tpvo),
                        QLatin1String(c.guarantee), QLatin1String(c.costs),   c.second};
        const Margins m = margins(in);
        SCOPED_TRACE(std::string(c.price) + "/" + c.tradeIn + (c.second ? " second" : " first"));
        EXPECT_EQ(s(m.totalCosts), c.totalCosts);
        EXPECT_EQ(s(m.vat), c.vat);
        EXPECT_EQ(s(m.grossMargin), c.gross);
        EXPECT_EQ(s(m.netMargin), c.net);
    }
}

TEST(Computations, CostTotalsByTypeAndDeliveryMonth)
{
    const QDateTime now(d("20/03/2010"), QTime(10, 0));
    const std::vector<CostLine> costs = {
            {"fixe", "31/01/2010", "100.00"}, // lower case counts as FIXE; last day counts
            {"INTERNE", "01/02/2010", "50.00"}, // first day after the month: not FDM
            {"Externe", "15/01/2010", "12.5"},
            {"", "10/01/2010", "7.00"}, // no type: prevision
            {"autre", "", "3.00"}, // no date: dated now, after the cutoff
            {"interne", "05/01/2010", "ab"}, // unreadable amount: 0
    };
    const CostTotals t = costTotals(costs, QStringLiteral("31/01/2010"), now);
    const struct
    {
        const char *name;
        long double value;
        const char *expected;
    } totals[] = {
            {"all", t.all, "172.50"},
            {"fixe", t.fixe, "100.00"},
            {"interne", t.interne, "50.00"},
            {"externe", t.externe, "12.50"},
            {"prevision", t.prevision, "10.00"},
            {"allFdm", t.allFdm, "119.50"},
            {"fixeFdm", t.fixeFdm, "100.00"},
            {"interneFdm", t.interneFdm, ""},
            {"externeFdm", t.externeFdm, "12.50"},
            {"previsionFdm", t.previsionFdm, "7.00"},
    };
    for (const auto &total : totals)
        EXPECT_EQ(s(totalText(total.value)), total.expected) << total.name;

    // Without a delivery date the month of now closes the FDM totals.
    const CostTotals undated
            = costTotals({{"interne", "31/03/2010", "5"}, {"interne", "02/04/2010", "4"}},
                         QStringLiteral("__/__/____"), now);
    EXPECT_EQ(s(totalText(undated.interneFdm)), "5.00");
    EXPECT_EQ(s(totalText(costTotals({}, QString(), now).all)), "");
}

TEST(Computations, OrderBalance)
{
    EXPECT_EQ(s(orderBalance("20000", "5000.50", "3000", "1000")), "10999.50");
    EXPECT_EQ(s(orderBalance("20000", "", "abc", "1.2.3")), "20000.00");
    EXPECT_EQ(s(orderBalance("", "", "", "")), "0.00");
    EXPECT_EQ(s(orderBalance("+100.25", "+-1", "1e2", "-0.25")), "0.50");
}

// The window runs under the desktop's locale, which writes decimals with a comma in France:
// the amounts it computes from must read the same as under the C locale.
TEST(Computations, AmountsWithCentsReadAlikeUnderAFrenchDesktopLocale)
{
    const MarginInput in {QStringLiteral("9000.50"), QStringLiteral("5000.25"),
                          QStringLiteral("120.40"),  QStringLiteral("+30.05"),
                          QStringLiteral("70.10"),   false};
    const auto compute = [&in] {
        const Margins m = margins(in);
        return QStringList {m.totalCosts, m.vat, m.grossMargin, m.netMargin,
                            orderBalance("20000.75", "5000.50", "3000", "1000.25")};
    };
    const std::string before = std::setlocale(LC_NUMERIC, nullptr);
    const QStringList inC = compute();
    if (!std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
        GTEST_SKIP() << "the fr_FR.UTF-8 locale is not installed";
    const QStringList inFrench = compute();
    std::setlocale(LC_NUMERIC, before.c_str());
    EXPECT_EQ(s(inFrench.join(u'|')), s(inC.join(u'|')));
    EXPECT_EQ(s(inFrench.value(0)), "70.10");
    EXPECT_EQ(s(inFrench.value(4)), "11000.00");
}

TEST(Computations, TreasuryDueDateToTheDay)
{
    const struct
    {
        const char *delivery, *availability, *declared, *due, *purchase, *expected;
    } cases[] = {
            {"10/03/2010", "", "", "20/03/2010", "01/03/2010", "15/03/2010"},
            {"10/03/2010", "", "", "12/03/2010", "01/03/2010", "12/03/2010"},
            {"10/03/2010", "", "05/03/2010", "20/03/2010", "01/03/2010", "10/03/2010"},
            {"01/03/2010", "", "05/03/2010", "20/03/2010", "01/03/2010", "06/03/2010"},
            {"10/03/2010", "", "", "20/03/2010", "", "10/03/2010"},
            {"", "08/03/2010", "", "20/03/2010", "", "08/03/2010"}, // availability stands in
            {"", "", "", "20/03/2010", "", "20/03/2010"},
            {"10/03/2010", "", "", "", "01/03/2010", ""}, // bought, no due date: none
            {"", "", "", "", "", ""},
    };
    for (const auto &c : cases) {
        const OrderDates dates {d(c.delivery), d(c.availability), d(c.declared), d(c.due),
                                d(c.purchase)};
        const QDate got = treasuryDueDate(dates);
        EXPECT_EQ(got.isValid() ? s(got.toString("dd/MM/yyyy")) : "", c.expected)
                << c.delivery << " " << c.declared << " " << c.due << " " << c.purchase;
    }
}

TEST(Computations, SettlementDueDateToTheDay)
{
    const QStringList delays = {"30", "LOA : 60", "CREDIT : 45", "LLD : abc"};
    const struct
    {
        const char *delivery, *financing, *destination, *expected;
        QStringList items;
    } cases[] = {
            {"15/01/2010", "credit", "Particuliers", "01/03/2010", delays},
            {"15/01/2010", "credit", "groupe", "28/02/2010", delays},
            {"15/01/2010", "", "Particuliers", "15/01/2010", delays},
            {"15/01/2010", "COMPTANT", "", "14/02/2010", delays}, // the list's first delay
            {"15/01/2010", "LLD", "", "25/01/2010", delays}, // a matched delay unreadable: 10
            {"15/01/2010", "CREDIT", "", "04/02/2010", {"X : 5", "CREDIT : 20"}},
            {"15/01/2010", "CREDIT", "", "15/01/2010", {}}, // no list: no delay
            {"31/01/2010", "", "GROUPE", "31/03/2010", {}}, // 30 days land on 02/03
            {"", "CREDIT", "GROUPE", "", delays},
    };
    for (const auto &c : cases) {
        const QDate got
                = settlementDueDate({d(c.delivery), {}, {}, {}, {}}, QLatin1String(c.financing),
                                    c.items, QLatin1String(c.destination));
        EXPECT_EQ(got.isValid() ? s(got.toString("dd/MM/yyyy")) : "", c.expected)
                << c.delivery << " " << c.financing << " " << c.destination;
    }
}

TEST(Computations, AccountingPanelFoldsAndComesBack)
{
    const PanelGeometry folded = foldedOrUnfolded({268, 216});
    EXPECT_EQ(folded.top, 268 + 191);
    EXPECT_EQ(folded.height, 25);
    const PanelGeometry back = foldedOrUnfolded(folded);
    EXPECT_EQ(back.top, 268);
    EXPECT_EQ(back.height, 216);
}

} // namespace
