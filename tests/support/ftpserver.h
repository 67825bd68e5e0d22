#pragma once
// A real FTP server for a test: started on 127.0.0.1 on a free port
// (10000-32767, a port the program can hold in a 16-bit signed number),
// serving a temporary folder to one user, passive and active allowed.
// Destroying the object stops the server; no process outlives it.
//
//     FtpTestServer server;                 // pyftpdlib
//     QVERIFY2(server.start(), qPrintable(server.error()));
//     InternetConnect(session, server.host(), server.port(), server.user(),
//                     server.password(), INTERNET_SERVICE_FTP, 0, 0);
//     ... write in server.workFolder(), check server.localPath("/x") ...
//
// Faults: stop() kills the server (connections drop), freeze() stops it with
// SIGSTOP (connections are accepted, nothing is answered), resume() lets it
// go on. The Hostile options make pyftpdlib misbehave.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QTemporaryDir>

#include <sys/types.h>

#include <memory>
#include <mutex>

class FtpTestServer {
public:
    enum class Kind { Pyftpdlib, Vsftpd };

    // Misbehaviour of the pyftpdlib server; vsftpd ignores these.
    struct Hostile {
        QList<QByteArray> listLines; // LIST sends these lines; MLST is not offered
        QList<QByteArray> mlsdLines; // MLSD sends these lines
        // MLSD sends lines without end (-1: it does not), with this pause
        // before each; with a pause it ends after a minute.
        int endlessListingPauseMs = -1;
        QByteArray hugeReplyTo;    // this command is answered by a 1 MiB line
        QByteArray garbageReplyTo; // this command is answered by garbage bytes
        QByteArray endlessReplyTo; // this command gets a multi-line reply without end
        bool pwdWithoutQuote = false;
        QByteArray pasvAddress;         // PASV replies name this address; EPSV is refused
        bool noEpsv = false;            // EPSV is refused, PASV is used
        bool noEprt = false;            // EPRT is refused, PORT is used
        QByteArray activeFrom;          // active data connections come from this address
        int throttleBytesPerSecond = 0; // data connections limited to this speed
        qint64 maxFileBytes = 0;        // writing a file beyond this size fails: disk full
        QByteArray permissions;         // the user's rights (pyftpdlib letters)
        QByteArray refuseListingOf;     // MLSD/LIST of folders of this name get 550
        bool rawNames = false;          // names that are not UTF-8 pass as bytes
        bool resolvedPwd = false;       // PWD names the folder a link led to
        QByteArray loginFolder;         // a login lands in this folder instead of "/"
        QByteArray extraReplyAfter;     // this command's final reply is followed by
        QByteArray extraReply;          // this reply line too, unasked
    };

    explicit FtpTestServer(Kind kind = Kind::Pyftpdlib);
    FtpTestServer(Kind kind, Hostile hostile);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer &) = delete;
    FtpTestServer &operator=(const FtpTestServer &) = delete;

    // Starts the server and waits until it accepts connections; false (with
    // error()) when it could not be started.
    bool start();
    QString error() const { return m_error; }

    Kind kind() const { return m_kind; }
    static QString kindName(Kind kind);
    QString host() const { return QStringLiteral("127.0.0.1"); }
    int port() const { return m_port; }
    QString user() const;
    QString password() const;

    // The local folder the server serves as "/".
    QString rootPath() const;
    // The server folder the user may write in: "/" for pyftpdlib; vsftpd
    // refuses a writable root for its anonymous user, so there it is
    // "/files".
    QString workFolder() const;
    // The local path of a server path ("/files/a.txt").
    QString localPath(const QString &serverPath) const;

    // Every command and reply the server logged so far.
    QByteArray log() const;
    // Whether the log holds a command line starting with `command`.
    bool receivedCommand(const QByteArray &command) const;
    // How many logins (USER commands) the server saw so far.
    int loginCount() const;

    // Safe to call from another thread (a test cutting a transfer).
    void stop();
    // Kills the server and starts it again on the same port and folder: the
    // connections it held are dead, new ones work.
    bool restart();
    void freeze();
    void resume();
    bool isRunning() const;

private:
    bool launch(int port);
    QStringList pyftpdlibArguments(int port);
    QStringList vsftpdArguments(int port);
    QString writeLines(const QString &name, const QList<QByteArray> &lines);
    bool waitUntilListening(int port);
    void signalAll(int signal) const;

    Kind m_kind;
    Hostile m_hostile;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_error;
    QString m_logFile;
    QByteArray m_banner;
    int m_port = 0;
    mutable pid_t m_pid = 0;
    mutable std::mutex m_mutex;
};
