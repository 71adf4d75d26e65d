#include "engine/TextRules.h"

#include "engine/QtPrinters.h"

#include <gtest/gtest.h>

TEST(TextRules, formatDecimal2)
{
    const struct
    {
        const char *in, *out;
    } cases[] = {
            {"", "0.00"},       {"0", "0.00"},
            {"12.5", "12.50"},  {"12.345", "12.35"},
            {"2.675", "2.68"},  {"-2.675", "-2.68"},
            {"0.004", "0.00"},  {"-0.004", "0.00"},
            {"9.995", "10.00"}, {"999.999", "1000.00"},
            {".5", "0.50"},     {"7.", "7.00"},
            {"+3", "3.00"},     {"0012.1", "12.10"},
            {"1e3", "1000.00"}, {"12,5", "0.00"},
            {"abc", "0.00"},    {".", "0.00"},
            {"-", "0.00"},      {"1.2.3", "0.00"},
            {"inf", "0.00"},    {"123456789012345678.125", "123456789012345678.13"},
            {"-0", "0.00"},     {"-000.5", "-0.50"},
            {"00", "0.00"},     {"-.05", "-0.05"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(formatDecimal2(QString::fromLatin1(c.in)), QString::fromLatin1(c.out)) << c.in;
}

TEST(TextRules, ParseDateAcceptsOnlyRealDates)
{
    EXPECT_EQ(parseDate("31/12/2009"), QDate(2009, 12, 31));
    EXPECT_EQ(parseDate(" 1/2/2024 "), QDate(2024, 2, 1));
    for (const char *bad : {"", "31/02/2024", "12/0_/____", "2024-01-01", "1/1/24", "aa/bb/cccc",
                            "123/1/2024", "1/1/20245", "1//2024", "+1/2/2024", "1/2/2024/"})
        EXPECT_FALSE(parseDate(QString::fromLatin1(bad)).isValid()) << bad;
    EXPECT_EQ(formatDate(QDate(2024, 3, 5)), "05/03/2024");
    EXPECT_EQ(formatDate(QDate()), "");
}

TEST(TextRules, AsciiUpperChangesOnlyPlainLetters)
{
    EXPECT_EQ(asciiUpper(u"user_compta été"), QString::fromUtf8("USER_COMPTA éTé"));
}

TEST(TextRules, ReadIntFallsBack)
{
    EXPECT_EQ(readInt("42"), 42);
    EXPECT_EQ(readInt(" -7 "), -7);
    EXPECT_EQ(readInt("", 20), 20);
    EXPECT_EQ(readInt("12px", 20), 20);
}

TEST(TextRules, OccursAndCodeOf)
{
    EXPECT_FALSE(occurs(u"", u"NORD"));
    EXPECT_TRUE(occurs(u"SUD", u"NORD SUD"));
    EXPECT_EQ(codeOf("BER : Berline"), "BER");
    EXPECT_EQ(codeOf("Berline"), "Berline");
}
