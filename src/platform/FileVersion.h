#pragma once

#include <QByteArray>
#include <QString>

// The "FileVersion" string of an executable's version resource, or empty. Reads the version
// block of a PE file; the program's own executables answer the version they were built with.
QString ReadFileVersion(const QString &path);

// The "FileVersion" of a raw version block (VS_VERSIONINFO): through the first language and
// code page of "\VarFileInfo\Translation" when present, else "FileVersion" at the root.
QString FileVersionOfBlock(const QByteArray &block);

// The raw version block of a PE image, or empty when it has none.
QByteArray PeVersionBlock(const QByteArray &image);

// Version of the programs of this build.
QString BuildFileVersion();
