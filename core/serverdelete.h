#pragma once
// Deletes the server pane's selection on the server: files, and folders with
// everything inside them. All files go first, then the folders from the
// deepest up, so that each folder is empty when it is removed.

#include "core/upload.h"
#include "platform/wininet.h"

#include <QString>
#include <QStringList>

#include <vector>

// The items of the delete in progress: the selection first, then what the
// listing of each selected folder found. Name empty for a folder.
extern std::vector<SelectionEntry> DeleteList;

// Deletes the selected items of the server pane (asking nothing), then
// reconnects, returns to the folder where it started and drops from the
// pane's path combo every folder that can no longer be entered.
void DeleteServerSelection();
// Appends the entries of the server folder path and, recursively, of its
// sub-folders, on the connection as it is. A path without a closing "/"
// gets one.
int ListServerFolderForDelete(HINTERNET connection, QString &path, const QString &mask);

// The delete of the pane's "del" button, the context menu and the main
// menu: the delete, the list read again, the path combo pruned (each entry
// tried from "/"), and the server back in the folder the list shows.
void DeleteServerSelectionAndPrune();

// The rules of the delete, without a server.

// The record of a selected item of the folder start (the server's current
// folder): a folder (empty size column) or a file.
SelectionEntry DeleteSelectionEntry(const QString &startFolder, const QString &text, bool isFolder);
// Whether a list item's text takes part in a delete: not when it holds ".."
// anywhere (the parent entry, or a name like "a..b").
bool TakesPartInDelete(const QString &text);
// The file's full path for the log: its folder with a closing "/" in front
// of the name, "\" read as "/", always starting with "/".
QString DeleteLogPath(const QString &path, const QString &name);
// Longest first; folders of the same length keep their order, so every
// sub-folder comes before the folder that holds it.
void SortFoldersLongestFirst(QStringList &folders);
// The folder that holds a folder to remove, and its own name: "/pub/docs/"
// and "/pub/docs" both give {"pub"} and "docs". An empty name for "/".
struct FolderToRemove {
    QStringList parent;
    QString name;
};
FolderToRemove SplitFolderToRemove(const QString &path);

void ResetDeleteState();
