#pragma once
// What the download and the delete share on the server: the walk of a
// folder tree, the way into a folder from "/", the test of a listed name and
// the line of an item left out.

#include "platform/wininet.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

// The separator of server paths.
inline const QString ServerSlash = QStringLiteral("/");

// What the walks of a server folder tree (the download's, the delete's) do
// their own way.
struct ServerFolderWalk {
    // A fresh connection before each folder is listed; without it the walk
    // lists on the connection it is given.
    bool reconnect = false;
    // Pending window messages handled per listed entry.
    bool yield = false;
    // Appends one record: a file (its name and the listed folder with a
    // closing "/") or a folder (an empty name and its own path with a
    // closing "/").
    std::function<void(const QString &name, const QString &path, const WIN32_FIND_DATA &data)> add;
    // The failure text (a language key) of the red line for what is not
    // walked: a listed name that may not be joined into a path (the folder
    // and the name), a folder that cannot be entered, that is not the folder
    // it was named as (a link the server resolved), or whose listing failed.
    const char *failedKey = "";
    // Tried on each listed folder, in the folder holding it, before it is
    // recorded: true when it proved to be no folder (a link the server
    // lists as its target) and was dealt with; it is then not walked.
    std::function<bool(const QString &folder, const QString &name)> notAFolder;
};

// Lists the server folder path, then walks its sub-folders in listing order:
// every folder's entries come before the entries of its first sub-folder. A
// path without a closing "/" gets one (the caller's variable too).
// The folder is reached from "/" one component at a time; when one cannot be
// entered the folder is refused and nothing is listed in its place. The walk
// stays inside the folder: links are listed as files, never walked, and a
// folder the server reports (PWD) under another path is refused, so that
// neither a link to another folder nor a loop is followed.
void ListServerFolderTree(const ServerFolderWalk &walk, HINTERNET connection, QString &path,
                          const QString &mask);

// The folders of a server path from the root down; empty pieces (the root,
// doubled or closing separators) are left out.
QStringList ServerPathComponents(const QString &path);
// Sets the server's current folder from "/" one component at a time; false
// when one cannot be entered (the walk goes no further; the server's folder
// is then unknown until the next absolute change).
bool ChangeDownFromRoot(const QStringList &parts);

// A name from the server that may be joined into a path: not empty, not "."
// or "..", no "/" and no line break or NUL in it, and no longer than a name
// any file system holds (1023 bytes in UTF-8: ext4 and the like take 255
// bytes, NTFS and HFS+ 255 UTF-16 units, APFS 255 characters, OpenZFS 1023
// bytes). A "\" is an ordinary letter of a name on a Unix server and on the
// local disk.
bool IsSafeServerName(const QString &name);
// A server name or path as a log line shows it: one longer than any path
// (4096 characters) only by its beginning, so that a hostile server's
// megabyte name never fills the log.
QString ShownServerName(const QString &name);

// The red line of an item a server command leaves out: the command's
// failure text (a language key) and the item.
void LogRefused(const char *failedKey, const QString &what);

// Refuses every collected record (a file by its name, a folder by its path)
// and drops them all: used when the records belong to no known folder.
template <class Entry> void RefuseAll(std::vector<Entry> &entries, const char *failedKey)
{
    for (const Entry &e : entries)
        LogRefused(failedKey, e.Name.isEmpty() ? e.Path : e.Name);
    entries.clear();
}
