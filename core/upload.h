#pragma once
// Uploads the local pane's selection (files and whole folder trees) into the
// server's current folder, one file at a time, recreating the local folders
// on the server.

#include "platform/wininet.h"

#include <QString>

#include <vector>

// One item to upload: Name empty for a folder; Path the local folder that
// holds the file (for a folder entry the folder's own path ending in "/");
// Attr "16" folder, "128" a file picked in the list, else the found value.
struct SelectionEntry {
    QString Name;
    QString Path;
    QString Attr;
};

extern std::vector<SelectionEntry> UploadList;
// The open server file of the upload in progress.
extern HINTERNET hFtpFile;

// The keys by which the two entries of the upload differ.
struct UploadTexts {
    const char *noConnection;
    const char *dirNew1;
    const char *dirNew2;
    const char *dirOk;
    const char *dirFailed;
};

// The upload of the main menu, the toolbar and the transfer strip.
void UploadSelection();
// The upload of the local context menu.
void UploadSelectionFromContextMenu();
// The one algorithm of both.
void UploadLocalSelection(const UploadTexts &texts);

// Appends the files of folder (given without its closing "/") and then,
// folder by folder, everything below it; empty folders get their own entry.
// Each folder is walked once (by device and inode): a link to a folder the
// walk has already taken, such as self -> ., is left out.
void CollectLocalFolder(const QString &folder);

// Sends one local file into the server's current folder. The local path is
// used whole; the remote name is trimmed (the caller's too). Only a regular
// file is sent; anything else gets the failure line. True when the server
// confirmed the whole file.
bool UploadFile(QString &localPath, QString &remoteName);

// Whether "ascii.dat" lists an extension that occurs in the name (".TXT"
// anywhere, case ignored).
bool IsAsciiFile(const QString &name);
// The extensions of "ascii.dat": one per line or comma-separated field, a
// quoted field without its quotes.
QStringList ReadAsciiList(const QString &path);

// Replaces every occurrence of find in text (the caller's text too).
QString ReplaceAll(QString &text, const QString &find, const QString &replacement);

void ResetUploadState();
