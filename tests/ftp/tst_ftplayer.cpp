// The FTP layer against real servers: every behaviour runs over pyftpdlib
// and vsftpd, each in passive and in active mode.

#include "ftptesthelpers.h"

#include <QTemporaryDir>
#include <QTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace ftptest;
using Kind = FtpTestServer::Kind;

Q_DECLARE_METATYPE(FtpTestServer::Kind)

namespace {

// The server path of `name` inside the server's work folder.
QString at(const FtpTestServer &server, const QString &name)
{
    const QString work = server.workFolder();
    return work == u"/" ? u'/' + name : work + u'/' + name;
}

QDateTime utc(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    return QDateTime(QDate(y, mo, d), QTime(h, mi, s), Qt::UTC);
}

bool setModified(const QString &path, const QDateTime &time)
{
    QFile file(path);
    return file.open(QIODevice::ReadWrite) &&
           file.setFileTime(time, QFileDevice::FileModificationTime);
}

} // namespace

class TestFtpLayer : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { SetInternetTimeout(10000); }
    void folderOperations_data() { serverRows(); }
    void folderOperations();
    void folderChain_data();
    void folderChain();
    void listing_data() { serverRows(); }
    void listing();
    void download_data() { serverRows(); }
    void download();
    void binaryUpload_data() { serverRows(); }
    void binaryUpload();
    void asciiUpload_data();
    void asciiUpload();

private:
    static void serverRows();
    // Starts the row's server and connects in the row's mode, in the work
    // folder. Leaves the test (failed) when that does not work.
    bool begin(FtpTestServer &server, HINTERNET &connection);
};

void TestFtpLayer::serverRows()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("passive");
    for (Kind kind : {Kind::Pyftpdlib, Kind::Vsftpd}) {
        const QByteArray name = FtpTestServer::kindName(kind).toLatin1();
        QTest::newRow(name + " passive") << kind << true;
        QTest::newRow(name + " active") << kind << false;
    }
}

bool TestFtpLayer::begin(FtpTestServer &server, HINTERNET &connection)
{
    QFETCH(bool, passive);
    if (!server.start()) {
        qWarning("%s", qPrintable(server.error()));
        return false;
    }
    connection = ftptest::connect(server, passive);
    return connection != 0 && FtpSetCurrentDirectory(connection, server.workFolder());
}

void TestFtpLayer::folderOperations()
{
    QFETCH(Kind, kind);
    FtpTestServer server(kind);
    HINTERNET c = 0;
    QVERIFY(begin(server, c));
    const QString work = server.workFolder();
    auto isDir = [&](const QString &name) {
        return QFileInfo(server.localPath(at(server, name))).isDir();
    };
    auto exists = [&](const QString &name) {
        return QFileInfo::exists(server.localPath(at(server, name)));
    };
    QString pwd;
    QVERIFY(FtpGetCurrentDirectory(c, pwd));
    QCOMPARE(pwd, work);

    // Make: relative to the server's current folder, and absolute.
    QVERIFY(FtpCreateDirectory(c, QStringLiteral("sub")));
    QVERIFY(isDir(QStringLiteral("sub")));
    QVERIFY(FtpCreateDirectory(c, at(server, QStringLiteral("abs"))));
    QVERIFY(isDir(QStringLiteral("abs")));
    QVERIFY(!FtpCreateDirectory(c, QStringLiteral("sub")));

    // Enter and leave; the current folder is the server's.
    QVERIFY(FtpSetCurrentDirectory(c, QStringLiteral("sub")));
    QVERIFY(FtpGetCurrentDirectory(c, pwd));
    QCOMPARE(pwd, at(server, QStringLiteral("sub")));
    QVERIFY(FtpCreateDirectory(c, QStringLiteral("inner")));
    QVERIFY(isDir(QStringLiteral("sub/inner")));
    QVERIFY(FtpSetCurrentDirectory(c, QStringLiteral("..")));
    QVERIFY(FtpGetCurrentDirectory(c, pwd));
    QCOMPARE(pwd, work);
    QVERIFY(!FtpSetCurrentDirectory(c, QStringLiteral("missing")));
    QVERIFY(FtpGetCurrentDirectory(c, pwd));
    QCOMPARE(pwd, work);
    QVERIFY(FtpSetCurrentDirectory(c, at(server, QStringLiteral("sub/inner"))));
    QVERIFY(FtpGetCurrentDirectory(c, pwd));
    QCOMPARE(pwd, at(server, QStringLiteral("sub/inner")));
    QVERIFY(FtpSetCurrentDirectory(c, work));

    // Rename: old name first; relative, then absolute into another folder.
    QVERIFY(writeFile(server.localPath(at(server, QStringLiteral("old.txt"))), "x"));
    QVERIFY(FtpRenameFile(c, QStringLiteral("old.txt"), QStringLiteral("new.txt")));
    QVERIFY(!exists(QStringLiteral("old.txt")));
    QVERIFY(exists(QStringLiteral("new.txt")));
    QVERIFY(FtpRenameFile(c, at(server, QStringLiteral("new.txt")),
                          at(server, QStringLiteral("sub/moved.txt"))));
    QVERIFY(exists(QStringLiteral("sub/moved.txt")));
    QVERIFY(!FtpRenameFile(c, QStringLiteral("old.txt"), QStringLiteral("again.txt")));

    // Delete.
    QVERIFY(FtpDeleteFile(c, at(server, QStringLiteral("sub/moved.txt"))));
    QVERIFY(!exists(QStringLiteral("sub/moved.txt")));
    QVERIFY(writeFile(server.localPath(at(server, QStringLiteral("rel.txt"))), "y"));
    QVERIFY(FtpDeleteFile(c, QStringLiteral("rel.txt")));
    QVERIFY(!exists(QStringLiteral("rel.txt")));
    QVERIFY(!FtpDeleteFile(c, QStringLiteral("rel.txt")));

    // Remove: a folder that is not empty stays.
    QVERIFY(!FtpRemoveDirectory(c, QStringLiteral("sub")));
    QVERIFY(FtpRemoveDirectory(c, QStringLiteral("sub/inner")));
    QVERIFY(FtpRemoveDirectory(c, QStringLiteral("sub")));
    QVERIFY(FtpRemoveDirectory(c, at(server, QStringLiteral("abs"))));
    QVERIFY(!isDir(QStringLiteral("sub")));
    QVERIFY(!isDir(QStringLiteral("abs")));
    QVERIFY(!FtpRemoveDirectory(c, QStringLiteral("abs")));
    QVERIFY(InternetCloseHandle(c));
}

void TestFtpLayer::folderChain_data()
{
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("passive");
    QTest::addColumn<QStringList>("steps"); // below the work folder
    QTest::addColumn<QString>("reached");   // "-": fails; "=": fails, nothing sent
    for (Kind kind : {Kind::Pyftpdlib, Kind::Vsftpd}) {
        const QByteArray name = FtpTestServer::kindName(kind).toLatin1();
        const auto row = [&](const char *what) -> QTestData & {
            return QTest::newRow(name + ' ' + what) << kind;
        };
        row("all steps") << true << QStringList{"a", "b"} << "a/b";
        // "b" exists in the work folder too: a later step that succeeds from
        // where a failed one left the server does not make the chain good.
        row("failed step, later one works") << true << QStringList{"missing", "b"} << "-";
        row("failed last step") << true << QStringList{"a", "missing"} << "-";
        row("empty name") << true << QStringList{"a", ""} << "=";
        row("line break") << true << QStringList{"a", "b\r\nDELE x"} << "=";
    }
}

// The changes of folder sent together: every reply is read, so the
// connection answers the next command with its own reply.
void TestFtpLayer::folderChain()
{
    QFETCH(Kind, kind);
    QFETCH(QStringList, steps);
    QFETCH(QString, reached);
    FtpTestServer server(kind);
    HINTERNET c = 0;
    QVERIFY(begin(server, c));
    for (const char *folder : {"a/b", "b"})
        QVERIFY(QDir().mkpath(server.localPath(at(server, QString::fromLatin1(folder)))));
    const QString work = server.workFolder();
    QStringList chain{QStringLiteral("/")};
    chain += work.split(u'/', Qt::SkipEmptyParts);
    chain += steps;
    const bool ok = FtpSetCurrentDirectoryChain(c, chain);
    QCOMPARE(ok, reached != u"-" && reached != u"=");
    QString pwd;
    QVERIFY(FtpGetCurrentDirectory(c, pwd));
    if (ok)
        QCOMPARE(pwd, at(server, reached));
    if (reached == u"=")
        QCOMPARE(pwd, work);
    QVERIFY(!server.receivedCommand("DELE"));
    QVERIFY(FtpSetCurrentDirectory(c, at(server, QStringLiteral("b"))));
    QVERIFY(FtpGetCurrentDirectory(c, pwd));
    QCOMPARE(pwd, at(server, QStringLiteral("b")));
    QVERIFY(InternetCloseHandle(c));
}

void TestFtpLayer::listing()
{
    QFETCH(Kind, kind);
    FtpTestServer server(kind);
    HINTERNET c = 0;
    QVERIFY(begin(server, c));
    const bool mlsd = kind == Kind::Pyftpdlib; // vsftpd offers only LIST
    auto local = [&](const QString &name) { return server.localPath(at(server, name)); };

    QVERIFY(writeFile(local(QStringLiteral("plain.txt")), QByteArray(1234, 'p')));
    QVERIFY(setModified(local(QStringLiteral("plain.txt")), utc(2021, 3, 4, 5, 6, 7)));
    const QDateTime recent = QDateTime::currentDateTimeUtc().addSecs(-7200);
    QVERIFY(writeFile(local(QStringLiteral("with  blanks.txt")), "b"));
    QVERIFY(setModified(local(QStringLiteral("with  blanks.txt")), recent));
    QVERIFY(writeFile(local(QStringLiteral(" leading.txt")), "l"));
    QVERIFY(writeFile(local(QStringLiteral("readonly.txt")), "r"));
    QFile::setPermissions(local(QStringLiteral("readonly.txt")),
                          QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    QVERIFY(QDir().mkpath(local(QStringLiteral("dir"))));
    QVERIFY(writeFile(local(QStringLiteral("dir/inside.txt")), "i"));
    const qint64 huge = 5LL * 1024 * 1024 * 1024 + 3; // sparse: costs no disk
    {
        QFile file(local(QStringLiteral("huge.bin")));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.resize(huge));
    }
    // A name beyond ASCII: UTF-8 where the server offers it, else Latin-1
    // (vsftpd), which keeps every byte of the name.
    const QString accented = QStringLiteral("caf\u00e9.txt");
    if (mlsd) {
        QVERIFY(writeFile(local(accented), "c"));
    } else {
        const QByteArray raw = QFile::encodeName(local(QString())) + "/caf\xe9.txt";
        const int fd = ::open(raw.constData(), O_WRONLY | O_CREAT, 0644);
        QVERIFY(fd >= 0 && ::write(fd, "c", 1) == 1);
        ::close(fd);
    }

    QHash<QString, WIN32_FIND_DATA> entries;
    WIN32_FIND_DATA data;
    const HINTERNET find = FtpFindFirstFile(c, QStringLiteral("*.*"), data, 0, 0);
    QVERIFY(find != 0);
    do
        entries.insert(data.cFileName, data);
    while (InternetFindNextFile(find, data));
    QVERIFY(InternetCloseHandle(find));
    QVERIFY(!InternetFindNextFile(find, data));

    QStringList names = entries.keys();
    names.sort();
    QCOMPARE(names,
             QStringList({QStringLiteral(" leading.txt"), accented, QStringLiteral("dir"),
                          QStringLiteral("huge.bin"), QStringLiteral("plain.txt"),
                          QStringLiteral("readonly.txt"), QStringLiteral("with  blanks.txt")}));
    const WIN32_FIND_DATA plain = entries.value(QStringLiteral("plain.txt"));
    QCOMPARE(plain.dwFileAttributes, std::uint32_t(0x80));
    QCOMPARE(plain.nFileSize, std::uint64_t(1234));
    // LIST shows old files with their date only.
    QCOMPARE(plain.ftLastWriteTime, mlsd ? utc(2021, 3, 4, 5, 6, 7) : utc(2021, 3, 4));
    const QDateTime blanksTime = entries.value(QStringLiteral("with  blanks.txt")).ftLastWriteTime;
    const QDateTime expectedRecent = QDateTime(
        recent.date(),
        QTime(recent.time().hour(), recent.time().minute(), mlsd ? recent.time().second() : 0),
        Qt::UTC);
    QCOMPARE(blanksTime, expectedRecent);
    QCOMPARE(entries.value(QStringLiteral("dir")).dwFileAttributes, std::uint32_t(0x10));
    QCOMPARE(entries.value(QStringLiteral("huge.bin")).nFileSize, std::uint64_t(huge));
    // pyftpdlib's perm fact follows the user's rights, not the file's mode.
    QCOMPARE(entries.value(QStringLiteral("readonly.txt")).dwFileAttributes,
             std::uint32_t(mlsd ? 0x80 : 0x81));

    // A name that Latin-1 cannot hold is refused rather than sent with '?'.
    if (!mlsd)
        QVERIFY(!FtpCreateDirectory(c, QStringLiteral("\u65e5\u672c")));
    // The name comes back to the server byte for byte.
    QTemporaryDir target;
    QVERIFY(FtpGetFile(c, accented, target.filePath(QStringLiteral("c")), false, 0x80,
                       INTERNET_FLAG_RELOAD, 0));
    QCOMPARE(readFile(target.filePath(QStringLiteral("c"))), QByteArray("c"));

    // The listing is the server's current folder.
    QVERIFY(FtpSetCurrentDirectory(c, QStringLiteral("dir")));
    QCOMPARE(listNames(c), QStringList({QStringLiteral("inside.txt")}));
    QVERIFY(FtpCreateDirectory(c, at(server, QStringLiteral("empty"))));
    QVERIFY(FtpSetCurrentDirectory(c, at(server, QStringLiteral("empty"))));
    QCOMPARE(FtpFindFirstFile(c, QStringLiteral("*.*"), data, 0, 0), HINTERNET(0));
    QVERIFY(InternetCloseHandle(c));
}

void TestFtpLayer::download()
{
    QFETCH(Kind, kind);
    FtpTestServer server(kind);
    HINTERNET c = 0;
    QVERIFY(begin(server, c));
    const QByteArray content = randomBytes(300 * 1024 + 7);
    QVERIFY(writeFile(server.localPath(at(server, QStringLiteral("data.bin"))), content));
    QVERIFY(writeFile(server.localPath(at(server, QStringLiteral("empty.bin"))), {}));
    QTemporaryDir dir;
    auto local = [&](const char *name) { return dir.filePath(QString::fromLatin1(name)); };
    auto get = [&](const QString &remote, const QString &path, bool failIfExists = false) {
        return FtpGetFile(c, remote, path, failIfExists, 0x80, INTERNET_FLAG_RELOAD, 0);
    };

    QVERIFY(get(QStringLiteral("data.bin"), local("fresh.bin")));
    QCOMPARE(sha256(readFile(local("fresh.bin"))), sha256(content));
    QVERIFY(writeFile(local("existing.bin"), "old content"));
    const auto mode = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(local("existing.bin"), mode));
    QVERIFY(get(at(server, QStringLiteral("data.bin")), local("existing.bin")));
    QCOMPARE(sha256(readFile(local("existing.bin"))), sha256(content));
    // The replaced file keeps its mode; a new one gets the usual mode of a
    // new file, not the private mode of the temporary file.
    QCOMPARE(QFile::permissions(local("existing.bin")) & 0x7077, mode);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    QCOMPARE(QFileInfo(local("fresh.bin")).permissions() & QFile::ReadOther,
             (mask & S_IROTH) ? QFileDevice::Permissions() : QFile::ReadOther);
    // A target name at the file system's limit still finds room for its
    // temporary file.
    const QString longName = QString(250, u'n');
    QVERIFY(get(QStringLiteral("data.bin"), dir.filePath(longName)));
    QCOMPARE(QFileInfo(dir.filePath(longName)).size(), content.size());
    QVERIFY(QFile::remove(dir.filePath(longName)));
    QVERIFY(get(QStringLiteral("empty.bin"), local("empty.bin")));
    QCOMPARE(QFileInfo(local("empty.bin")).size(), 0);

    // Failures leave an existing file as it was.
    QVERIFY(writeFile(local("kept.bin"), "kept"));
    QVERIFY(!get(QStringLiteral("missing.bin"), local("kept.bin")));
    QVERIFY(!get(QStringLiteral("data.bin"), local("kept.bin"), true));
    QCOMPARE(readFile(local("kept.bin")), QByteArray("kept"));
    QVERIFY(!get(QStringLiteral("missing.bin"), local("never.bin")));
    // ... and no temporary file anywhere.
    QCOMPARE(filesIn(dir.path()),
             QStringList({QStringLiteral("empty.bin"), QStringLiteral("existing.bin"),
                          QStringLiteral("fresh.bin"), QStringLiteral("kept.bin")}));
    // The connection still works after the failures.
    QString pwd;
    QVERIFY(FtpGetCurrentDirectory(c, pwd));
    QVERIFY(InternetCloseHandle(c));
}

void TestFtpLayer::binaryUpload()
{
    QFETCH(Kind, kind);
    FtpTestServer server(kind);
    HINTERNET c = 0;
    QVERIFY(begin(server, c));
    for (qsizetype size : {0, 255, 510, 5 * 1024 * 1024 + 17}) {
        const QByteArray bytes = randomBytes(size);
        const QString name = QStringLiteral("up-%1.bin").arg(size);
        QVERIFY2(upload(c, name, bytes, FTP_TRANSFER_TYPE_BINARY), qPrintable(name));
        QCOMPARE(sha256(readFile(server.localPath(at(server, name)))), sha256(bytes));
    }
    // Binary leaves line ends alone; an upload over a file replaces it.
    const QString text = QStringLiteral("text.txt");
    QVERIFY(upload(c, text, QByteArray(4000, 'z'), FTP_TRANSFER_TYPE_BINARY));
    QVERIFY(upload(c, text, "a\nb\r\nc\n", FTP_TRANSFER_TYPE_BINARY));
    QCOMPARE(readFile(server.localPath(at(server, text))), QByteArray("a\nb\r\nc\n"));
    QVERIFY(InternetCloseHandle(c));
}

void TestFtpLayer::asciiUpload_data()
{
    // vsftpd stores ASCII uploads as they arrive (pyftpdlib turns CR LF back
    // into LF on disk), so it shows what went over the wire.
    QTest::addColumn<Kind>("kind");
    QTest::addColumn<bool>("passive");
    QTest::newRow("vsftpd passive") << Kind::Vsftpd << true;
    QTest::newRow("vsftpd active") << Kind::Vsftpd << false;
}

void TestFtpLayer::asciiUpload()
{
    QFETCH(Kind, kind);
    FtpTestServer server(kind);
    HINTERNET c = 0;
    QVERIFY(begin(server, c));
    // Line ends on both sides of the 255-byte block borders: a CR LF split
    // by a border must not become CR CR LF.
    const QByteArray first = QByteArray(254, 'a');
    const QByteArray second = QByteArray(253, 'b');
    const QByteArray sent = "one\ntwo\r\n" + first.mid(9) + "\r\n" + second + "\nend\n";
    const QByteArray expected = "one\r\ntwo\r\n" + first.mid(9) + "\r\n" + second + "\r\nend\r\n";
    QCOMPARE(sent.indexOf('\r', 200), 254); // the CR closes the first block
    QCOMPARE(sent.indexOf('\n', 500), 509); // the LF closes the second one
    QVERIFY(upload(c, QStringLiteral("text.txt"), sent, FTP_TRANSFER_TYPE_ASCII));
    QCOMPARE(readFile(server.localPath(at(server, QStringLiteral("text.txt")))), expected);
    QVERIFY(InternetCloseHandle(c));
}

QTEST_GUILESS_MAIN(TestFtpLayer)
#include "tst_ftplayer.moc"
