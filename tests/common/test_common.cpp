#include "common/Dates.h"
#include "common/Latin1.h"
#include "common/XmlText.h"

#include <gtest/gtest.h>

using namespace dravik;

TEST(Latin1, EveryByteSurvivesTheRoundTrip)
{
    std::string all;
    for (int c = 1; c < 256; ++c)
        all += static_cast<char>(c);
    const std::string utf8 = latin1ToUtf8(all);
    EXPECT_TRUE(isValidUtf8(utf8));
    EXPECT_EQ(utf8ToLatin1(utf8), all);
    EXPECT_EQ(latin1ToUtf8("\xE9t\xE9"), "été");
}

TEST(Latin1, CharactersBeyondLatin1AndBadBytesBecomeTheReplacement)
{
    const struct
    {
        std::string utf8, latin1;
        bool valid;
    } cases[] = {
            {"5 €", "5 ?", true}, // U+20AC has no Latin-1 code
            {"œuf à", "?uf \xE0", true},
            {"a\xC3", "a?", false}, // cut sequence
            {"\xC0\xAF", "??", false}, // overlong "/"
            {"\xED\xA0\x80x", "???x", false}, // surrogate
            {"\xF4\x90\x80\x80", "????", false}, // beyond U+10FFFF
    };
    for (const auto &c : cases) {
        EXPECT_EQ(utf8ToLatin1(c.utf8), c.latin1) << c.utf8;
        EXPECT_EQ(isValidUtf8(c.utf8), c.valid) << c.utf8;
    }
}

TEST(Dates, ParsesAndRejectsLikeTheCalendar)
{
    const struct
    {
        const char *text;
        bool valid;
    } fr[] = {
            {"31/12/2009", true},        {"1/2/2010", true},
            {"29/02/2008", true},        {"29/02/2000", true},
            {"29/02/1900", false},       {"31/02/2009", false},
            {"00/01/2009", false},       {"12/13/2009", false},
            {"31/12/09", false},         {"", false},
            {"31/12/2009x", false},      {"31/12/2009 14:05:09", true},
            {"31/12/2009 24:00", false},
    };
    for (const auto &c : fr)
        EXPECT_EQ(parseFrDate(c.text).has_value(), c.valid) << c.text;
    EXPECT_EQ(parseUsDate("12/31/2009")->date, (Date {2009, 12, 31}));
    EXPECT_FALSE(parseUsDate("31/12/2009"));
}

TEST(Dates, ConvertsBetweenShownAndStoredForms)
{
    EXPECT_EQ(frToIso("31/12/2009"), "2009-12-31");
    EXPECT_EQ(isoToFr("2009-12-31"), "31/12/2009");
    EXPECT_EQ(isoToFr("2009-03-07 14:05:09"), "07/03/2009 14:05:09");
    EXPECT_EQ(frToIso("7/3/2009"), "2009-03-07");
    // Text that is not a date passes unchanged, in both directions.
    EXPECT_EQ(isoToFr("AB-123-CD"), "AB-123-CD");
    EXPECT_EQ(frToIso("demain"), "demain");
    EXPECT_EQ(isoToFr("2009-02-30"), "2009-02-30");
}

TEST(XmlText, EscapesOnlyWhatTheClientDecodes)
{
    const struct
    {
        std::string in, out;
    } cases[] = {
            {"R&D <b>", "R&amp;D &lt;b&gt;"},
            {"l'été \"x\"", "l'été \"x\""},
            {"a\r\nb\nc\rd", "a&cr;b&cr;c&cr;d"},
            {"tab\there\x01\x1F", "tab\there"},
            {"&amp;", "&amp;amp;"},
    };
    for (const auto &c : cases)
        EXPECT_EQ(xmlEscapeValue(c.in), c.out) << c.in;
}

TEST(XmlText, TextTypedByTheUserComesBackUnchanged)
{
    for (const std::string text : {"Ligne 1\r\nLigne 2 & <3>", "100 % > 50", "\"quoted\" 'single'"})
        EXPECT_EQ(xmlDecodeValue(xmlEscapeValue(text), true), text);
}

TEST(XmlText, ElementNames)
{
    for (const char *ok : {"AXQuery", "VO_ID", "Opt_LimiteDateDeb", "a1", "x-y.z"})
        EXPECT_TRUE(isXmlName(ok)) << ok;
    for (const char *bad : {"", "1abc", "-x", "count(*)", "a b", "é"})
        EXPECT_FALSE(isXmlName(bad)) << bad;
}
