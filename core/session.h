#pragma once
// The FTP session of the whole program: the reconnect road that every long
// operation runs first, and the one-call wrappers through which single FTP
// commands are issued on hFtpConnection.

#include "platform/wininet.h"

#include <QString>

#include <optional>

// A fresh session with the connection bar's fields as they stand; the
// server's current folder is "/" afterwards. A failure shows its message and
// leaves hFtpConnection at 0. Inside a ReconnectRun whose reconnect failed
// once, and while the program shuts down, it connects no more: the
// connection stays 0 at once, without another wait or message.
void ConnectFromMainWindow();
// The reconnect, then back into the folder the server pane shows: the
// reconnect leaves the server at "/", and the user's next commands name
// items of the folder shown. The old connection may be dead, so the folder
// is never asked of it. False when the server could not go back into the
// folder (another client removed it, say): it is elsewhere now.
bool ReconnectKeepingFolder();
// The reconnect, then into this folder (none: the server stays at "/");
// false when connected but not in it.
bool ReconnectInto(const QString &folder);

// Marks one long operation (nested runs count as one). Once a reconnect of
// the run failed, its remaining items fail at once: one failure, one
// message, no further waits for a server that is gone.
class ReconnectRun {
public:
    ReconnectRun();
    ~ReconnectRun();
    ReconnectRun(const ReconnectRun &) = delete;
    ReconnectRun &operator=(const ReconnectRun &) = delete;
};
// Whether a reconnect of the running operation failed.
bool ReconnectFailedInRun();

// The folder the server pane shows (its path combo), "" when none.
QString ServerPaneFolder();
// Where an operation on the server works: the server's current folder, or
// when the connection cannot tell it (lost), the folder the server pane
// shows. "" when neither is known: the operation then acts on nothing.
QString OperationServerFolder();
// Closes the connection hFtpConnection holds and connects anew on the
// session, the port text converted by ConvertPortText; hFtpConnection is 0
// when that fails.
bool FtpConnect(HINTERNET session, const QString &host, const QString &port, const QString &user,
                const QString &password);

bool FtpRename(const QString &oldName, const QString &newName);
bool FtpMakeDir(const QString &folder);
bool FtpRemoveDir(const QString &folder);
bool FtpDelete(const QString &file);
bool FtpChangeDir(const QString &folder);
bool FtpDownload(const QString &localPath, const QString &remoteName);
// The server's current folder, or "" (no connection, or it was lost).
QString FtpCurrentDir();
// The same, waiting at most replyTimeoutMs for the reply: a server that went
// silent is noticed without freezing the window for the whole timeout (the
// connection is then given up as lost).
QString FtpCurrentDirWithin(int replyTimeoutMs);

// Closes hFtpConnection once and sets it to 0.
void CloseFtpConnection();

// The port text as a 16-bit signed number, the way the connect converts it:
// blanks around it are ignored, a decimal fraction is rounded half to even;
// no number or a value outside -32768..32767 gives nothing.
std::optional<int> ConvertPortText(const QString &text);
