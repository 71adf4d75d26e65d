#pragma once

// Builds small PE images with a version resource, for the file version reader's tests.

#include <QByteArray>
#include <QList>
#include <QString>

#include <QtEndian>

namespace pe {

inline void u16(QByteArray &b, quint32 v)
{
    b.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF));
}
inline void u32(QByteArray &b, quint32 v)
{
    u16(b, v & 0xFFFF);
    u16(b, v >> 16);
}
inline void put32(QByteArray &b, qsizetype at, quint32 v)
{
    qToLittleEndian<quint32>(v, b.data() + at);
}
inline void pad4(QByteArray &b)
{
    while (b.size() % 4)
        b.append('\0');
}

// One node of a version block.
inline QByteArray node(const QString &key, const QByteArray &value, quint16 valueLength,
                       quint16 type, const QList<QByteArray> &children = {})
{
    QByteArray b;
    u16(b, 0);
    u16(b, valueLength);
    u16(b, type);
    for (QChar c : key)
        u16(b, c.unicode());
    u16(b, 0);
    pad4(b);
    b += value;
    pad4(b);
    for (const QByteArray &child : children) {
        b += child;
        pad4(b);
    }
    qToLittleEndian<quint16>(quint16(b.size()), b.data());
    return b;
}

inline QByteArray text(const QString &s)
{
    QByteArray b;
    for (QChar c : s)
        u16(b, c.unicode());
    u16(b, 0);
    return b;
}

// A version block whose string table is tableKey and whose translation (when given) names
// language and code page.
inline QByteArray versionBlock(const QString &fileVersion, const QString &tableKey,
                               bool withTranslation, quint16 language = 0x040c,
                               quint16 codePage = 0x04e4)
{
    const QByteArray str = node(QStringLiteral("FileVersion"), text(fileVersion),
                                quint16(fileVersion.size() + 1), 1);
    const QByteArray other
            = node(QStringLiteral("CompanyName"), text(QStringLiteral("Zolvare")), 8, 1);
    const QByteArray table = node(tableKey, {}, 0, 1, {other, str});
    QList<QByteArray> children = {node(QStringLiteral("StringFileInfo"), {}, 0, 1, {table})};
    if (withTranslation) {
        QByteArray pair;
        u16(pair, language);
        u16(pair, codePage);
        const QByteArray var = node(QStringLiteral("Translation"), pair, 4, 0);
        children.append(node(QStringLiteral("VarFileInfo"), {}, 0, 1, {var}));
    }
    QByteArray fixed(52, '\0');
    put32(fixed, 0, 0xFEEF04BD);
    return node(QStringLiteral("VS_VERSION_INFO"), fixed, 52, 0, children);
}

// A PE32 image with one ".rsrc" section holding one resource of the given type.
inline QByteArray image(const QByteArray &block, quint32 resourceType = 16)
{
    QByteArray rsrc;
    auto directory = [&rsrc](quint32 id, quint32 offset) {
        u32(rsrc, 0);
        u32(rsrc, 0);
        u16(rsrc, 0);
        u16(rsrc, 0);
        u16(rsrc, 0); // named entries
        u16(rsrc, 1); // id entries
        u32(rsrc, id);
        u32(rsrc, offset);
    };
    directory(resourceType, 0x80000000u | 0x18);
    directory(1, 0x80000000u | 0x30);
    directory(0x040c, 0x48);
    u32(rsrc, 0x1000 + 0x58);
    u32(rsrc, quint32(block.size()));
    u32(rsrc, 0);
    u32(rsrc, 0);
    rsrc += block;
    pad4(rsrc);

    QByteArray img(0x200, '\0');
    img[0] = 'M';
    img[1] = 'Z';
    put32(img, 0x3C, 0x40);
    img.replace(0x40, 4, QByteArray("PE\0\0", 4));
    qToLittleEndian<quint16>(0x14c, img.data() + 0x44);
    qToLittleEndian<quint16>(1, img.data() + 0x46);
    qToLittleEndian<quint16>(224, img.data() + 0x54);
    const qsizetype optional = 0x58;
    qToLittleEndian<quint16>(0x10b, img.data() + optional);
    put32(img, optional + 92, 16);
    put32(img, optional + 96 + 16, 0x1000);
    put32(img, optional + 96 + 20, quint32(rsrc.size()));
    const qsizetype section = optional + 224;
    img.replace(section, 8, QByteArray(".rsrc\0\0\0", 8));
    put32(img, section + 8, quint32(rsrc.size()));
    put32(img, section + 12, 0x1000);
    put32(img, section + 16, quint32(rsrc.size()));
    put32(img, section + 20, 0x200);
    return img + rsrc;
}

} // namespace pe
