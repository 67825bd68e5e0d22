#pragma once
// The local folder tree: a top node for the place and, below it, folders
// loaded one level ahead of what the user has opened. Node keys are full
// paths ending in "/" in the case the file system gives them.

#include "localpane/listingformat.h"

#include <QString>

#include <vector>

class QTreeWidgetItem;
class TreeView;

struct LocalFolderEntry {
    QString Name;
    QString FullPath; // the parent path, the name and a closing "/"
};

// The local pane sorts the tree's folders ignoring case; the context menu's
// copy of the tree code sorts them by character code.
enum class FolderOrder { IgnoreCase, ByCode };

// A folder path with each run of "/" made one and a closing "/", so that
// "a//b" and "a/b/" name the same node and the same folder is searched.
QString FolderKeyOf(const QString &path);
// The text of a place's top node: its path without the closing "/" ("/" stays).
QString PlaceNodeText(const QString &place);

// The sub-folders of path (hidden ones too, never files), sorted.
std::vector<LocalFolderEntry> ScanFolderEntries(const QString &path, FolderOrder order);

// Adds one child node per sub-folder of path below the node whose key is
// path; a folder already in the tree is not added twice.
void GetFilestrwPaths(TreeView &tree, const QString &path, FolderOrder order);
// Rebuilds the tree for a place: its top node, its first level, expanded.
void ReadDrive(TreeView &tree, const QString &drive);
// Removes the children of node (with the nodes below them) whose folders
// are gone, deleted or renamed since the node's folder was scanned.
void RemoveGoneFolders(TreeView &tree, QTreeWidgetItem *node);
// Adds the sub-folders of node's folder that it does not hold yet (made or
// renamed since it was scanned), each in its place among its sorted
// brothers; returns the nodes added.
std::vector<QTreeWidgetItem *> AddNewFolders(TreeView &tree, QTreeWidgetItem *node);
