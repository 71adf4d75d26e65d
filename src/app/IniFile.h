#pragma once

#include <QList>
#include <QString>

// The settings file: an INI text of sections and key=value lines with plain profile
// semantics. Section and key names compare without case; a value is everything after the
// first "=", with the blanks around it removed, and nothing else is interpreted (commas,
// quotes and semicolons are kept as they are). Lines that are not understood are kept.
class IniFile
{
public:
    explicit IniFile(QString path = QString())
        : m_path(std::move(path))
    { }

    // Reads the file; a missing or unreadable file reads as empty. Answers false then.
    bool load();
    // Writes the whole file in one replace. On failure error is set to the user message
    // "Impossible d'écrire dans " + path and false is answered; the old file stays as it was.
    bool save(QString *error = nullptr) const;

    QString value(const QString &section, const QString &key,
                  const QString &defaultValue = QString()) const;
    // Line breaks in a value would split it into lines of their own: they are written as spaces.
    void setValue(const QString &section, const QString &key, const QString &value);

    const QString &path() const { return m_path; }
    QString text() const;
    void setText(const QString &text);

private:
    struct Line
    {
        QString raw;
        QString section; // set on section headers
        QString key; // set on key lines
        QString value;
    };
    qsizetype findSection(const QString &section) const;

    QString m_path;
    QList<Line> m_lines;
};

// The text of the error raised when the settings file cannot be written.
QString WriteErrorText(const QString &path);

// Opens the file, writes the values into section, closes it; other keys stay as they were.
// A file that exists but cannot be read is not overwritten: that counts as a failed write.
bool WriteIniValues(const QString &path, const QString &section,
                    const QList<std::pair<QString, QString>> &values, QString *error = nullptr);
