#include "platform/FileVersion.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <optional>

namespace {

constexpr quint32 kRtVersion = 16;
constexpr qint64 kMaxImageSize = 256 * 1024 * 1024;

// Little-endian reads that answer nothing instead of reading past the end.
struct Bytes
{
    const QByteArray &data;

    std::optional<quint32> u16(qint64 at) const
    {
        if (at < 0 || at + 2 > data.size())
            return std::nullopt;
        const auto *p = reinterpret_cast<const uchar *>(data.constData() + at);
        return quint32(p[0]) | quint32(p[1]) << 8;
    }
    std::optional<quint32> u32(qint64 at) const
    {
        const auto lo = u16(at), hi = u16(at + 2);
        if (!lo || !hi)
            return std::nullopt;
        return *lo | *hi << 16;
    }
};

struct Section
{
    quint32 virtualAddress, virtualSize, rawSize, rawOffset;
};

qint64 align4(qint64 v)
{
    return (v + 3) & ~qint64(3);
}

// One node of a version block: key, value bytes and the range of its children.
struct VersionNode
{
    QString key;
    qint64 valueAt = 0, valueBytes = 0;
    qint64 childrenAt = 0, end = 0;
    bool text = false;
};

std::optional<VersionNode> readNode(const QByteArray &block, qint64 at, qint64 limit)
{
    const Bytes b {block};
    const auto length = b.u16(at), valueLength = b.u16(at + 2), type = b.u16(at + 4);
    if (!length || !valueLength || !type || *length < 6 || at + *length > limit)
        return std::nullopt;
    VersionNode node;
    node.end = at + *length;
    qint64 p = at + 6;
    while (true) {
        const auto c = b.u16(p);
        if (!c || p >= node.end)
            return std::nullopt;
        p += 2;
        if (*c == 0)
            break;
        node.key += QChar(char16_t(*c));
    }
    node.text = *type == 1;
    node.valueAt = align4(p);
    node.valueBytes = node.text ? qint64(*valueLength) * 2 : *valueLength;
    if (node.valueAt + node.valueBytes > node.end)
        node.valueBytes = std::max<qint64>(0, node.end - node.valueAt);
    node.childrenAt = align4(node.valueAt + node.valueBytes);
    return node;
}

std::optional<VersionNode> findChild(const QByteArray &block, const VersionNode &parent,
                                     const QString &key)
{
    qint64 at = parent.childrenAt;
    while (at + 6 <= parent.end) {
        const auto child = readNode(block, at, parent.end);
        if (!child)
            return std::nullopt;
        if (child->key.compare(key, Qt::CaseInsensitive) == 0)
            return child;
        at = align4(child->end);
    }
    return std::nullopt;
}

// Follows a path such as "\StringFileInfo\040c04e4\FileVersion" from the root node.
std::optional<VersionNode> query(const QByteArray &block, const QString &path)
{
    auto node = readNode(block, 0, block.size());
    if (!node)
        return std::nullopt;
    const QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    for (const QString &part : parts) {
        node = findChild(block, *node, part);
        if (!node)
            return std::nullopt;
    }
    return node;
}

QString textValue(const QByteArray &block, const VersionNode &node)
{
    QString value;
    for (qint64 p = node.valueAt; p + 2 <= node.valueAt + node.valueBytes; p += 2) {
        const auto c = Bytes {block}.u16(p);
        if (!c || *c == 0)
            break;
        value += QChar(char16_t(*c));
    }
    return value;
}

} // namespace

QString FileVersionOfBlock(const QByteArray &block)
{
    std::optional<VersionNode> found;
    if (const auto translation = query(block, QStringLiteral("\\VarFileInfo\\Translation"));
        translation && translation->valueBytes >= 4) {
        const Bytes b {block};
        const quint32 language = b.u16(translation->valueAt).value_or(0);
        const quint32 codePage = b.u16(translation->valueAt + 2).value_or(0);
        found = query(block,
                      QStringLiteral("\\StringFileInfo\\%1%2\\FileVersion")
                              .arg(language, 4, 16, QLatin1Char('0'))
                              .arg(codePage, 4, 16, QLatin1Char('0')));
    } else {
        found = query(block, QStringLiteral("FileVersion"));
    }
    return found ? textValue(block, *found) : QString();
}

QByteArray PeVersionBlock(const QByteArray &image)
{
    const Bytes b {image};
    if (image.size() < 64 || image[0] != 'M' || image[1] != 'Z')
        return {};
    const qint64 pe = b.u32(0x3C).value_or(0);
    if (pe <= 0 || image.mid(pe, 4) != QByteArray("PE\0\0", 4))
        return {};
    const qint64 coff = pe + 4;
    const auto sectionCount = b.u16(coff + 2), optionalSize = b.u16(coff + 16);
    const qint64 optional = coff + 20;
    const auto magic = b.u16(optional);
    if (!sectionCount || !optionalSize || !magic)
        return {};
    qint64 directories = 0, directoryCountAt = 0;
    if (*magic == 0x10b) {
        directoryCountAt = optional + 92;
        directories = optional + 96;
    } else if (*magic == 0x20b) {
        directoryCountAt = optional + 108;
        directories = optional + 112;
    } else {
        return {};
    }
    if (b.u32(directoryCountAt).value_or(0) < 3)
        return {};
    const quint32 resourceRva = b.u32(directories + 2 * 8).value_or(0);
    if (resourceRva == 0)
        return {};

    QList<Section> sections;
    const qint64 table = optional + *optionalSize;
    for (quint32 i = 0; i < *sectionCount; ++i) {
        const qint64 s = table + qint64(i) * 40;
        const auto vsize = b.u32(s + 8), va = b.u32(s + 12), rsize = b.u32(s + 16),
                   raw = b.u32(s + 20);
        if (!vsize || !va || !rsize || !raw)
            return {};
        sections.append({*va, *vsize, *rsize, *raw});
    }
    auto offsetOf = [&](quint32 rva) -> qint64 {
        for (const Section &s : sections) {
            const quint32 span = std::max(s.virtualSize, s.rawSize);
            if (rva >= s.virtualAddress && rva - s.virtualAddress < span)
                return qint64(rva - s.virtualAddress) + s.rawOffset;
        }
        return -1;
    };
    const qint64 root = offsetOf(resourceRva);
    if (root < 0)
        return {};

    // Type directory: the RT_VERSION entry; then the first name and the first language.
    qint64 directory = root;
    for (int level = 0; level < 3; ++level) {
        const auto named = b.u16(directory + 12), ids = b.u16(directory + 14);
        if (!named || !ids || *named + *ids == 0)
            return {};
        std::optional<quint32> target;
        for (quint32 i = 0; i < *named + *ids; ++i) {
            const qint64 entry = directory + 16 + qint64(i) * 8;
            const auto name = b.u32(entry), offset = b.u32(entry + 4);
            if (!name || !offset)
                return {};
            if (level > 0 || *name == kRtVersion) {
                target = *offset;
                break;
            }
        }
        if (!target)
            return {};
        const bool isDirectory = *target & 0x80000000u;
        const qint64 next = root + (*target & 0x7FFFFFFFu);
        if (level < 2) {
            if (!isDirectory)
                return {};
            directory = next;
        } else {
            if (isDirectory)
                return {};
            const auto dataRva = b.u32(next), dataSize = b.u32(next + 4);
            if (!dataRva || !dataSize)
                return {};
            const qint64 at = offsetOf(*dataRva);
            if (at < 0 || at + *dataSize > image.size())
                return {};
            return image.mid(at, *dataSize);
        }
    }
    return {};
}

QString BuildFileVersion()
{
    return QStringLiteral(DRAVIK_FILE_VERSION);
}

QString ReadFileVersion(const QString &path)
{
    if (path.isEmpty())
        return {};
    if (QCoreApplication::instance()) {
        const QString self = QFileInfo(QCoreApplication::applicationFilePath()).canonicalFilePath();
        if (!self.isEmpty() && QFileInfo(path).canonicalFilePath() == self)
            return BuildFileVersion();
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxImageSize)
        return {};
    const QByteArray block = PeVersionBlock(file.readAll());
    return block.isEmpty() ? QString() : FileVersionOfBlock(block);
}
