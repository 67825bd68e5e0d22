#pragma once
// The walk over a pane list's selection that the upload, the download and
// the delete start from.

#include <QString>

#include <functional>

class ListView;

using SelectedItemVisit = std::function<void(const QString &text, bool isFolder)>;

// Calls visit, in list order, for each selected item of list with its text
// and whether it is a folder (its size column is empty).
void ForEachSelectedItem(const ListView &list, const SelectedItemVisit &visit);

// The same over the server list, without "..". takesPart, when given, leaves
// out further items. A name that may not be joined into a path is handed to
// refuse instead of visit: "a/b" would otherwise name b in the folder a.
void ForEachSelectedServerItem(const std::function<bool(const QString &text)> &takesPart,
                               const std::function<void(const QString &text)> &refuse,
                               const SelectedItemVisit &visit);
