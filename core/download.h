#pragma once
// Downloads the server pane's selection (files and whole folder trees) into
// the local pane's current folder.

#include "core/serverfolderwalk.h"
#include "platform/wininet.h"

#include <QString>
#include <QStringList>

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
// The download of the main menu, the server toolbar and the transfer strip:
// the download, then a fresh connection in the folder the pane shows.
void DownloadServerSelectionAndReconnect();
// Appends the entries of the server folder path and, recursively, of its
// sub-folders. A path without a closing "/" gets one.
int ListServerFolderForDownload(HINTERNET connection, QString &path, const QString &mask);

void ResetDownloadState();
