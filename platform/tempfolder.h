#pragma once
// The program's temporary folder "tempqvenk": per user and private (mode
// 0700). Server files are fetched there to be opened, and empty placeholder
// files are made there to learn type names and icons. The candidates are
// tried in order: the user's cache folder, then the system's temporary
// folder (as "tempqvenk-" and the user id). A candidate that belongs to
// another user, is not a plain folder, or that others may write is skipped.

#include <QString>
#include <QStringList>

namespace TempFolder {

// The candidate folders, in the order they are tried.
QStringList candidates();

// Makes the candidate folder when it is missing (mode 0700). True when it is
// then a real folder (not a link) of this user that no one else may write.
bool prepare(const QString &folder);

// Makes the empty file `name` in the folder; an existing file keeps its
// contents. A name that is not a plain file name (empty, ".", "..", holding
// "/" or NUL) fails, so a server's name never reaches outside the folder.
bool touch(const QString &folder, const QString &name);

// Removes the folder when it is empty; a folder that holds files stays.
void removeIfEmpty(const QString &folder);

// Whether a name can be used as a file name inside the folder: also not
// longer than a folder entry can be.
bool isPlainFileName(const QString &name);

} // namespace TempFolder
