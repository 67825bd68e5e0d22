#pragma once
// The FTP session of the whole program: the reconnect road that every long
// operation runs first, and the one-call wrappers through which single FTP
// commands are issued on hFtpConnection.

#include <QString>

#include <optional>

// A fresh session with the connection bar's fields as they stand; the
// server's current folder is "/" afterwards. A failure shows its message and
// leaves hFtpConnection at 0.
void ConnectFromMainWindow();
// The reconnect, then back into the folder the server was in: the reconnect
// leaves the server at "/" while the server pane still shows that folder,
// and the user's next commands name items of the folder shown.
void ReconnectKeepingFolder();
// Closes the connection hFtpConnection holds and connects anew.
bool FtpConnect(const QString &host, const QString &port, const QString &user,
                const QString &password);

bool FtpRename(const QString &oldName, const QString &newName);
bool FtpMakeDir(const QString &folder);
bool FtpRemoveDir(const QString &folder);
bool FtpDelete(const QString &file);
bool FtpChangeDir(const QString &folder);
bool FtpDownload(const QString &localPath, const QString &remoteName);
// The server's current folder, or "" (no connection, or it was lost).
QString FtpCurrentDir();

// Closes hFtpConnection once and sets it to 0.
void CloseFtpConnection();
// Closes a connection handle unless hFtpConnection still holds it.
void CloseUnlessCurrent(unsigned handle);

// The port text as a 16-bit signed number, the way the connect converts it:
// blanks around it are ignored, a decimal fraction is rounded half to even;
// no number or a value outside -32768..32767 gives nothing.
std::optional<int> ConvertPortText(const QString &text);
