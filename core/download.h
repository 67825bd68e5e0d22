#pragma once
// Downloads the server pane's selection (files and whole folder trees) into
// the local pane's current folder.

#include "platform/wininet.h"

#include <QString>

#include <cstdint>
#include <vector>

// One item of the download: Name empty for a folder; Path "*" for a file of
// the base folder, else the server folder with a closing "/" (the folder
// itself for a folder record, the folder holding it for a file record).
struct DownloadEntry {
    QString Name;
    QString Path;
    QString Attr;
    std::int64_t SizeLow = 0;
};

extern std::vector<DownloadEntry> DownloadList;

void DownloadServerSelection();
// Appends the entries of the server folder path and, recursively, of its
// sub-folders. A path without a closing separator gets one.
int ListServerFolderForDownload(HINTERNET connection, QString &path, const QString &mask);

// A name from the server that may be joined into a local path: not empty,
// not "." or "..", no "/" or "\" and no line break or NUL in it.
bool IsSafeServerName(const QString &name);

void ResetDownloadState();
