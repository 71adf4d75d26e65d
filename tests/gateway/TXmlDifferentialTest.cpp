// The cursor against a real XML parser on generated documents that follow the server's list
// conventions: walking a list with the cursor must give the same items and values.
#include "gateway/TXml.h"

#include <gtest/gtest.h>

#include <QHash>
#include <QXmlStreamReader>

#include <random>

namespace {

struct ListShape
{
    QString container, item;
    QStringList fields;
};

// Names chosen so that no element name begins with another list's names.
const QList<ListShape> kLists = {
        {QStringLiteral("ParsS"),
         QStringLiteral("Pars"),
         {QStringLiteral("Code"), QStringLiteral("Libelle")}},
        {QStringLiteral("TVehS"),
         QStringLiteral("TVeh"),
         {QStringLiteral("Immat"), QStringLiteral("KMS"), QStringLiteral("Marque")}},
        {QStringLiteral("LogItems"), QStringLiteral("LogItem"), {}},
        {QStringLiteral("ImageS"),
         QStringLiteral("Image"),
         {QStringLiteral("NomImage"), QStringLiteral("Defaut")}},
};

using Items = QList<QStringList>; // per item, the field values in field order

QString escape(const QString &text)
{
    QString s = text;
    s.replace(QLatin1Char('&'), QLatin1String("&amp;"));
    s.replace(QLatin1Char('<'), QLatin1String("&lt;"));
    s.replace(QLatin1Char('>'), QLatin1String("&gt;"));
    return s;
}

class Generator
{
public:
    explicit Generator(unsigned seed)
        : m_rng(seed)
    { }

    int pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(m_rng); }

    QString value()
    {
        static const QString alphabet = QStringLiteral("abcXYZ 019 éèàç&<>;,'\"-_/.");
        QString s;
        const int n = pick(12);
        for (int i = 0; i < n; ++i)
            s += alphabet[pick(int(alphabet.size()))];
        return s;
    }

    // A document with every list once, in random order, with random items; the expected
    // values are filled per list.
    QString document(QHash<QString, Items> &expected)
    {
        QString doc = QStringLiteral("<?xml version=\"1.0\"?>\r\n<document>");
        doc += QStringLiteral("<Now>01/01/2026</Now>");
        QList<ListShape> order = kLists;
        std::shuffle(order.begin(), order.end(), m_rng);
        for (const ListShape &list : order) {
            doc += QLatin1Char('<') + list.container + QLatin1Char('>');
            if (pick(2))
                doc += QStringLiteral("\r\n  ");
            Items items;
            const int count = pick(7);
            for (int i = 0; i < count; ++i) {
                doc += QLatin1Char('<') + list.item + QLatin1Char('>');
                QStringList values;
                if (list.fields.isEmpty()) {
                    const QString v = value();
                    doc += escape(v);
                    values << v;
                }
                for (const QString &field : list.fields) {
                    const int form = pick(6);
                    if (form == 0) {
                        doc += QLatin1Char('<') + field + QStringLiteral("/>");
                        values << QString();
                    } else {
                        const QString v = form == 1 ? QString() : value();
                        doc += QLatin1Char('<') + field + QLatin1Char('>') + escape(v)
                                + QStringLiteral("</") + field + QLatin1Char('>');
                        values << v;
                    }
                }
                doc += QStringLiteral("</") + list.item + QLatin1Char('>');
                if (pick(3) == 0)
                    doc += QStringLiteral("\r\n");
                items << values;
            }
            doc += QStringLiteral("</") + list.container + QLatin1Char('>');
            expected.insert(list.container, items);
        }
        doc += QStringLiteral("</document>\r\n");
        return doc;
    }

private:
    std::mt19937 m_rng;
};

Items walkWithCursor(const TXml &shared, const ListShape &list)
{
    TXml x = shared;
    XmlOpen(x, list.container);
    Items items;
    while (XmlNext(x, list.item) != 0) {
        QStringList values;
        if (list.fields.isEmpty())
            values << DecodeEntities(x.Item());
        for (const QString &field : list.fields)
            values << DecodeEntities(XmlGetText(x, field));
        items << values;
    }
    return items;
}

Items walkWithParser(const QString &doc, const ListShape &list)
{
    QXmlStreamReader reader(doc);
    Items items;
    while (!reader.atEnd()) {
        reader.readNext();
        if (!reader.isStartElement() || reader.name() != list.container)
            continue;
        while (reader.readNextStartElement()) {
            QStringList values(list.fields.size());
            if (list.fields.isEmpty()) {
                values << reader.readElementText();
            } else {
                while (reader.readNextStartElement()) {
                    const qsizetype at = list.fields.indexOf(reader.name().toString());
                    const QString text = reader.readElementText();
                    if (at >= 0)
                        values[at] = text;
                }
            }
            items << values;
        }
        break;
    }
    EXPECT_FALSE(reader.hasError()) << reader.errorString().toStdString();
    return items;
}

} // namespace

TEST(TXmlDifferential, ListWalksMatchAnXmlParser)
{
    Generator gen(20260115);
    for (int round = 0; round < 300; ++round) {
        QHash<QString, Items> expected;
        const QString doc = gen.document(expected);
        const TXml cursor(doc);
        for (const ListShape &list : kLists) {
            const Items parsed = walkWithParser(doc, list);
            ASSERT_EQ(parsed, expected.value(list.container)) << doc.toStdString();
            ASSERT_EQ(walkWithCursor(cursor, list), parsed) << list.container.toStdString() << "\n"
                                                            << doc.toStdString();
        }
    }
}
