#include "gateway/SqlText.h"
#include "gateway/HttpRequests.h"

#include <gtest/gtest.h>

#include <QUrl>

TEST(SqlText, Literals)
{
    const struct
    {
        QString in, out;
    } cases[] = {
            {QStringLiteral("l'été"), QStringLiteral("'l''été'")},
            {QStringLiteral("a \"b\" & c"), QStringLiteral("'a %22b%22 %26 c'")},
            {QStringLiteral("<x>"), QStringLiteral("'%3Cx%3E'")},
            {QStringLiteral("l1\r\nl2"), QStringLiteral("'l1%0D%0Al2'")},
            {QStringLiteral("   "), QStringLiteral("''")},
            {QString(), QStringLiteral("''")},
            {QStringLiteral("\t x \r\n"), QStringLiteral("'x'")},
            // "%" first, so the escapes added later are not escaped again.
            {QStringLiteral("50%"), QStringLiteral("'50%25'")},
            {QStringLiteral("%22"), QStringLiteral("'%2522'")},
            {QStringLiteral("1+1"), QStringLiteral("'1%2B1'")},
            {QStringLiteral("a\rb\nc"), QStringLiteral("'a%0Db%0Ac'")},
            {QStringLiteral("#12 rue"), QStringLiteral("'#12 rue'")},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SqlText(c.in), c.out) << c.in.toStdString();
}

// What the server reads back after decoding the address once is the value as typed.
TEST(SqlText, ValueSurvivesTheAddress)
{
    const QStringList values = {
            QStringLiteral("50% + 1 & 2 = \"3\" <é>"),
            QStringLiteral("l'été\r\nsuite\nfin\r"),
            QStringLiteral("#12/31/2009# ; a,b"),
            QStringLiteral("%2B%25"),
    };
    for (const QString &value : values) {
        const QByteArray sent = EncodeAddress(QStringLiteral("AxUpdate?SQL=x=") + SqlText(value));
        const QString read = QString::fromLatin1(QByteArray::fromPercentEncoding(sent));
        QString expected = value.trimmed();
        expected.replace(QLatin1Char('\''), QLatin1String("''"));
        EXPECT_EQ(read, QStringLiteral("AxUpdate?SQL=x='") + expected + QLatin1Char('\''))
                << value.toStdString();
    }
}

TEST(SqlNumber, TrimsAndUsesADot)
{
    EXPECT_EQ(SqlNumber(QStringLiteral(" 12,50 ")), QStringLiteral("12.50"));
    EXPECT_EQ(SqlNumber(QStringLiteral("1,234,5")), QStringLiteral("1.234.5"));
    EXPECT_EQ(SqlNumber(QString()), QString());
    EXPECT_EQ(SqlNumber(QStringLiteral("abc")), QStringLiteral("abc"));
}

TEST(SqlDate, Literals)
{
    const struct
    {
        const char *in, *out;
    } cases[] = {
            {"31/12/2009", "#12/31/2009#"},
            {"1/2/2009", "#02/01/2009#"},
            {"31/12/2009 10:30", "#12/31/2009#"},
            {"29/02/2024", "#02/29/2024#"},
            {"31/02/2009", "NULL"},
            {"29/02/2023", "NULL"},
            {"", "NULL"},
            {"demain", "NULL"},
            {"30/12/1899", "NULL"},
            {"12-31-2009", "NULL"},
            {"00/01/2009", "NULL"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(SqlDate(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(FormatPhone, PairsAndFallback)
{
    const struct
    {
        const char *in, *out;
    } cases[] = {
            {"0123456789", "01.23.45.67.89"},
            {"123456789", "123.45.67.89"},
            {"12", "12"},
            {"1", ""},
            {"", ""},
            {"123", "123"},
            {"1234", "12.34"},
            {"01 23 45 67 89", "01 23 45 67 89"},
            {"+33123456789", "+33123456789"},
            {"06-12", "06-12"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(FormatPhone(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

TEST(EncodeAddress, SpaceHashAndNonAsciiBytes)
{
    EXPECT_EQ(EncodeAddress(QStringLiteral("AxQuery?SQL=d=#12/31/2009# and x")),
              QByteArray("AxQuery?SQL=d=%2312/31/2009%23%20and%20x"));
    EXPECT_EQ(EncodeAddress(QStringLiteral("é\tà\x7f€")), QByteArray("%E9%09%E0%7F%3F"));
    // Printable ASCII goes as it is, "%" included (SqlText already wrote it as %25).
    EXPECT_EQ(EncodeAddress(QStringLiteral("a=b&c=%25'()*,;!~")), QByteArray("a=b&c=%25'()*,;!~"));
    EXPECT_EQ(SpaceAndHashEscaped(QStringLiteral("a #b é")), QStringLiteral("a%20%23b%20é"));
}
