#pragma once

#include <QHash>
#include <QString>
#include <QStringView>
#include <QVarLengthArray>

#include <optional>
#include <stdexcept>
#include <vector>

// A file the program expected to read is missing or unreadable.
class FileError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// Forward-only text cursor over a server document. The documents are small and follow
// fixed conventions (list containers named item + "S", values as child elements without
// attributes), so elements are found by searching for their tag texts, never parsed.
//
// Rest and Item are kept as ranges of Doc: copying a cursor shares the document text, and
// walking a list never copies the remainder of the document.
struct TXml
{
    QString Doc;
    qsizetype restBegin = 0;
    qsizetype restEnd = 0;
    qsizetype itemBegin = 0;
    qsizetype itemEnd = 0;

    TXml() = default;
    explicit TXml(const QString &doc)
        : Doc(doc)
    { }

    // Replaces the document; Rest and Item become empty.
    void setDoc(const QString &doc);
    void clear() { setDoc(QString()); }

    QStringView rest() const { return QStringView(Doc).mid(restBegin, restEnd - restBegin); }
    QStringView item() const { return QStringView(Doc).mid(itemBegin, itemEnd - itemBegin); }
    QString Rest() const { return rest().toString(); }
    QString Item() const { return item().toString(); }
};

// Reads a whole file as Latin-1 lines (CR LF, LF or CR ends), each followed by CR LF.
// Throws FileError when the file is missing or cannot be read.
QString LoadTextFile(const QString &path);
// The same text from bytes already in memory.
QString LatinLines(QByteArrayView bytes);

// Selects a container: the body of the first element whose tag begins with "<" + name, from
// its first child tag up to the first "</" + name + ">". The cursor is emptied when not found.
void XmlOpen(TXml &x, QStringView name);

// Takes the next "<name>...</name>" item of Rest. Answers its 1-based position in Rest, or 0
// when there is none (Rest and Item are then left unchanged).
int XmlNext(TXml &x, QStringView name);

// Writes the value of child element name of the current item into out; out is untouched when
// the element is absent or self-closing.
void XmlGet(const TXml &x, QStringView name, QString &out);

// The value of child element name of the current item, empty when absent.
QString XmlGetText(const TXml &x, QStringView name);

// The child elements of a cursor's current item, found in one pass: the answers of XmlGet for
// the many fields read from one record, without searching the record once per field. Keeps
// its own copy of the cursor, so later moves of the original do not affect it.
class XmlItemIndex
{
public:
    XmlItemIndex(const TXml &x); // implicit: wherever a record cursor is read
    void get(QStringView name, QString &out) const; // as XmlGet
    QString text(QStringView name) const;
    // The text as the document writes it (entities not decoded), empty when absent: valid
    // while the document lives.
    QStringView view(QStringView name) const;

private:
    struct Element
    {
        QStringView name;
        qsizetype open = -1; // first "<name>", an item offset
        qsizetype close = -1; // first "</name>"
        int previousOfLength = -1; // the element before it whose name has the same length
    };
    Element *find(QStringView name) const;
    Element *add(QStringView name);
    std::optional<QStringView> value(QStringView name) const;

    TXml m_x;
    // In the order they first appear, each name once. A read tries the element after the one
    // read last (fields are mostly read in their order), then the elements whose names have
    // its length: a row holds a few dozen, where hashing each name would cost more.
    mutable QVarLengthArray<Element, 24> m_elements; // a search row holds 14
    mutable size_t m_next = 0;
    static constexpr int kLengths = 32; // longer names share the last chain
    int m_lastOfLength[kLengths];
};

// Writes the value of attribute name (searched anywhere in the document) into out; out is
// untouched when absent or when the value has 20 characters or more.
void XmlGetAttr(const TXml &x, QStringView name, QString &out);

// Decodes the entities the server writes: "&amp;", "&lt;", "&gt;" and, for memo texts,
// "&cr;" as a CR LF line break. Nothing else is decoded.
QString DecodeEntities(const QString &value, bool memo = false);
