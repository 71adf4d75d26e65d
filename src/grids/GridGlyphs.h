#pragma once

#include <QCursor>
#include <QGuiApplication>
#include <QString>

// The glyph a grid row shows in its first cell, by its number in the shared image list, and
// the cursor test of the glyph clicks.
namespace GridGlyph {

inline const QString Delete = QStringLiteral("0");
inline const QString Add = QStringLiteral("1"); // the add row; a new action
inline const QString None = QStringLiteral("2");

// No operation in progress: the glyph clicks act only then.
inline bool cursorIsNormal()
{
    const QCursor *cursor = QGuiApplication::overrideCursor();
    return !cursor || cursor->shape() == Qt::ArrowCursor;
}

} // namespace GridGlyph
