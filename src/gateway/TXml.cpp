#include "gateway/TXml.h"

#include <QFile>

#include <QVarLengthArray>

#include <algorithm>
#include <cstring>
#include <optional>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// A tag text ("<name>", "</name>", "<name") built on the stack: the cursor builds several for
// every item it walks, and the names are short.
class Tag
{
public:
    Tag(QLatin1String before, QStringView name, QLatin1String after)
    {
        m_text.reserve(before.size() + name.size() + after.size());
        for (char c : before)
            m_text.append(char16_t(uchar(c)));
        m_text.append(name.utf16(), name.size());
        for (char c : after)
            m_text.append(char16_t(uchar(c)));
    }
    QStringView view() const { return QStringView(m_text.constData(), m_text.size()); }
    qsizetype size() const { return m_text.size(); }

private:
    QVarLengthArray<char16_t, 48> m_text;
};

Tag openTag(QStringView name)
{
    return Tag(QLatin1String("<"), name, QLatin1String(">"));
}

Tag closeTag(QStringView name)
{
    return Tag(QLatin1String("</"), name, QLatin1String(">"));
}

// True when needle (n >= 1 characters) stands at p. Tags of one list share their first
// characters ("<", "</"), rarely their last one, which is compared first.
inline bool standsAt(const char16_t *p, const char16_t *needle, qsizetype n)
{
    if (p[n - 1] != needle[n - 1])
        return false;
    for (qsizetype k = 1; k < n - 1; ++k) {
        if (p[k] != needle[k])
            return false;
    }
    return true;
}

// Position of needle in the range [begin, end) of text, absolute, or -1. The needles are short
// tags, so the scan looks for their first character eight at a time and compares the rest
// where it stands: a general substring search costs more in setting up than in searching.
qsizetype findIn(const QString &text, qsizetype begin, qsizetype end, QStringView needle)
{
    const qsizetype n = needle.size();
    if (n == 0)
        return begin;
    const char16_t *hay = reinterpret_cast<const char16_t *>(text.constData());
    const char16_t *ned = needle.utf16();
    const qsizetype last = end - n; // the last position the needle may start at
    qsizetype at = begin;
#if defined(__SSE2__)
    // Places where both the first and the last character stand: tags of one list share their
    // first character, far fewer places also hold their last one.
    const __m128i first = _mm_set1_epi16(short(ned[0]));
    const __m128i final = _mm_set1_epi16(short(ned[n - 1]));
    for (; at + 7 <= last; at += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(hay + at));
        const __m128i ends = _mm_loadu_si128(reinterpret_cast<const __m128i *>(hay + at + n - 1));
        unsigned mask = unsigned(_mm_movemask_epi8(
                _mm_and_si128(_mm_cmpeq_epi16(block, first), _mm_cmpeq_epi16(ends, final))));
        while (mask != 0) {
            const int byte = __builtin_ctz(mask);
            if (standsAt(hay + at + byte / 2, ned, n))
                return at + byte / 2;
            mask &= ~(3u << byte);
        }
    }
#endif
    for (; at <= last; ++at) {
        if (hay[at] == ned[0] && standsAt(hay + at, ned, n))
            return at;
    }
    return -1;
}

// out := value, reusing out's buffer when it is its own: a walk reads the same fields into
// the same strings item after item.
void assign(QString &out, QStringView value)
{
    if (out.isDetached() && out.capacity() >= value.size()) {
        out.resize(value.size());
        std::memcpy(out.data(), value.data(), size_t(value.size()) * sizeof(QChar));
    } else {
        out = value.toString();
    }
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
    return LatinLines(file.readAll());
}

// Latin-1 bytes [p, end) as UTF-16 at out, sixteen at a time; answers the end of what it
// wrote.
static char16_t *widen(const char *p, const char *end, char16_t *out)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    for (; end - p >= 16; p += 16, out += 16) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i *>(out + 8), _mm_unpackhi_epi8(bytes, zero));
    }
#endif
    for (; p < end; ++p)
        *out++ = char16_t(uchar(*p));
    return out;
}

QString LatinLines(QByteArrayView raw)
{
    // Every line ends in CR LF, the last one too. The line ends are found on the bytes, before
    // they become text, by the C library's search.
    const char *p = raw.data();
    const char *const end = p + raw.size();
    const auto next = [end](const char *from, char c) {
        const void *at = std::memchr(from, c, size_t(end - from));
        return at ? static_cast<const char *>(at) : end;
    };
    // Each line becomes text straight into room for the worst case (every byte a line end),
    // cut to size at the end.
    QString lines(raw.size() * 2 + 2, Qt::Uninitialized);
    char16_t *out = reinterpret_cast<char16_t *>(lines.data());
    const char *cr = next(p, '\r'), *lf = next(p, '\n');
    while (p < end) {
        const char *eol = std::min(cr, lf);
        out = widen(p, eol, out);
        *out++ = u'\r';
        *out++ = u'\n';
        if (eol == end)
            break;
        p = eol + (*eol == '\r' && eol + 1 < end && eol[1] == '\n' ? 2 : 1);
        if (cr < p)
            cr = next(p, '\r');
        if (lf < p)
            lf = next(p, '\n');
    }
    lines.truncate(out - reinterpret_cast<const char16_t *>(lines.constData()));
    return lines;
}

void XmlOpen(TXml &x, QStringView name)
{
    x.restBegin = x.restEnd = x.itemBegin = x.itemEnd = 0;
    const qsizetype docEnd = x.Doc.size();
    const qsizetype a
            = findIn(x.Doc, 0, docEnd, Tag(QLatin1String("<"), name, QLatin1String()).view());
    if (a < 0)
        return;
    const qsizetype b = findIn(x.Doc, a + 1, docEnd, u"<");
    if (b < 0)
        return;
    const qsizetype c = findIn(x.Doc, b, docEnd, closeTag(name).view());
    if (c < 0)
        return;
    x.restBegin = x.itemBegin = b;
    x.restEnd = x.itemEnd = c;
}

int XmlNext(TXml &x, QStringView name)
{
    const Tag open = openTag(name);
    const Tag close = closeTag(name);
    const qsizetype p = findIn(x.Doc, x.restBegin, x.restEnd, open.view());
    const qsizetype q = findIn(x.Doc, x.restBegin, x.restEnd, close.view());
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

// The text of child element name of the current item, nullopt when absent.
static std::optional<QStringView> xmlValue(const TXml &x, QStringView name)
{
    const Tag open = openTag(name);
    const qsizetype p = findIn(x.Doc, x.itemBegin, x.itemEnd, open.view());
    if (p < 0)
        return std::nullopt;
    const qsizetype q = findIn(x.Doc, x.itemBegin, x.itemEnd, closeTag(name).view());
    // A closing tag that starts inside the opening one (odd names) reads as absent.
    if (q < p + open.size())
        return std::nullopt;
    return QStringView(x.Doc).mid(p + open.size(), q - p - open.size());
}

void XmlGet(const TXml &x, QStringView name, QString &out)
{
    if (const auto value = xmlValue(x, name))
        assign(out, *value);
}

QString XmlGetText(const TXml &x, QStringView name)
{
    QString value;
    XmlGet(x, name, value);
    return value;
}

// The position of the first c or d in [from, end) of p, or end. Tags and values are mostly
// short: a block of eight is compared at once, with no set-up beyond the characters themselves.
static inline qsizetype scanTo(const char16_t *p, qsizetype from, qsizetype end, char16_t c,
                               char16_t d)
{
#if defined(__SSE2__)
    const __m128i first = _mm_set1_epi16(short(c)), second = _mm_set1_epi16(short(d));
    for (; from + 8 <= end; from += 8) {
        const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i *>(p + from));
        const unsigned mask = unsigned(_mm_movemask_epi8(
                _mm_or_si128(_mm_cmpeq_epi16(block, first), _mm_cmpeq_epi16(block, second))));
        if (mask != 0)
            return from + __builtin_ctz(mask) / 2;
    }
#endif
    for (; from < end; ++from) {
        if (p[from] == c || p[from] == d)
            return from;
    }
    return end;
}

static inline qsizetype scanTo(const char16_t *p, qsizetype from, qsizetype end, char16_t c)
{
    return scanTo(p, from, end, c, c);
}

static inline int lengthChain(qsizetype length, int chains)
{
    return int(std::min<qsizetype>(length, chains - 1));
}

static inline bool sameName(QStringView a, QStringView b)
{
    const qsizetype n = a.size();
    if (n != b.size())
        return false;
    const char16_t *x = a.utf16(), *y = b.utf16();
    // Names are short: compared in place rather than through a call.
    return n == 0 || (x[n - 1] == y[n - 1] && std::equal(x, x + n - 1, y));
}

XmlItemIndex::XmlItemIndex(const TXml &x)
    : m_x(x)
{
    std::fill(std::begin(m_lastOfLength), std::end(m_lastOfLength), -1);
    const QStringView item = m_x.item();
    if (item.isEmpty())
        return;
    const char16_t *const p = item.utf16();
    const qsizetype end = item.size();
    qsizetype gt = -1;
    qsizetype lt = scanTo(p, 0, end, u'<');
    while (lt < end) {
        // Mostly "<name>value</name>": the element is taken whole, its closing tag compared
        // where the value ends instead of being looked up. Anything else (a '<' inside a tag,
        // a value holding tags, another closing tag) is taken a tag at a time below, with the
        // same outcome.
        if (gt < lt && lt + 1 < end && p[lt + 1] != u'/') {
            const qsizetype stop = scanTo(p, lt + 1, end, u'<', u'>');
            if (stop < end && p[stop] == u'>' && stop > lt + 1) {
                gt = stop;
                const QStringView name = item.mid(lt + 1, gt - lt - 1);
                Element *element = find(name);
                if (!element)
                    element = add(name);
                if (element->open < 0)
                    element->open = lt;
                const qsizetype close = scanTo(p, gt + 1, end, u'<');
                const qsizetype n = name.size();
                if (close + 2 + n < end && p[close + 1] == u'/' && p[close + 2 + n] == u'>'
                    && std::equal(p + close + 2, p + close + 2 + n, name.utf16())) {
                    if (element->close < 0)
                        element->close = close;
                    gt = close + 2 + n;
                    lt = scanTo(p, gt + 1, end, u'<');
                } else {
                    lt = close;
                }
                continue;
            }
        }
        // The '>' after the previous '<' is also the first one after this '<' when it lies
        // beyond it, which keeps the pass linear.
        if (gt < lt && (gt = scanTo(p, lt + 1, end, u'>')) >= end)
            break;
        const bool closing = lt + 1 < gt && p[lt + 1] == u'/';
        const QStringView name = item.mid(lt + 1 + closing, gt - lt - 1 - closing);
        // The element read last is the one this closing tag mostly closes.
        Element *element = closing && m_next > 0 && sameName(m_elements[m_next - 1].name, name)
                ? &m_elements[m_next - 1]
                : find(name);
        if (!element)
            element = add(name);
        qsizetype &first = closing ? element->close : element->open;
        if (first < 0)
            first = lt;
        lt = scanTo(p, lt + 1, end, u'<');
    }
    m_next = 0;
}

XmlItemIndex::Element *XmlItemIndex::add(QStringView name)
{
    int &last = m_lastOfLength[lengthChain(name.size(), kLengths)];
    m_elements.push_back(Element {name, -1, -1, last});
    last = int(m_elements.size() - 1);
    m_next = m_elements.size();
    return &m_elements.back();
}

XmlItemIndex::Element *XmlItemIndex::find(QStringView name) const
{
    if (m_next < m_elements.size() && sameName(m_elements[m_next].name, name))
        return &m_elements[m_next++];
    for (int i = m_lastOfLength[lengthChain(name.size(), kLengths)]; i >= 0;
         i = m_elements[size_t(i)].previousOfLength) {
        Element &element = m_elements[size_t(i)];
        if (sameName(element.name, name)) {
            m_next = size_t(i) + 1;
            return &element;
        }
    }
    return nullptr;
}

std::optional<QStringView> XmlItemIndex::value(QStringView name) const
{
    const Element *element = find(name);
    if (!element || element->open < 0 || element->close < 0) {
        // A name holding a tag delimiter, or one that reads as a closing tag, is never an
        // element the pass opened: it is looked for in the text, as the plain reader does.
        const bool odd = name.startsWith(u'/')
                || std::any_of(name.begin(), name.end(),
                               [](QChar c) { return c == u'<' || c == u'>'; });
        return odd ? xmlValue(m_x, name) : std::nullopt;
    }
    const qsizetype body = element->open + name.size() + 2;
    // A closing tag that starts inside the opening one (odd names) reads as absent.
    if (element->close < body)
        return std::nullopt;
    return m_x.item().mid(body, element->close - body);
}

void XmlItemIndex::get(QStringView name, QString &out) const
{
    if (const auto found = value(name))
        assign(out, *found);
}

QString XmlItemIndex::text(QStringView name) const
{
    QString value;
    get(name, value);
    return value;
}

QStringView XmlItemIndex::view(QStringView name) const
{
    return value(name).value_or(QStringView());
}

void XmlGetAttr(const TXml &x, QStringView name, QString &out)
{
    const Tag key(QLatin1String(), name, QLatin1String("=\""));
    const qsizetype p = QStringView(x.Doc).indexOf(key.view());
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
    // Most values hold no entity; a plain scan of a short value says so soonest.
    const char16_t *begin = QStringView(value).utf16();
    if (std::find(begin, begin + value.size(), u'&') == begin + value.size())
        return value;
    QString text = value;
    text.replace(QLatin1String("&amp;"), QLatin1String("&"));
    text.replace(QLatin1String("&lt;"), QLatin1String("<"));
    text.replace(QLatin1String("&gt;"), QLatin1String(">"));
    if (memo)
        text.replace(QLatin1String("&cr;"), QLatin1String("\r\n"));
    return text;
}
