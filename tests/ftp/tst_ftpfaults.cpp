// The FTP layer when things go wrong: bad handles, arguments that would
// inject commands, servers that die, freeze or lie, and uploads that are
// not confirmed; and the find patterns beyond the "*.*" the program uses.
// Every case runs against a real pyftpdlib server.

#include "ftptesthelpers.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <filesystem>
#include <thread>

using namespace ftptest;
using Hostile = FtpTestServer::Hostile;

namespace {

constexpr int kTimeoutMs = 2000;
// What a call may take beyond the timeout: scheduling, the QUIT wait.
constexpr int kSlackMs = 1500;

struct Started {
    std::unique_ptr<FtpTestServer> server;
    HINTERNET connection = 0;
};

Started startAndConnect(const Hostile &hostile = {}, bool passive = true)
{
    Started s;
    s.server = std::make_unique<FtpTestServer>(FtpTestServer::Kind::Pyftpdlib, hostile);
    if (!s.server->start())
        qWarning("%s", qPrintable(s.server->error()));
    else
        s.connection = ftptest::connect(*s.server, passive);
    return s;
}

// Whether this process has a file open in `folder`, other than `except`,
// that holds data.
bool writingInto(const QString &folder, const QString &except)
{
    std::error_code error;
    for (const auto &fd : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        const QString path =
            QString::fromStdString(std::filesystem::read_symlink(fd, error).string());
        if (path.startsWith(folder + u'/') && !path.startsWith(except) &&
            QFileInfo(QString::fromStdString(fd.path().string())).size() > 0)
            return true;
    }
    return false;
}

// A child run of this test program downloads "big.bin" as told by this
// variable ("port user password target", tab-separated) and is killed
// midway by the test.
constexpr char kDownloadChild[] = "QFTP_TEST_DOWNLOAD_CHILD";

int downloadAsChild()
{
    const QStringList args = qEnvironmentVariable(kDownloadChild).split(u'\t');
    if (args.size() != 4)
        return 2;
    const HINTERNET c =
        InternetConnect(session(), QStringLiteral("127.0.0.1"), args[0].toInt(), args[1], args[2],
                        INTERNET_SERVICE_FTP, INTERNET_FLAG_PASSIVE, 0);
    return c != 0 && FtpGetFile(c, QStringLiteral("big.bin"), args[3], false, 0x80,
                                INTERNET_FLAG_RELOAD, 0)
               ? 0
               : 1;
}

enum class Op { Cwd, Mkd, Rmd, Dele, RenameFrom, RenameTo, Retr, Stor, List };

} // namespace

Q_DECLARE_METATYPE(Op)

class TestFtpFaults : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { SetInternetTimeout(kTimeoutMs); }
    void unknownAndClosedHandlesFail();
    void sessionAndConnectionLiveApart();
    void connectFails_data();
    void connectFails();
    void lineBreakOrNulSendsNothing_data();
    void lineBreakOrNulSendsNothing();
    void commandsWaitForOpenUpload();
    void uploadNotConfirmedFails();
    void stoppedServerFailsAtOnce();
    void frozenServerFailsWithinTimeout_data();
    void frozenServerFailsWithinTimeout();
    void closingFrozenConnectionIsQuick();
    void cutDownloadKeepsOldFile();
    void killedDownloadLeavesTarget_data();
    void killedDownloadLeavesTarget();
    void passiveReplyNamingOtherAddress();
    void activeConnectionFromOtherAddress();
    void olderDataCommands_data();
    void olderDataCommands();
    void repliesOutOfBounds_data();
    void repliesOutOfBounds();
    void chosenListing_data();
    void chosenListing();
    void findPatterns_data();
    void findPatterns();
    void lastResponseIsKept();
    void endlessListingFails_data();
    void endlessListingFails();
    void extraReplyIsNoLaterAnswer_data();
    void extraReplyIsNoLaterAnswer();
};

void TestFtpFaults::unknownAndClosedHandlesFail()
{
    Started s = startAndConnect();
    QVERIFY(s.connection != 0);
    const HINTERNET c = s.connection;
    QVERIFY(InternetCloseHandle(c));
    // The server saw the connection end properly.
    QTRY_VERIFY(s.server->receivedCommand("QUIT"));

    for (HINTERNET h : {HINTERNET(0), c, HINTERNET(0x7fffffff)}) {
        const QByteArray tag = QByteArray::number(h);
        QString text = QStringLiteral("stale");
        WIN32_FIND_DATA data;
        std::uint32_t written = 7;
        QVERIFY2(!FtpSetCurrentDirectory(h, QStringLiteral("/")), tag);
        QVERIFY2(!FtpGetCurrentDirectory(h, text), tag);
        QVERIFY2(text.isEmpty(), tag);
        QCOMPARE(FtpFindFirstFile(h, QStringLiteral("*.*"), data, 0, 0), HINTERNET(0));
        QVERIFY2(!InternetFindNextFile(h, data), tag);
        QVERIFY2(!FtpGetFile(h, QStringLiteral("a"), QStringLiteral("/tmp/never"), false, 0, 0, 0),
                 tag);
        QCOMPARE(FtpOpenFile(h, QStringLiteral("a"), GENERIC_WRITE, 2, 0), HINTERNET(0));
        QVERIFY2(!InternetWriteFile(h, "x", 1, written), tag);
        QCOMPARE(written, std::uint32_t(0));
        QVERIFY2(!FtpRenameFile(h, QStringLiteral("a"), QStringLiteral("b")), tag);
        QVERIFY2(!FtpDeleteFile(h, QStringLiteral("a")), tag);
        QVERIFY2(!FtpCreateDirectory(h, QStringLiteral("a")), tag);
        QVERIFY2(!FtpRemoveDirectory(h, QStringLiteral("a")), tag);
        QVERIFY2(!InternetCloseHandle(h), tag);
    }
    // A handle of another kind does not do: a session is no connection.
    QVERIFY(!FtpCreateDirectory(session(), QStringLiteral("a")));
    // Handles are never reused.
    const HINTERNET next = ftptest::connect(*s.server, true);
    QVERIFY(next > c);
    QVERIFY(InternetCloseHandle(next));
}

void TestFtpFaults::sessionAndConnectionLiveApart()
{
    FtpTestServer server;
    QVERIFY2(server.start(), qPrintable(server.error()));
    const HINTERNET own = InternetOpen(QStringLiteral("agent"), 0, {}, {}, 0);
    QVERIFY(own != 0);
    const HINTERNET c = InternetConnect(own, server.host(), server.port(), server.user(),
                                        server.password(), INTERNET_SERVICE_FTP, 0, 0);
    QVERIFY(c != 0);
    QVERIFY(InternetCloseHandle(own));
    // Closing the session leaves its connection working ...
    QString pwd;
    QVERIFY(FtpGetCurrentDirectory(c, pwd));
    QCOMPARE(pwd, QStringLiteral("/"));
    // ... but no new connection can be made on it.
    QCOMPARE(InternetConnect(own, server.host(), server.port(), server.user(), server.password(),
                             INTERNET_SERVICE_FTP, 0, 0),
             HINTERNET(0));
    QVERIFY(!InternetCloseHandle(own));
    QVERIFY(InternetCloseHandle(c));
}

void TestFtpFaults::connectFails_data()
{
    QTest::addColumn<QString>("host");
    QTest::addColumn<int>("port"); // -1: the server's port
    QTest::addColumn<QString>("user");
    QTest::addColumn<QString>("password");
    QTest::addColumn<uint>("service");
    const QString host = QStringLiteral("127.0.0.1");
    const QString user = QStringLiteral("tester");
    const QString pass = QStringLiteral("s3cret pass");
    const uint ftp = INTERNET_SERVICE_FTP;
    QTest::newRow("wrong password") << host << -1 << user << QStringLiteral("wrong") << ftp;
    QTest::newRow("unknown user") << host << -1 << QStringLiteral("nobody") << pass << ftp;
    QTest::newRow("empty user") << host << -1 << QString() << pass << ftp;
    QTest::newRow("empty host") << QString() << -1 << user << pass << ftp;
    QTest::newRow("unknown host") << QStringLiteral("no-such-host.invalid") << -1 << user << pass
                                  << ftp;
    QTest::newRow("port above 65535") << host << 70000 << user << pass << ftp;
    QTest::newRow("negative port") << host << -2 << user << pass << ftp;
    QTest::newRow("not the FTP service") << host << -1 << user << pass << 3u;
    QTest::newRow("user with CR LF")
        << host << -1 << QStringLiteral("tester\r\nMKD injected") << pass << ftp;
    QTest::newRow("password with LF")
        << host << -1 << user << QStringLiteral("s3cret pass\nMKD injected") << ftp;
    QTest::newRow("password with NUL")
        << host << -1 << user << QString::fromUtf8("s3cret\0pass", 11) << ftp;
}

void TestFtpFaults::connectFails()
{
    QFETCH(QString, host);
    QFETCH(int, port);
    QFETCH(QString, user);
    QFETCH(QString, password);
    QFETCH(uint, service);
    FtpTestServer server;
    QVERIFY2(server.start(), qPrintable(server.error()));
    if (port == -1)
        port = server.port();
    if (port == -2)
        port = -1;
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(InternetConnect(session(), host, port, user, password, service, 0, 0), HINTERNET(0));
    QVERIFY(clock.elapsed() < kTimeoutMs + kSlackMs);
    // Nothing of a refused argument reached the server.
    const HINTERNET marker = ftptest::connect(server, true);
    QString pwd;
    QVERIFY(FtpGetCurrentDirectory(marker, pwd));
    QTRY_VERIFY(server.receivedCommand("PWD"));
    QVERIFY(!server.log().contains("injected"));
    InternetCloseHandle(marker);
}

void TestFtpFaults::lineBreakOrNulSendsNothing_data()
{
    QTest::addColumn<Op>("op");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("verb"); // must not show in the server's log
    const QString crlf = QStringLiteral("x\r\nDELE victim");
    const QString lf = QStringLiteral("x\nDELE victim");
    const QString nul = QString::fromUtf8("x\0DELE victim", 13);
    QTest::newRow("CWD CR LF") << Op::Cwd << crlf << QByteArray("CWD");
    QTest::newRow("MKD LF") << Op::Mkd << lf << QByteArray("MKD");
    QTest::newRow("MKD NUL") << Op::Mkd << nul << QByteArray("MKD");
    QTest::newRow("RMD CR LF") << Op::Rmd << crlf << QByteArray("RMD");
    QTest::newRow("DELE CR LF") << Op::Dele << crlf << QByteArray("DELE");
    QTest::newRow("rename, old name CR LF") << Op::RenameFrom << crlf << QByteArray("RNFR");
    QTest::newRow("rename, new name CR LF") << Op::RenameTo << crlf << QByteArray("RNFR");
    QTest::newRow("RETR CR LF") << Op::Retr << crlf << QByteArray("RETR");
    QTest::newRow("RETR NUL") << Op::Retr << nul << QByteArray("PASV");
    QTest::newRow("STOR CR LF") << Op::Stor << crlf << QByteArray("STOR");
    QTest::newRow("STOR LF opens no data connection") << Op::Stor << lf << QByteArray("PASV");
    QTest::newRow("listing path CR LF") << Op::List << crlf << QByteArray("MLSD");
    // An empty name would send the bare command, which means something else.
    QTest::newRow("CWD empty") << Op::Cwd << QString() << QByteArray("CWD");
    QTest::newRow("MKD empty") << Op::Mkd << QString() << QByteArray("MKD");
    QTest::newRow("RMD empty") << Op::Rmd << QString() << QByteArray("RMD");
    QTest::newRow("DELE empty") << Op::Dele << QString() << QByteArray("DELE");
}

void TestFtpFaults::lineBreakOrNulSendsNothing()
{
    QFETCH(Op, op);
    QFETCH(QString, name);
    QFETCH(QByteArray, verb);
    Started s = startAndConnect();
    QVERIFY(s.connection != 0);
    const HINTERNET c = s.connection;
    QVERIFY(writeFile(s.server->localPath(QStringLiteral("/victim")), "v"));
    QTemporaryDir dir;
    WIN32_FIND_DATA data;
    bool result = true;
    switch (op) {
    case Op::Cwd:
        result = FtpSetCurrentDirectory(c, name);
        break;
    case Op::Mkd:
        result = FtpCreateDirectory(c, name);
        break;
    case Op::Rmd:
        result = FtpRemoveDirectory(c, name);
        break;
    case Op::Dele:
        result = FtpDeleteFile(c, name);
        break;
    case Op::RenameFrom:
        result = FtpRenameFile(c, name, QStringLiteral("y"));
        break;
    case Op::RenameTo:
        result = FtpRenameFile(c, QStringLiteral("victim"), name);
        break;
    case Op::Retr:
        result = FtpGetFile(c, name, dir.filePath(QStringLiteral("f")), false, 0, 0, 0);
        break;
    case Op::Stor:
        result = FtpOpenFile(c, name, GENERIC_WRITE, 2, 0) != 0;
        break;
    case Op::List:
        result = FtpFindFirstFile(c, name, data, 0, 0) != 0;
        break;
    }
    QVERIFY(!result);
    // The connection goes on; the server got the PWD but nothing before it.
    QString pwd;
    QVERIFY(FtpGetCurrentDirectory(c, pwd));
    QTRY_VERIFY(s.server->receivedCommand("PWD"));
    QVERIFY2(!s.server->receivedCommand(verb), s.server->log().constData());
    QVERIFY(!s.server->log().contains("victim"));
    QVERIFY(QFile::exists(s.server->localPath(QStringLiteral("/victim"))));
    QVERIFY(filesIn(dir.path()).isEmpty());
    InternetCloseHandle(c);
}

void TestFtpFaults::commandsWaitForOpenUpload()
{
    Started s = startAndConnect();
    QVERIFY(s.connection != 0);
    const HINTERNET c = s.connection;
    const HINTERNET file = FtpOpenFile(c, QStringLiteral("up.bin"), GENERIC_WRITE, 2, 0);
    QVERIFY(file != 0);
    const QByteArray bytes = randomBytes(1000);
    std::uint32_t written = 0;
    QVERIFY(InternetWriteFile(file, bytes.constData(), 500, written));
    QString pwd;
    WIN32_FIND_DATA data;
    QTemporaryDir dir;
    QVERIFY(!FtpCreateDirectory(c, QStringLiteral("during")));
    QVERIFY(!FtpGetCurrentDirectory(c, pwd));
    QCOMPARE(FtpFindFirstFile(c, QStringLiteral("*.*"), data, 0, 0), HINTERNET(0));
    QVERIFY(!FtpGetFile(c, QStringLiteral("up.bin"), dir.filePath(QStringLiteral("f")), false, 0, 0,
                        0));
    QCOMPARE(FtpOpenFile(c, QStringLiteral("second.bin"), GENERIC_WRITE, 2, 0), HINTERNET(0));
    // The upload itself is untouched by the refused commands.
    QVERIFY(InternetWriteFile(file, bytes.constData() + 500, 500, written));
    QVERIFY(InternetCloseHandle(file));
    QVERIFY(!InternetCloseHandle(file));
    QCOMPARE(readFile(s.server->localPath(QStringLiteral("/up.bin"))), bytes);
    QVERIFY(FtpGetCurrentDirectory(c, pwd));
    QVERIFY(!s.server->receivedCommand("MKD"));
    QVERIFY(!s.server->receivedCommand("STOR second"));
    InternetCloseHandle(c);
}

void TestFtpFaults::uploadNotConfirmedFails()
{
    // The server dies during the upload: closing the file reports failure.
    Started s = startAndConnect();
    QVERIFY(s.connection != 0);
    const HINTERNET file = FtpOpenFile(s.connection, QStringLiteral("up.bin"), GENERIC_WRITE, 2, 0);
    QVERIFY(file != 0);
    std::uint32_t written = 0;
    QVERIFY(InternetWriteFile(file, "abc", 3, written));
    s.server->stop();
    InternetWriteFile(file, "def", 3, written);
    QVERIFY(!InternetCloseHandle(file));

    // The connection handle is closed while an upload is open on it.
    Started t = startAndConnect();
    QVERIFY(t.connection != 0);
    const HINTERNET other =
        FtpOpenFile(t.connection, QStringLiteral("up.bin"), GENERIC_WRITE, 2, 0);
    QVERIFY(other != 0);
    QVERIFY(InternetWriteFile(other, "abc", 3, written));
    QVERIFY(InternetCloseHandle(t.connection));
    QVERIFY(!InternetCloseHandle(other));
}

void TestFtpFaults::stoppedServerFailsAtOnce()
{
    Started s = startAndConnect();
    QVERIFY(s.connection != 0);
    s.server->stop();
    QElapsedTimer clock;
    clock.start();
    QString pwd = QStringLiteral("stale");
    QVERIFY(!FtpGetCurrentDirectory(s.connection, pwd));
    QVERIFY(pwd.isEmpty());
    QVERIFY(clock.elapsed() < kTimeoutMs + kSlackMs);
    // The connection is not renewed behind the caller's back, not even when
    // a server listens again.
    QVERIFY(s.server->start());
    QVERIFY(!FtpSetCurrentDirectory(s.connection, QStringLiteral("/")));
    QVERIFY(!FtpGetCurrentDirectory(s.connection, pwd));
    QVERIFY(InternetCloseHandle(s.connection));
}

void TestFtpFaults::frozenServerFailsWithinTimeout_data()
{
    QTest::addColumn<QString>("call");
    for (const char *call : {"connect", "PWD", "listing", "download", "upload"})
        QTest::newRow(call) << QString::fromLatin1(call);
}

void TestFtpFaults::frozenServerFailsWithinTimeout()
{
    QFETCH(QString, call);
    Started s = startAndConnect();
    QVERIFY(s.connection != 0);
    s.server->freeze();
    QTemporaryDir dir;
    WIN32_FIND_DATA data;
    QString pwd;
    QElapsedTimer clock;
    clock.start();
    bool result = true;
    if (call == u"connect")
        result = ftptest::connect(*s.server, true) != 0;
    else if (call == u"PWD")
        result = FtpGetCurrentDirectory(s.connection, pwd);
    else if (call == u"listing")
        result = FtpFindFirstFile(s.connection, QStringLiteral("*.*"), data, 0, 0) != 0;
    else if (call == u"download")
        result = FtpGetFile(s.connection, QStringLiteral("x"), dir.filePath(QStringLiteral("x")),
                            false, 0, 0, 0);
    else
        result = FtpOpenFile(s.connection, QStringLiteral("x"), GENERIC_WRITE, 2, 0) != 0;
    QVERIFY(!result);
    QVERIFY2(clock.elapsed() < kTimeoutMs + kSlackMs, qPrintable(QString::number(clock.elapsed())));
    QVERIFY(filesIn(dir.path()).isEmpty());
    if (call != u"connect") {
        // The connection is given up: later calls fail at once.
        s.server->resume();
        clock.restart();
        QVERIFY(!FtpGetCurrentDirectory(s.connection, pwd));
        QVERIFY(clock.elapsed() < 500);
    }
    s.server->resume();
    InternetCloseHandle(s.connection);
}

void TestFtpFaults::closingFrozenConnectionIsQuick()
{
    Started s = startAndConnect();
    QVERIFY(s.connection != 0);
    s.server->freeze();
    QElapsedTimer clock;
    clock.start();
    QVERIFY(InternetCloseHandle(s.connection));
    QVERIFY2(clock.elapsed() < kSlackMs, qPrintable(QString::number(clock.elapsed())));
}

void TestFtpFaults::cutDownloadKeepsOldFile()
{
    Hostile slow;
    slow.throttleBytesPerSecond = 256 * 1024;
    Started s = startAndConnect(slow);
    QVERIFY(s.connection != 0);
    QVERIFY(writeFile(s.server->localPath(QStringLiteral("/big.bin")), randomBytes(4 << 20)));
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("target.bin"));
    QVERIFY(writeFile(target, "old content"));

    // Stops the server once the download has written into its temporary
    // file, the hidden ".target.bin.*.part" beside the target; it is found
    // among the open files of this process, in the target folder.
    std::atomic<bool> sawTemporary = false;
    std::thread cutter([&] {
        QElapsedTimer clock;
        clock.start();
        while (!sawTemporary && clock.elapsed() < 10000) {
            sawTemporary = writingInto(dir.path(), target);
            if (!sawTemporary)
                std::this_thread::yield();
        }
        s.server->stop();
    });
    const bool result = FtpGetFile(s.connection, QStringLiteral("big.bin"), target, false, 0x80,
                                   INTERNET_FLAG_RELOAD, 0);
    cutter.join();
    QVERIFY(sawTemporary);
    QVERIFY(!result);
    QCOMPARE(readFile(target), QByteArray("old content"));
    QCOMPARE(filesIn(dir.path()), QStringList({QStringLiteral("target.bin")}));
    InternetCloseHandle(s.connection);
}

void TestFtpFaults::killedDownloadLeavesTarget_data()
{
    QTest::addColumn<QByteArray>("old"); // "<missing>": no target before
    QTest::newRow("new target") << QByteArray("<missing>");
    QTest::newRow("existing target") << QByteArray("old content");
}

// A program killed mid-download leaves no partial file under the target's
// name: a new target does not appear, an existing one keeps its content.
void TestFtpFaults::killedDownloadLeavesTarget()
{
    QFETCH(QByteArray, old);
    Hostile slow;
    slow.throttleBytesPerSecond = 256 * 1024;
    FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, slow);
    QVERIFY2(server.start(), qPrintable(server.error()));
    QVERIFY(writeFile(server.localPath(QStringLiteral("/big.bin")), randomBytes(4 << 20)));
    QTemporaryDir dir;
    const QString target = dir.filePath(QStringLiteral("new.bin"));
    if (old != "<missing>")
        QVERIFY(writeFile(target, old));

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(
        QString::fromLatin1(kDownloadChild),
        QStringList{QString::number(server.port()), server.user(), server.password(), target}.join(
            u'\t'));
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(), {});
    QVERIFY(child.waitForStarted());
    // Killed once the download has written some of its bytes, wherever.
    const auto written = [&] {
        qint64 size = 0;
        for (const QString &name : filesIn(dir.path()))
            size += QFileInfo(dir.filePath(name)).size();
        return size > (old == "<missing>" ? 0 : old.size());
    };
    QTRY_VERIFY_WITH_TIMEOUT(written(), 10000);
    child.kill();
    QVERIFY(child.waitForFinished());
    QCOMPARE(child.exitStatus(), QProcess::CrashExit);
    QCOMPARE(readFile(target), old);
}

void TestFtpFaults::passiveReplyNamingOtherAddress()
{
    // 127.0.0.2 is loopback too, but nothing listens there: a client that
    // followed the PASV reply would fail.
    Hostile lying;
    lying.pasvAddress = "127.0.0.2";
    Started s = startAndConnect(lying);
    QVERIFY(s.connection != 0);
    QVERIFY(writeFile(s.server->localPath(QStringLiteral("/a.txt")), "content"));
    QCOMPARE(listNames(s.connection), QStringList({QStringLiteral("a.txt")}));
    QTemporaryDir dir;
    QVERIFY(FtpGetFile(s.connection, QStringLiteral("a.txt"), dir.filePath(QStringLiteral("a")),
                       false, 0x80, 0, 0));
    QCOMPARE(readFile(dir.filePath(QStringLiteral("a"))), QByteArray("content"));
    QVERIFY(upload(s.connection, QStringLiteral("b.txt"), "up", FTP_TRANSFER_TYPE_BINARY));
    QCOMPARE(readFile(s.server->localPath(QStringLiteral("/b.txt"))), QByteArray("up"));
    QVERIFY(s.server->log().contains("127,0,0,2"));
    InternetCloseHandle(s.connection);
}

// In active mode the server's data connection comes from 127.0.0.2, not from
// the address of the control connection: it is not taken, the listing and
// the download fail and no file is written.
void TestFtpFaults::activeConnectionFromOtherAddress()
{
    Hostile elsewhere;
    elsewhere.activeFrom = "127.0.0.2";
    Started s = startAndConnect(elsewhere, false);
    QVERIFY(s.connection != 0);
    QVERIFY(writeFile(s.server->localPath(QStringLiteral("/a.txt")), "content"));
    QElapsedTimer clock;
    clock.start();
    WIN32_FIND_DATA data;
    QCOMPARE(FtpFindFirstFile(s.connection, QStringLiteral("*.*"), data, 0, 0), HINTERNET(0));
    QTemporaryDir dir;
    QVERIFY(!FtpGetFile(s.connection, QStringLiteral("a.txt"), dir.filePath(QStringLiteral("a")),
                        false, 0x80, 0, 0));
    QVERIFY2(clock.elapsed() < 2 * (kTimeoutMs + kSlackMs),
             qPrintable(QString::number(clock.elapsed())));
    QVERIFY(filesIn(dir.path()).isEmpty());
    QVERIFY(s.server->receivedCommand("RETR a.txt"));
    InternetCloseHandle(s.connection);
}

void TestFtpFaults::olderDataCommands_data()
{
    QTest::addColumn<Hostile>("hostile");
    QTest::addColumn<bool>("passive");
    QTest::addColumn<QByteArray>("used");
    Hostile noEpsv;
    noEpsv.noEpsv = true;
    Hostile noEprt;
    noEprt.noEprt = true;
    QTest::newRow("PASV after a refused EPSV") << noEpsv << true << QByteArray("PASV");
    QTest::newRow("PORT after a refused EPRT") << noEprt << false << QByteArray("PORT");
}

void TestFtpFaults::olderDataCommands()
{
    QFETCH(Hostile, hostile);
    QFETCH(bool, passive);
    QFETCH(QByteArray, used);
    Started s = startAndConnect(hostile, passive);
    QVERIFY(s.connection != 0);
    QVERIFY(upload(s.connection, QStringLiteral("a.txt"), "one", FTP_TRANSFER_TYPE_BINARY));
    QVERIFY(upload(s.connection, QStringLiteral("b.txt"), "two", FTP_TRANSFER_TYPE_BINARY));
    QCOMPARE(listNames(s.connection),
             QStringList({QStringLiteral("a.txt"), QStringLiteral("b.txt")}));
    QTRY_VERIFY(s.server->receivedCommand(used));
    InternetCloseHandle(s.connection);
}

void TestFtpFaults::repliesOutOfBounds_data()
{
    QTest::addColumn<Hostile>("hostile");
    QTest::addColumn<bool>("atLogin");
    QTest::addColumn<bool>("connectionLives");
    Hostile huge;
    huge.hugeReplyTo = "PWD";
    Hostile garbage;
    garbage.garbageReplyTo = "PWD";
    Hostile endless;
    endless.endlessReplyTo = "PWD";
    Hostile noQuote;
    noQuote.pwdWithoutQuote = true;
    Hostile hugeFeat;
    hugeFeat.hugeReplyTo = "FEAT";
    Hostile endlessFeat;
    endlessFeat.endlessReplyTo = "FEAT";
    QTest::newRow("1 MiB reply line") << huge << false << false;
    QTest::newRow("garbage bytes") << garbage << false << false;
    QTest::newRow("multi-line reply without end") << endless << false << false;
    QTest::newRow("PWD without closing quote") << noQuote << false << true;
    QTest::newRow("1 MiB FEAT reply at login") << hugeFeat << true << false;
    QTest::newRow("endless FEAT reply at login") << endlessFeat << true << false;
}

void TestFtpFaults::repliesOutOfBounds()
{
    QFETCH(Hostile, hostile);
    QFETCH(bool, atLogin);
    QFETCH(bool, connectionLives);
    FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, hostile);
    QVERIFY2(server.start(), qPrintable(server.error()));
    QElapsedTimer clock;
    clock.start();
    const HINTERNET c = ftptest::connect(server, true);
    if (atLogin) {
        QCOMPARE(c, HINTERNET(0));
        QVERIFY(clock.elapsed() < kTimeoutMs);
        return;
    }
    QVERIFY(c != 0);
    clock.restart();
    QString pwd = QStringLiteral("stale");
    QVERIFY(!FtpGetCurrentDirectory(c, pwd));
    QVERIFY(pwd.isEmpty());
    // Bounds, not the timeout, end the reply.
    QVERIFY2(clock.elapsed() < kTimeoutMs, qPrintable(QString::number(clock.elapsed())));
    QCOMPARE(FtpSetCurrentDirectory(c, QStringLiteral("/")), connectionLives);
    InternetCloseHandle(c);
}

void TestFtpFaults::chosenListing_data()
{
    QTest::addColumn<Hostile>("hostile");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QList<uint>>("attributes");
    Hostile list;
    list.listLines = {"total 3",
                      "drwxr-xr-x 2 a b 4096 Jan 01  2020 .",
                      "drwxr-xr-x 2 a b 4096 Jan 01  2020 ..",
                      "-rw-r--r-- 1 a b 10 Jan 01  2020 good.txt",
                      "garbage \x01\xff line",
                      QByteArray(100000, 'x'),
                      "01-15-24  10:30AM       <DIR>          dos dir",
                      "-r--r--r-- 1 a b 5000000000 Feb 02  2021 big ro.iso",
                      "lrwxrwxrwx 1 a b 3 Jan 01  2020 link -> target"};
    QTest::newRow("LIST") << list
                          << QStringList({".", "..", "good.txt", "dos dir", "big ro.iso", "link"})
                          << QList<uint>({0x10, 0x10, 0x80, 0x10, 0x81, 0x80});
    Hostile mlsd;
    mlsd.mlsdLines = {"type=cdir;perm=el;modify=20240101000000; .",
                      "type=pdir;perm=el;modify=20240101000000; ..",
                      "type=file;size=3;perm=r;modify=20240101000000; read only", "no facts here",
                      "type=dir;perm=elcmp;modify=20240101000000; folder"};
    QTest::newRow("MLSD") << mlsd << QStringList({"read only", "folder"})
                          << QList<uint>({0x81, 0x10});
}

void TestFtpFaults::chosenListing()
{
    QFETCH(Hostile, hostile);
    QFETCH(QStringList, names);
    QFETCH(QList<uint>, attributes);
    Started s = startAndConnect(hostile, false);
    QVERIFY(s.connection != 0);
    QStringList gotNames;
    QList<uint> gotAttributes;
    WIN32_FIND_DATA data;
    const HINTERNET find = FtpFindFirstFile(s.connection, QStringLiteral("*.*"), data, 0, 0);
    QVERIFY(find != 0);
    do {
        gotNames << data.cFileName;
        gotAttributes << data.dwFileAttributes;
    } while (InternetFindNextFile(find, data));
    QVERIFY(InternetCloseHandle(find));
    QCOMPARE(gotNames, names);
    QCOMPARE(gotAttributes, attributes);
    InternetCloseHandle(s.connection);
}

void TestFtpFaults::findPatterns_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::addColumn<QStringList>("names");
    const QStringList all = {"a.txt", "b.log", "dir", "noext"};
    QTest::newRow("*.* is everything") << QStringLiteral("*.*") << all;
    QTest::newRow("* is everything") << QStringLiteral("*") << all;
    QTest::newRow("empty is everything") << QString() << all;
    QTest::newRow("extension") << QStringLiteral("*.TXT") << QStringList({"a.txt"});
    QTest::newRow("one character") << QStringLiteral("?.log") << QStringList({"b.log"});
    QTest::newRow("in a folder") << QStringLiteral("dir/*.txt") << QStringList({"c.txt"});
    QTest::newRow("absolute folder") << QStringLiteral("/dir/*") << QStringList({"c.txt", "d.bin"});
    QTest::newRow("a folder's path") << QStringLiteral("dir") << QStringList({"c.txt", "d.bin"});
    QTest::newRow("no match") << QStringLiteral("*.none") << QStringList();
}

void TestFtpFaults::findPatterns()
{
    QFETCH(QString, pattern);
    QFETCH(QStringList, names);
    Started s = startAndConnect();
    QVERIFY(s.connection != 0);
    for (const char *file : {"/a.txt", "/b.log", "/noext", "/dir/c.txt", "/dir/d.bin"})
        QVERIFY(writeFile(s.server->localPath(QString::fromLatin1(file)), "x"));
    QStringList found;
    WIN32_FIND_DATA data;
    const HINTERNET find = FtpFindFirstFile(s.connection, pattern, data, 0, 0);
    if (find != 0) {
        do
            found << data.cFileName;
        while (InternetFindNextFile(find, data));
        InternetCloseHandle(find);
    }
    found.sort();
    QCOMPARE(found, names);
    InternetCloseHandle(s.connection);
}

void TestFtpFaults::lastResponseIsKept()
{
    Started s = startAndConnect();
    QVERIFY(s.connection != 0);
    QString pwd;
    QVERIFY(FtpGetCurrentDirectory(s.connection, pwd));
    QVERIFY(InternetGetLastResponseInfo().startsWith(QStringLiteral("257 \"/\"")));
    QVERIFY(!FtpSetCurrentDirectory(s.connection, QStringLiteral("missing")));
    QVERIFY(InternetGetLastResponseInfo().startsWith(QStringLiteral("550")));
    InternetCloseHandle(s.connection);
}

void TestFtpFaults::endlessListingFails_data()
{
    QTest::addColumn<int>("pauseMs");
    QTest::addColumn<int>("timeoutMs");
    // At full speed the listing's size bound ends it.
    QTest::newRow("lines without end") << 0 << kTimeoutMs;
    // A line every 100 ms, each well within the timeout, for a minute.
    QTest::newRow("a line now and then") << 100 << 500;
}

// A listing that does not end fails, bounded in memory and in time, and
// leaves the program free to go on with a new connection.
void TestFtpFaults::endlessListingFails()
{
    QFETCH(int, pauseMs);
    QFETCH(int, timeoutMs);
    Hostile hostile;
    hostile.endlessListingPauseMs = pauseMs;
    Started s = startAndConnect(hostile);
    QVERIFY(s.connection != 0);
    SetInternetTimeout(timeoutMs);
    QElapsedTimer clock;
    clock.start();
    WIN32_FIND_DATA data;
    const HINTERNET find = FtpFindFirstFile(s.connection, QStringLiteral("*.*"), data, 0, 0);
    const qint64 took = clock.elapsed();
    SetInternetTimeout(kTimeoutMs);
    QCOMPARE(find, HINTERNET(0));
    QVERIFY2(took < 10 * timeoutMs + kSlackMs, qPrintable(QString::number(took)));
    InternetCloseHandle(s.connection);
    const HINTERNET again = ftptest::connect(*s.server, true);
    QVERIFY(again != 0);
    QString pwd;
    QVERIFY(FtpGetCurrentDirectory(again, pwd));
    InternetCloseHandle(again);
}

void TestFtpFaults::extraReplyIsNoLaterAnswer_data()
{
    QTest::addColumn<QByteArray>("after");
    QTest::addColumn<QByteArray>("extra");
    QTest::newRow("250 after MKD") << QByteArray("MKD") << QByteArray("250 Done.");
    QTest::newRow("550 after MKD") << QByteArray("MKD") << QByteArray("550 Refused.");
    QTest::newRow("250 after a listing's 226") << QByteArray("MLSD") << QByteArray("250 Done.");
    QTest::newRow("257 after PWD")
        << QByteArray("PWD") << QByteArray("257 \"/elsewhere\" is the current directory.");
}

// A server sends one final reply more than it was asked for, right after
// the answer to one command. The later commands still get their own answers:
// a failed CWD is no success, a delete does what its reply says.
void TestFtpFaults::extraReplyIsNoLaterAnswer()
{
    QFETCH(QByteArray, after);
    QFETCH(QByteArray, extra);
    Hostile hostile;
    hostile.extraReplyAfter = after;
    hostile.extraReply = extra;
    Started s = startAndConnect(hostile);
    QVERIFY(s.connection != 0);
    QVERIFY(writeFile(s.server->localPath(QStringLiteral("/victim.txt")), "x"));
    QVERIFY(writeFile(s.server->localPath(QStringLiteral("/sub/keep.txt")), "x"));

    QString pwd;
    if (after == "MKD")
        QVERIFY(FtpCreateDirectory(s.connection, QStringLiteral("new")));
    else if (after == "MLSD")
        QCOMPARE(listNames(s.connection), QStringList({"sub", "victim.txt"}));
    else
        QVERIFY(FtpGetCurrentDirectory(s.connection, pwd));
    QTRY_VERIFY(s.server->receivedCommand(after));

    QVERIFY(!FtpSetCurrentDirectory(s.connection, QStringLiteral("missing")));
    QVERIFY(FtpGetCurrentDirectory(s.connection, pwd));
    QCOMPARE(pwd, QStringLiteral("/"));
    QVERIFY(!FtpSetCurrentDirectoryChain(s.connection, {"/", "sub", "missing"}));
    QVERIFY(FtpSetCurrentDirectory(s.connection, QStringLiteral("/")));
    QVERIFY(FtpDeleteFile(s.connection, QStringLiteral("victim.txt")));
    QVERIFY(!QFile::exists(s.server->localPath(QStringLiteral("/victim.txt"))));
    QVERIFY(!FtpDeleteFile(s.connection, QStringLiteral("victim.txt")));
    QVERIFY(FtpGetCurrentDirectory(s.connection, pwd));
    QCOMPARE(pwd, QStringLiteral("/"));
    InternetCloseHandle(s.connection);
}

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet(kDownloadChild))
        return downloadAsChild();
    TestFtpFaults test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}
#include "tst_ftpfaults.moc"
