#include "gateway/TXml.h"

#include <QFile>

namespace {

// Position of needle in the range [begin, end) of text, absolute, or -1.
qsizetype findIn(const QString &text, qsizetype begin, qsizetype end, QStringView needle)
{
    const qsizetype at = QStringView(text).mid(begin, end - begin).indexOf(needle);
    return at < 0 ? -1 : begin + at;
}

QString wrap(QLatin1String before, QStringView name, QLatin1String after)
{
    QString tag;
    tag.reserve(before.size() + name.size() + after.size());
    tag += before;
    tag += name;
    tag += after;
    return tag;
}

QString openTag(QStringView name)
{
    return wrap(QLatin1String("<"), name, QLatin1String(">"));
}

QString closeTag(QStringView name)
{
    return wrap(QLatin1String("</"), name, QLatin1String(">"));
}

} // namespace

void TXml::setDoc(const QString &doc)
{
    Doc = doc;
    restBegin = restEnd = itemBegin = itemEnd = 0;
}

QString LoadTextFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        throw FileError(
                QStringLiteral("Impossible d'ouvrir le fichier %1").arg(path).toStdString());
    const QString raw = QString::fromLatin1(file.readAll());
    QString text;
    text.reserve(raw.size() + raw.size() / 16 + 2);
    const qsizetype n = raw.size();
    qsizetype start = 0;
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = raw.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        text += QStringView(raw).mid(start, i - start);
        text += QLatin1String("\r\n");
        if (c == QLatin1Char('\r') && i + 1 < n && raw.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n) {
        text += QStringView(raw).mid(start);
        text += QLatin1String("\r\n");
    }
    return text;
}

void XmlOpen(TXml &x, QStringView name)
{
    x.restBegin = x.restEnd = x.itemBegin = x.itemEnd = 0;
    const qsizetype docEnd = x.Doc.size();
    const qsizetype a = findIn(x.Doc, 0, docEnd, wrap(QLatin1String("<"), name, QLatin1String()));
    if (a < 0)
        return;
    const qsizetype b = findIn(x.Doc, a + 1, docEnd, u"<");
    if (b < 0)
        return;
    const qsizetype c = findIn(x.Doc, b, docEnd, closeTag(name));
    if (c < 0)
        return;
    x.restBegin = x.itemBegin = b;
    x.restEnd = x.itemEnd = c;
}

int XmlNext(TXml &x, QStringView name)
{
    const QString open = openTag(name);
    const QString close = closeTag(name);
    const qsizetype p = findIn(x.Doc, x.restBegin, x.restEnd, open);
    const qsizetype q = findIn(x.Doc, x.restBegin, x.restEnd, close);
    if (p < 0 || q < 0)
        return 0;
    const int position = int(p - x.restBegin + 1);
    // The closing tag may stand before the opening one; the item is then empty.
    const qsizetype bodyBegin = p + open.size();
    x.itemBegin = bodyBegin;
    x.itemEnd = q > bodyBegin ? q : bodyBegin;
    x.restBegin = q + close.size();
    return position;
}

void XmlGet(const TXml &x, QStringView name, QString &out)
{
    const QString open = openTag(name);
    const qsizetype p = findIn(x.Doc, x.itemBegin, x.itemEnd, open);
    if (p < 0)
        return;
    const qsizetype q = findIn(x.Doc, x.itemBegin, x.itemEnd, closeTag(name));
    // A closing tag that starts inside the opening one (odd names) reads as absent.
    if (q < p + open.size())
        return;
    out = x.Doc.mid(p + open.size(), q - p - open.size());
}

QString XmlGetText(const TXml &x, QStringView name)
{
    QString value;
    XmlGet(x, name, value);
    return value;
}

XmlItemIndex::XmlItemIndex(const TXml &x)
    : m_x(x)
{
    const QStringView item = m_x.item();
    qsizetype gt = -1;
    for (qsizetype lt = item.indexOf(u'<'); lt >= 0; lt = item.indexOf(u'<', lt + 1)) {
        // The '>' after the previous '<' is also the first one after this '<' when it lies
        // beyond it, which keeps the pass linear.
        if (gt < lt && (gt = item.indexOf(u'>', lt + 1)) < 0)
            break;
        const QStringView tag = item.mid(lt + 1, gt - lt - 1);
        const bool closing = tag.startsWith(u'/');
        QHash<QStringView, qsizetype> &first = closing ? m_close : m_open;
        const QStringView name = closing ? tag.mid(1) : tag;
        if (!first.contains(name))
            first.insert(name, lt);
    }
}

void XmlItemIndex::get(QStringView name, QString &out) const
{
    // A name holding a tag delimiter, or one that reads as a closing tag, is not what the
    // pass collected.
    if (name.contains(u'<') || name.contains(u'>') || name.startsWith(u'/')) {
        XmlGet(m_x, name, out);
        return;
    }
    const auto open = m_open.constFind(name);
    const auto close = m_close.constFind(name);
    if (open == m_open.cend() || close == m_close.cend())
        return;
    const qsizetype body = *open + name.size() + 2;
    // A closing tag that starts inside the opening one (odd names) reads as absent.
    if (*close < body)
        return;
    out = m_x.item().mid(body, *close - body).toString();
}

QString XmlItemIndex::text(QStringView name) const
{
    QString value;
    get(name, value);
    return value;
}

void XmlGetAttr(const TXml &x, QStringView name, QString &out)
{
    const QString key = wrap(QLatin1String(), name, QLatin1String("=\""));
    const qsizetype p = x.Doc.indexOf(key);
    if (p < 0)
        return;
    const QStringView window = QStringView(x.Doc).mid(p + key.size(), 20);
    const qsizetype quote = window.indexOf(QLatin1Char('"'));
    if (quote < 0)
        return;
    out = window.left(quote).toString();
}

QString DecodeEntities(const QString &value, bool memo)
{
    if (!value.contains(QLatin1Char('&')))
        return value;
    QString text = value;
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    if (memo)
        text.replace(QLatin1String("&cr;"), QLatin1String("\r\n"));
    return text;
}
