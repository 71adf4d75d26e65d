#include "app/Launch.h"

bool ParseLaunchArguments(const QStringList &arguments, QList<std::pair<QString, QString>> &keys,
                          QString *badArgument)
{
    keys.clear();
    for (const QString &argument : arguments) {
        const qsizetype eq = argument.indexOf(QLatin1Char('='));
        const QString key = argument.left(eq).trimmed();
        // Keys that would read back as a section header, a comment or another key are refused.
        if (eq <= 0 || key.isEmpty() || key.startsWith(QLatin1Char('['))
            || key.startsWith(QLatin1Char(';')) || key.contains(QLatin1Char('\n'))
            || key.contains(QLatin1Char('\r'))) {
            if (badArgument)
                *badArgument = argument;
            keys.clear();
            return false;
        }
        keys.append({key, argument.mid(eq + 1)});
    }
    return true;
}
