#pragma once
// One FTP connection: login, the server's current folder, the one-command
// operations, listings and downloads. The current folder lives on the
// server (CWD/PWD), never in this object. A connection whose control
// channel broke (timeout, reset, a reply out of bounds) stays broken: every
// later call fails, so the caller sees the loss instead of a silent renewal.

#include "platform/ftp/controlchannel.h"
#include "platform/ftp/datachannel.h"
#include "platform/ftp/ftptext.h"
#include "platform/ftp/listentry.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

namespace ftp {

class FtpUpload;

// Called between the blocks a download receives (none at start); returning
// false gives the download up. While it runs, the connection refuses every
// other command.
void setReceiveHook(std::function<bool()> hook);

class FtpConnection : public std::enable_shared_from_this<FtpConnection> {
public:
    bool open(const QString &host, int port, const QString &user, const QString &password,
              bool passive);

    bool changeDirectory(const QString &directory);
    // CWD to each folder, sent together; every reply is read. True only when
    // all succeeded.
    bool changeDirectories(const QStringList &directories);
    std::optional<QString> currentDirectory();
    bool createDirectory(const QString &directory);
    bool removeDirectory(const QString &directory);
    bool deleteFile(const QString &file);
    bool rename(const QString &existing, const QString &newName);

    // The entries of `path` (the current folder when empty): MLSD when the
    // server offers MLST, else LIST parsed. Names stay in the server's bytes.
    // With linksAsFiles a link is never a folder: some servers (pyftpdlib)
    // describe a link in MLSD by its target, so a listing with folders is
    // checked against LIST, whose "l" entries tell the links.
    std::optional<std::vector<ListEntry>> list(const QString &path, bool linksAsFiles = false);
    bool retrieve(const QString &remoteFile, const QString &localPath, bool failIfExists);
    // Opens STOR; while the upload is open every other command fails.
    std::shared_ptr<FtpUpload> store(const QString &remoteFile, bool ascii);

    // Sends QUIT and closes without waiting for the reply.
    void quit();

    NameEncoding encoding() const { return m_encoding; }
    bool isOpen() const { return m_control.isOpen(); }

    // For FtpUpload: the final reply of the upload ends the busy state.
    bool finishUpload(DataEnd end);
    void abandonUpload();

private:
    bool ready() const { return m_control.isOpen() && !m_busy; }
    std::optional<Reply> command(const QByteArray &line);
    std::optional<Reply> commandWithName(const QByteArray &verb, const QString &name);
    bool login(const QString &user, const QString &password);
    void readFeatures();
    bool setType(char type);
    bool finishTransfer(DataEnd end);
    std::optional<QByteArray> fetch(const QByteArray &line, std::optional<Reply> &reply);
    bool markLinks(const QByteArray &argument, std::vector<ListEntry> &entries);

    ControlChannel m_control;
    DataMode m_dataMode;
    NameEncoding m_encoding = NameEncoding::Latin1;
    bool m_mlst = false;
    bool m_busy = false;
    char m_type = 0;
};

} // namespace ftp
