#include "gateway/TXml.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <iterator>
#include <random>

namespace {

QStringList walk(TXml x, const QString &container, const QString &item, const QString &value)
{
    XmlOpen(x, container);
    QStringList values;
    while (XmlNext(x, item) != 0)
        values << XmlGetText(x, value);
    return values;
}

} // namespace

TEST(TXmlOpen, SelectsFromFirstChildUpToFirstClosingTag)
{
    TXml x(QStringLiteral(
            "<document><User>junk<Name_>Paul</Name_><US1>S1</US1></User></document>"));
    XmlOpen(x, u"User");
    // Text between the opening tag and the first child is not part of the body.
    EXPECT_EQ(x.Item(), QStringLiteral("<Name_>Paul</Name_><US1>S1</US1>"));
    EXPECT_EQ(x.Rest(), x.Item());
    EXPECT_EQ(XmlGetText(x, u"US1"), QStringLiteral("S1"));
}

TEST(TXmlOpen, NameIsAPrefixSoAContainerCanBeTakenForItsItem)
{
    const QString doc = QStringLiteral("<d><ResaS><Resa><DResaMax>01/02/2026</DResaMax></Resa>"
                                       "<Resa><DResaMax>03/04/2026</DResaMax></Resa></ResaS></d>");
    TXml x(doc);
    XmlOpen(x, u"Resa");
    EXPECT_EQ(x.Item(), QStringLiteral("<Resa><DResaMax>01/02/2026</DResaMax>"));
    EXPECT_EQ(walk(x, QStringLiteral("ResaS"), QStringLiteral("Resa"), QStringLiteral("DResaMax")),
              QStringList({QStringLiteral("01/02/2026"), QStringLiteral("03/04/2026")}));
}

TEST(TXmlOpen, AcceptsAnOpeningTagWithAttributes)
{
    TXml x(QStringLiteral("<r><ParsS count=\"2\"><Pars><V>a</V></Pars></ParsS></r>"));
    XmlOpen(x, u"ParsS");
    EXPECT_EQ(x.Item(), QStringLiteral("<Pars><V>a</V></Pars>"));
}

TEST(TXmlOpen, MissingElementOrClosingTagEmptiesTheCursor)
{
    TXml x(QStringLiteral("<r><ParsS><Pars><V>a</V></Pars></ParsS><Open><V>x</V></r>"));
    XmlOpen(x, u"ParsS");
    ASSERT_FALSE(x.item().isEmpty());
    for (const char16_t *name : {u"Nothing", u"Open"}) {
        XmlOpen(x, name);
        EXPECT_TRUE(x.item().isEmpty()) << QString::fromUtf16(name).toStdString();
        EXPECT_TRUE(x.rest().isEmpty());
        EXPECT_EQ(XmlNext(x, u"Pars"), 0);
    }
}

TEST(TXmlOpen, ElementWithoutChildrenIsEmpty)
{
    TXml x(QStringLiteral("<r><LogItems></LogItems><Other>1</Other></r>"));
    XmlOpen(x, u"LogItems");
    EXPECT_TRUE(x.item().isEmpty());
    EXPECT_EQ(XmlNext(x, u"LogItem"), 0);
}

TEST(TXmlNext, AnswersThePositionInRestAndKeepsTheLastItem)
{
    TXml x(QStringLiteral("<r><ParsS> <Pars><V>1</V></Pars><Pars><V>2</V></Pars></ParsS></r>"));
    XmlOpen(x, u"ParsS");
    // The body starts at "<Pars>", so the first item stands at position 1.
    EXPECT_EQ(XmlNext(x, u"Pars"), 1);
    EXPECT_EQ(XmlGetText(x, u"V"), QStringLiteral("1"));
    EXPECT_EQ(XmlNext(x, u"Pars"), 1);
    EXPECT_EQ(XmlNext(x, u"Pars"), 0);
    EXPECT_EQ(x.Item(), QStringLiteral("<V>2</V>"));
    EXPECT_EQ(XmlGetText(x, u"V"), QStringLiteral("2"));
}

TEST(TXmlNext, ItemTagWithAttributeIsNotAnItem)
{
    TXml x(QStringLiteral("<r><ParsS><Pars id=\"1\"><V>a</V></Pars></ParsS></r>"));
    XmlOpen(x, u"ParsS");
    EXPECT_EQ(XmlNext(x, u"Pars"), 0);

    // Followed by a plain item: the first step pairs the plain opening tag with the first
    // closing tag and yields an empty item; the next step yields the plain item.
    TXml y(QStringLiteral(
            "<r><ParsS><Pars id=\"1\"><V>a</V></Pars><Pars><V>b</V></Pars></ParsS></r>"));
    XmlOpen(y, u"ParsS");
    EXPECT_NE(XmlNext(y, u"Pars"), 0);
    EXPECT_TRUE(y.item().isEmpty());
    EXPECT_NE(XmlNext(y, u"Pars"), 0);
    EXPECT_EQ(XmlGetText(y, u"V"), QStringLiteral("b"));
    EXPECT_EQ(XmlNext(y, u"Pars"), 0);
}

TEST(TXmlNext, CopiesWalkIndependently)
{
    TXml shared(QStringLiteral("<r><ParsS><Pars><V>1</V></Pars><Pars><V>2</V></Pars></ParsS></r>"));
    XmlOpen(shared, u"ParsS");
    TXml copy = shared;
    ASSERT_NE(XmlNext(copy, u"Pars"), 0);
    ASSERT_NE(XmlNext(copy, u"Pars"), 0);
    EXPECT_EQ(XmlNext(shared, u"Pars"), 1);
    EXPECT_EQ(XmlGetText(shared, u"V"), QStringLiteral("1"));
}

TEST(TXmlGet, MatchingRules)
{
    struct Case
    {
        const char *item;
        const char16_t *name;
        const char *expected;
    };
    const Case cases[] = {
            {"<A>1</A><B>2</B>", u"B", "2"},
            {"<A></A>", u"A", ""},
            // Self-closing and absent elements leave the output as it was.
            {"<A/><B>2</B>", u"A", "kept"},
            {"<B>2</B>", u"A", "kept"},
            {"<A>no end", u"A", "kept"},
            {"</A><A>x", u"A", "kept"},
            // Element names are exact and case-sensitive; the value may hold nested tags.
            {"<AB>1</AB><A>2</A>", u"A", "2"},
            {"<a>1</a>", u"A", "kept"},
            {"<A><X>1</X></A>", u"A", "<X>1</X>"},
            // A nested element of the same name stops at the inner closing tag.
            {"<A>x<A>y</A>z</A>", u"A", "x<A>y"},
            // Entities are not decoded here.
            {"<A>&amp;&lt;</A>", u"A", "&amp;&lt;"},
    };
    for (const Case &c : cases) {
        TXml x(QStringLiteral("<r><I>") + QString::fromLatin1(c.item) + QStringLiteral("</I></r>"));
        XmlOpen(x, u"I");
        QString out = QStringLiteral("kept");
        XmlGet(x, c.name, out);
        EXPECT_EQ(out, QString::fromLatin1(c.expected)) << c.item;
        QString indexed = QStringLiteral("kept");
        XmlItemIndex(x).get(c.name, indexed);
        EXPECT_EQ(indexed, out) << c.item;
    }
}

// The tag search looks at several characters at a time: a tag is found wherever it starts
// relative to those blocks, the last one of an item included.
TEST(TXmlGet, FindsTagsAtEveryOffset)
{
    for (int pad = 0; pad < 20; ++pad) {
        const QString filler(pad, QLatin1Char('<'));
        TXml x(QStringLiteral("<r><I>") + filler + QStringLiteral("<Val>v</Val><W>w</W></I></r>"));
        XmlOpen(x, u"r");
        ASSERT_NE(XmlNext(x, u"I"), 0) << pad;
        EXPECT_EQ(XmlGetText(x, u"Val"), QStringLiteral("v")) << pad;
        EXPECT_EQ(XmlGetText(x, u"W"), QStringLiteral("w")) << pad;
    }
}

TEST(TXmlGet, ItemIndexAnswersAsTheSearch)
{
    // Items made of tag pieces in every order, odd ones included, read by every kind of name.
    const char *const pieces[]
            = {"<A>", "</A>", "<B>", "</B>", "<AB>", "</AB>", "<A/>", "<A x>", "<",
               ">",   "/",    "x",   "</",   "<<A>", "<A<B>", "A",    "/A>"};
    const char16_t *const names[] = {u"A", u"B", u"AB", u"", u"/A", u"A>", u"A<B", u"a", u"x"};
    std::mt19937 random(7);
    for (int n = 0; n < 3000; ++n) {
        QString item;
        for (int k = int(random() % 12); k > 0; --k)
            item += QLatin1String(pieces[random() % std::size(pieces)]);
        TXml x(QStringLiteral("<r><I>") + item + QStringLiteral("</I></r>"));
        XmlOpen(x, u"I");
        const XmlItemIndex index(x);
        for (const char16_t *name : names) {
            QString searched = QStringLiteral("kept");
            QString indexed = searched;
            XmlGet(x, name, searched);
            index.get(name, indexed);
            ASSERT_EQ(indexed, searched)
                    << qPrintable(x.Item()) << " / " << qPrintable(QStringView(name).toString());
        }
    }
}

TEST(TXmlGet, AbsentElementKeepsTheValueReadBefore)
{
    TXml x(QStringLiteral("<r><T><idVO>12</idVO></T></r>"));
    XmlOpen(x, u"T");
    QString id;
    XmlGet(x, u"idVO", id);
    XmlGet(x, u"idTVO", id);
    EXPECT_EQ(id, QStringLiteral("12"));
}

TEST(TXmlGetAttr, TwentyCharacterWindowOverTheWholeDocument)
{
    struct Case
    {
        QString value;
        bool read;
    };
    const Case cases[] = {
            {QStringLiteral("12"), true},           {QString(), true},
            {QString(19, QLatin1Char('9')), true},  {QString(20, QLatin1Char('9')), false},
            {QString(25, QLatin1Char('9')), false},
    };
    for (const Case &c : cases) {
        TXml x(QStringLiteral("<r><Q RowCount=\"") + c.value
               + QStringLiteral("\" EOF=\"0\"></Q><ParsS><Pars><V>1</V></Pars></ParsS></r>"));
        XmlOpen(x, u"ParsS"); // the selection plays no part
        QString out = QStringLiteral("kept");
        XmlGetAttr(x, u"RowCount", out);
        EXPECT_EQ(out, c.read ? c.value : QStringLiteral("kept")) << c.value.size();
    }
    TXml x(QStringLiteral("<r a=\"1\"/>"));
    QString out;
    XmlGetAttr(x, u"EOF", out);
    EXPECT_TRUE(out.isEmpty());
}

TEST(TXmlSetDoc, ResetsTheSelection)
{
    TXml x(QStringLiteral("<r><I><V>1</V></I></r>"));
    XmlOpen(x, u"I");
    x.setDoc(QStringLiteral("<V>2</V>"));
    EXPECT_EQ(XmlGetText(x, u"V"), QString());
}

TEST(LoadTextFile, JoinsLinesWithCrLfAndReadsLatin1)
{
    QTemporaryDir dir;
    const struct
    {
        QByteArray bytes;
        QString text;
    } cases[] = {
            {"a\r\nb\nc\rd", QStringLiteral("a\r\nb\r\nc\r\nd\r\n")},
            {"a\r\n", QStringLiteral("a\r\n")},
            {"a\n\n", QStringLiteral("a\r\n\r\n")},
            {"", QString()},
            {"\xe9t\xe9", QStringLiteral("été\r\n")},
    };
    for (const auto &c : cases) {
        const QString path = dir.filePath(QStringLiteral("doc.xml"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(c.bytes);
        f.close();
        EXPECT_EQ(LoadTextFile(path), c.text) << c.bytes.toStdString();
    }
    EXPECT_THROW(LoadTextFile(dir.filePath(QStringLiteral("missing.xml"))), FileError);
}

TEST(DecodeEntities, OrderAndScope)
{
    EXPECT_EQ(DecodeEntities(QStringLiteral("a &amp; b &lt;c&gt;")), QStringLiteral("a & b <c>"));
    // "&amp;" first: a doubly escaped less-than sign ends as "<".
    EXPECT_EQ(DecodeEntities(QStringLiteral("&amp;lt;")), QStringLiteral("<"));
    EXPECT_EQ(DecodeEntities(QStringLiteral("l1&cr;l2")), QStringLiteral("l1&cr;l2"));
    EXPECT_EQ(DecodeEntities(QStringLiteral("l1&cr;l2"), true), QStringLiteral("l1\r\nl2"));
    EXPECT_EQ(DecodeEntities(QStringLiteral("&quot;&#233;&apos;&AMP;")),
              QStringLiteral("&quot;&#233;&apos;&AMP;"));
}
