#pragma once
// What the desktop knows about a file by its name: its type's name in the
// system's language and its icons. Matched by file name only (no content
// sniffing); an unknown type gives an empty name.

#include <QIcon>
#include <QString>

namespace ShellInfo {
// The type comment of the file name's MIME type, "" when the type is unknown.
QString typeName(const QString &path);
// The theme icon of the file's type (its icon name, then its generic icon
// name), 16 px when small, else 32 px; a folder path gives the folder icon.
QIcon icon(const QString &path, bool small);
} // namespace ShellInfo
