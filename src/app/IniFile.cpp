#include "app/IniFile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

QString trimBlanks(QStringView text)
{
    qsizetype begin = 0, end = text.size();
    while (begin < end && (text[begin] == u' ' || text[begin] == u'\t'))
        ++begin;
    while (end > begin && (text[end - 1] == u' ' || text[end - 1] == u'\t'))
        --end;
    return text.mid(begin, end - begin).toString();
}

// The settings file is written in UTF-8; one written by a Windows-era tool is read as Latin-1.
QString decode(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    return text;
}

} // namespace

QString WriteErrorText(const QString &path)
{
    return QStringLiteral("Impossible d'écrire dans ") + path;
}

void IniFile::setText(const QString &text)
{
    m_lines.clear();
    QString section;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString raw = lines[i];
        if (raw.endsWith(QLatin1Char('\r')))
            raw.chop(1);
        if (i == lines.size() - 1 && raw.isEmpty())
            break; // the final line end
        Line line {raw, {}, {}, {}};
        const QString trimmed = trimBlanks(raw);
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            section = trimBlanks(QStringView(trimmed).mid(1, trimmed.size() - 2));
            line.section = section;
        } else if (!trimmed.startsWith(QLatin1Char(';'))) {
            const qsizetype eq = raw.indexOf(QLatin1Char('='));
            if (eq > 0) {
                line.key = trimBlanks(QStringView(raw).left(eq));
                line.value = trimBlanks(QStringView(raw).mid(eq + 1));
                line.section = section;
            }
        }
        m_lines.append(line);
    }
}

QString IniFile::text() const
{
    QString text;
    for (const Line &line : m_lines)
        text += line.raw + QStringLiteral("\r\n");
    return text;
}

bool IniFile::load()
{
    m_lines.clear();
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    setText(decode(file.readAll()));
    return true;
}

bool IniFile::save(QString *error) const
{
    QSaveFile file(m_path);
    // A folder that forbids new files may still allow rewriting the file in place.
    file.setDirectWriteFallback(true);
    if (file.open(QIODevice::WriteOnly)) {
        file.write(text().toUtf8());
        if (file.commit())
            return true;
    }
    if (error)
        *error = WriteErrorText(m_path);
    return false;
}

qsizetype IniFile::findSection(const QString &section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        const Line &line = m_lines[i];
        if (line.key.isEmpty() && !line.section.isEmpty()
            && line.section.compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString IniFile::value(const QString &section, const QString &key,
                       const QString &defaultValue) const
{
    // The key first, and its length before its letters: most lines fail there.
    for (const Line &line : m_lines) {
        if (line.key.size() == key.size() && !line.key.isEmpty()
            && line.key.compare(key, Qt::CaseInsensitive) == 0
            && line.section.compare(section, Qt::CaseInsensitive) == 0)
            return line.value;
    }
    return defaultValue;
}

void IniFile::setValue(const QString &section, const QString &key, const QString &value)
{
    QString flat = value;
    flat.replace(QLatin1String("\r\n"), QLatin1String(" "));
    flat.replace(QLatin1Char('\r'), QLatin1Char(' '));
    flat.replace(QLatin1Char('\n'), QLatin1Char(' '));
    const Line fresh {key + QLatin1Char('=') + flat, section, key, trimBlanks(flat)};

    for (Line &line : m_lines) {
        if (!line.key.isEmpty() && line.section.compare(section, Qt::CaseInsensitive) == 0
            && line.key.compare(key, Qt::CaseInsensitive) == 0) {
            line = fresh;
            return;
        }
    }
    qsizetype at = findSection(section);
    if (at < 0) {
        if (!m_lines.isEmpty() && !trimBlanks(m_lines.last().raw).isEmpty())
            m_lines.append(Line {});
        m_lines.append(Line {QLatin1Char('[') + section + QLatin1Char(']'), section, {}, {}});
        m_lines.append(fresh);
        return;
    }
    // After the last key line of the section.
    qsizetype insertAt = at + 1;
    for (qsizetype i = at + 1; i < m_lines.size(); ++i) {
        if (m_lines[i].key.isEmpty() && !m_lines[i].section.isEmpty())
            break;
        if (!m_lines[i].key.isEmpty())
            insertAt = i + 1;
    }
    m_lines.insert(insertAt, fresh);
}

bool WriteIniValues(const QString &path, const QString &section,
                    const QList<std::pair<QString, QString>> &values, QString *error)
{
    IniFile ini(path);
    if (!ini.load() && QFileInfo::exists(path)) {
        if (error)
            *error = WriteErrorText(path);
        return false;
    }
    for (const auto &[key, value] : values)
        ini.setValue(section, key, value);
    return ini.save(error);
}
