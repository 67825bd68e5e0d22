// Every server command acts on exactly the item the user picked: names that
// are not UTF-8, names with blanks at their edges and names holding "\" are
// used byte for byte; recursive delete and download never go through a link
// or round a loop; a folder whose listing fails is named in a red line; a
// folder the user cannot write stays a folder. Each against real servers.

#include "core/download.h"
#include "core/mdatabase.h"
#include "core/serverdelete.h"
#include "core/upload.h"
#include "platform/pure/bytename.h"
#include "platform/ui.h"
#include "serveropshelpers.h"
#include "serverpane/frmpopupfrmserver.h"

#include <QPushButton>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace serveropstest;

namespace {

using Kind = FtpTestServer::Kind;

// Files with names that QFile cannot spell are made and read by their bytes.
QByteArray bytePath(const QString &folder, const QByteArray &name)
{
    return folder.toUtf8() + '/' + name;
}

bool writeRaw(const QByteArray &path, const QByteArray &bytes)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
    if (fd < 0)
        return false;
    const bool ok = ::write(fd, bytes.constData(), size_t(bytes.size())) == bytes.size();
    ::close(fd);
    return ok;
}

QByteArray readRaw(const QByteArray &path)
{
    const int fd = ::open(path.constData(), O_RDONLY);
    if (fd < 0)
        return "<missing>";
    QByteArray bytes(4096, '\0');
    const ssize_t n = ::read(fd, bytes.data(), size_t(bytes.size()));
    ::close(fd);
    return bytes.left(n < 0 ? 0 : qsizetype(n));
}

bool existsRaw(const QByteArray &path)
{
    struct stat st;
    return ::lstat(path.constData(), &st) == 0;
}

// The entries of a folder other than "." and "..", whatever bytes their names hold.
int entryCount(const QString &folder)
{
    DIR *d = ::opendir(folder.toUtf8().constData());
    if (!d)
        return -1;
    int n = 0;
    while (const dirent *e = ::readdir(d))
        n += qstrcmp(e->d_name, ".") != 0 && qstrcmp(e->d_name, "..") != 0;
    ::closedir(d);
    return n;
}

bool makeLink(const QByteArray &target, const QString &link)
{
    return ::symlink(target.constData(), link.toUtf8().constData()) == 0;
}

// The name as the program carries it: the bytes on a UTF-8 server
// (pyftpdlib), Latin-1 text on the others.
QString carried(Kind kind, const QByteArray &bytes)
{
    return kind == Kind::Pyftpdlib ? ByteName::fromBytes(bytes) : QString::fromLatin1(bytes);
}

QString red(const char *key, const QString &object)
{
    return QStringLiteral("[red]") + GetText(key) + QLatin1Char(' ') + object;
}

bool anyRed(const QStringList &lines)
{
    return lines.join(QLatin1Char('\n')).contains(QLatin1String("[red]"));
}

frmPopUpfrmServer &popup()
{
    return frmPopUpfrmServer::instance();
}

void doubleClick(const QString &text)
{
    selectOnly(text);
    frmServer::instance().lsvServer_DblClick();
}

void addKindRows(const QStringList &commands)
{
    for (const Kind kind : {Kind::Pyftpdlib, Kind::Vsftpd})
        for (const QString &command : commands)
            QTest::newRow(qPrintable(FtpTestServer::kindName(kind) + QLatin1Char(' ') + command))
                << kind << command;
}

} // namespace

class TestServerPicks : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    std::unique_ptr<FtpTestServer> m_server;
    QString m_target;

    ScriptedDialogs &boxes() { return *m_program->dialogs; }

    // Starts the server and returns the local path of the folder "t" below
    // its work folder, which the test fills.
    QString startServer(Kind kind, FtpTestServer::Hostile hostile = {})
    {
        m_server = std::make_unique<FtpTestServer>(kind, hostile);
        if (!m_server->start())
            return QString();
        const QString folder = m_server->localPath(below(*m_server, QStringLiteral("t")));
        QDir().mkpath(folder);
        return folder;
    }
    // Connects in the folder "t", everyone allowed to change what is in it.
    bool connectToFolder()
    {
        letEveryoneWrite(m_server->localPath(m_server->workFolder()));
        return connectTo(*m_server, below(*m_server, QStringLiteral("t")));
    }
    void downloadAsUnchanged(const QString &name)
    {
        selectOnly(name);
        frmDownloadAls dialog;
        dialog.Form_Load();
        dialog.cmdDownload->click();
    }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<Program>();
        m_target = m_program->home() + QStringLiteral("/target/");
        QVERIFY(QDir().mkpath(m_target));
        showLocalFolder(m_target);
    }
    void cleanup()
    {
        m_program.reset();
        m_server.reset();
        ResetDeleteState();
        ResetDownloadState();
    }

    // "a\xe9.txt" (Latin-1) and "a\xef\xbf\xbd.txt" (a real U+FFFD) look
    // alike once decoded; each command must reach the one picked.
    void byteNames_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("command");
        addKindRows({"download", "download as", "delete", "rename", "rename unchanged"});
    }
    void byteNames()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, command);
        FtpTestServer::Hostile raw;
        raw.rawNames = true;
        const QString folder = startServer(kind, raw);
        QVERIFY2(!folder.isEmpty(), qPrintable(m_server->error()));
        const QByteArray latin = "a\xe9.txt";
        const QByteArray fffd = "a\xef\xbf\xbd.txt";
        QVERIFY(writeRaw(bytePath(folder, latin), "latin one"));
        QVERIFY(writeRaw(bytePath(folder, fffd), "real fffd"));
        QVERIFY(connectToFolder());
        const QString name = carried(kind, latin);
        QCOMPARE(itemTexts().size(), 3);
        QVERIFY(itemTexts().contains(name));
        QVERIFY(itemTexts().contains(carried(kind, fffd)));
        // Only the shown text replaces the bytes that are not UTF-8.
        const QModelIndex row = serverList()->model()->index(itemIndex(name), 0);
        QCOMPARE(row.data().toString(), ByteName::shown(name));
        selectOnly(name);
        ClearLog();

        if (command == QLatin1String("download")) {
            DownloadServerSelection();
            QCOMPARE(readRaw(bytePath(m_target, ByteName::toBytes(name))), QByteArray("latin one"));
            QCOMPARE(entryCount(m_target), 1);
        } else if (command == QLatin1String("download as")) {
            downloadAsUnchanged(name);
            QCOMPARE(readRaw(bytePath(m_target, ByteName::toBytes(name))), QByteArray("latin one"));
            QCOMPARE(entryCount(m_target), 1);
        } else if (command == QLatin1String("delete")) {
            DeleteServerSelection();
            QVERIFY(!existsRaw(bytePath(folder, latin)));
        } else if (command == QLatin1String("rename unchanged")) {
            // The box shows the name with U+FFFD; kept as it is, it names
            // the file picked, never its twin.
            boxes().inputs << ByteName::shown(name);
            popup().mnuUmbenennen->trigger();
            QCOMPARE(boxes().boxes.last().defaultText, ByteName::shown(name));
            QCOMPARE(readRaw(bytePath(folder, latin)), QByteArray("latin one"));
        } else {
            boxes().inputs << QStringLiteral("renamed.txt");
            popup().mnuUmbenennen->trigger();
            QCOMPARE(readRaw(bytePath(folder, "renamed.txt")), QByteArray("latin one"));
            QVERIFY(!existsRaw(bytePath(folder, latin)));
        }
        QCOMPARE(readRaw(bytePath(folder, fffd)), QByteArray("real fffd"));
        QVERIFY(!anyRed(logLines()));
    }

    // The path combo shows a byte-named folder as the list does; picking its
    // entry enters that folder, not its look-alike.
    void byteNamedFolderInTheCombo_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("command");
        addKindRows({"pick"});
    }
    void byteNamedFolderInTheCombo()
    {
        QFETCH(Kind, kind);
        FtpTestServer::Hostile raw;
        raw.rawNames = true;
        const QString folder = startServer(kind, raw);
        QVERIFY2(!folder.isEmpty(), qPrintable(m_server->error()));
        for (const QByteArray &sub : {QByteArray("d\xe9"), QByteArray("d\xef\xbf\xbd")}) {
            QVERIFY(::mkdir(bytePath(folder, sub).constData(), 0777) == 0);
            QVERIFY(writeRaw(bytePath(folder, sub + "/in-" + sub.toHex() + ".txt"), "x"));
        }
        QVERIFY(connectToFolder());
        const QString name = carried(kind, "d\xe9");
        const QString entry = below(*m_server, QStringLiteral("t/")) + name;
        doubleClick(name);
        QCOMPARE(combo()->itemText(combo()->currentIndex()), ByteName::shown(entry));
        doubleClick(QStringLiteral(".."));
        const int index = int(comboEntries().indexOf(ByteName::shown(entry)));
        QVERIFY(index >= 0);
        combo()->setCurrentIndex(index);
        frmServer::instance().cboServer_Click();
        QCOMPARE(FtpCurrentDir(), entry);
        QCOMPARE(itemTexts(), (QStringList{"..", "in-64e9.txt"}));
    }

    // " lead.txt" beside "lead.txt" and "trail.txt " beside "trail.txt":
    // the blanks belong to the names.
    void blankEdgedNames_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("command");
        addKindRows({"rename", "download", "download as", "upload"});
    }
    void blankEdgedNames()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, command);
        const QString folder = startServer(kind);
        QVERIFY2(!folder.isEmpty(), qPrintable(m_server->error()));
        const QString lead = QStringLiteral(" lead.txt");
        const QString trail = QStringLiteral("trail.txt ");
        // The upload makes the blank-edged names on the server itself.
        if (command != QLatin1String("upload")) {
            QVERIFY(writeFile(folder + QLatin1Char('/') + lead, "lead blank"));
            QVERIFY(writeFile(folder + QLatin1Char('/') + trail, "trail blank"));
        }
        QVERIFY(writeFile(folder + QStringLiteral("/lead.txt"), "no blank"));
        QVERIFY(writeFile(folder + QStringLiteral("/trail.txt"), "no trail"));
        QVERIFY(connectToFolder());
        ClearLog();

        if (command == QLatin1String("rename")) {
            selectOnly(lead);
            boxes().inputs << QStringLiteral("renamed.txt");
            popup().mnuUmbenennen->trigger();
            QCOMPARE(readFile(folder + QStringLiteral("/renamed.txt")), QByteArray("lead blank"));
            QVERIFY(!QFile::exists(folder + QLatin1Char('/') + lead));
        } else if (command == QLatin1String("download")) {
            selectItems(serverList(), {lead, trail});
            DownloadServerSelection();
            QCOMPARE(QDir(m_target).entryList(QDir::Files), (QStringList{lead, trail}));
            QCOMPARE(readFile(m_target + lead), QByteArray("lead blank"));
            QCOMPARE(readFile(m_target + trail), QByteArray("trail blank"));
        } else if (command == QLatin1String("download as")) {
            downloadAsUnchanged(lead);
            QCOMPARE(QDir(m_target).entryList(QDir::Files), QStringList{lead});
            QCOMPARE(readFile(m_target + lead), QByteArray("lead blank"));
        } else {
            const QString local = m_program->home() + QStringLiteral("/up/");
            QVERIFY(writeFile(local + lead, "local lead"));
            QVERIFY(writeFile(local + trail, "local trail"));
            showLocalFolder(local);
            selectItems(frmLocal::instance().lsvDirFile, {lead, trail});
            UploadSelection();
            QCOMPARE(readFile(folder + QLatin1Char('/') + lead), QByteArray("local lead"));
            QCOMPARE(readFile(folder + QLatin1Char('/') + trail), QByteArray("local trail"));
        }
        QCOMPARE(readFile(folder + QStringLiteral("/lead.txt")), QByteArray("no blank"));
        QCOMPARE(readFile(folder + QStringLiteral("/trail.txt")), QByteArray("no trail"));
        QVERIFY(!anyRed(logLines()));
    }

    // On a Unix server "a\b.txt" is one file name, and "d\e" one folder.
    void backslashNames_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("command");
        addKindRows({"download", "delete", "download as"});
    }
    void backslashNames()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, command);
        const QString folder = startServer(kind);
        QVERIFY2(!folder.isEmpty(), qPrintable(m_server->error()));
        const QString file = QStringLiteral("a\\b.txt");
        const QString sub = QStringLiteral("d\\e");
        QVERIFY(writeFile(folder + QLatin1Char('/') + file, "back"));
        QVERIFY(writeFile(folder + QLatin1Char('/') + sub + QStringLiteral("/in.txt"), "inside"));
        QVERIFY(connectToFolder());
        ClearLog();

        if (command == QLatin1String("download")) {
            selectItems(serverList(), {file, sub});
            DownloadServerSelection();
            QCOMPARE(treeOf(m_target).keys(), (QStringList{file, sub + "/", sub + "/in.txt"}));
            QCOMPARE(readFile(m_target + file), QByteArray("back"));
        } else if (command == QLatin1String("delete")) {
            selectItems(serverList(), {file, sub});
            DeleteServerSelection();
            QVERIFY(treeOf(folder).isEmpty());
        } else {
            downloadAsUnchanged(file);
            QCOMPARE(readFile(m_target + file), QByteArray("back"));
        }
        QVERIFY(!anyRed(logLines()));
    }

    // sel holds links to a folder inside it, to a folder outside it and to
    // itself; "outside" beside it is a link to the folder victim.
    void linksAreNeverWalked_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QString>("command");
        addKindRows({"delete sel", "delete outside", "download sel"});
    }
    void linksAreNeverWalked()
    {
        QFETCH(Kind, kind);
        QFETCH(QString, command);
        const QString folder = startServer(kind);
        QVERIFY2(!folder.isEmpty(), qPrintable(m_server->error()));
        QVERIFY(writeFile(folder + QStringLiteral("/sel/own.txt"), "own"));
        QVERIFY(writeFile(folder + QStringLiteral("/sel/sub/in.txt"), "in"));
        QVERIFY(writeFile(folder + QStringLiteral("/victim/precious.txt"), "precious"));
        QVERIFY(connectToFolder()); // before the links: the rights must not follow them
        QVERIFY(makeLink("sub", folder + QStringLiteral("/sel/inlink")));
        QVERIFY(makeLink("../victim", folder + QStringLiteral("/sel/outlink")));
        QVERIFY(makeLink(".", folder + QStringLiteral("/sel/loop")));
        QVERIFY(makeLink("victim", folder + QStringLiteral("/outside")));
        RefreshServerList(hFtpConnection);
        ClearLog();

        const QString selected = command.section(QLatin1Char(' '), 1);
        selectItems(serverList(), {selected});
        if (command.startsWith(QLatin1String("delete"))) {
            DeleteServerSelection();
            QVERIFY(!existsRaw((folder + QLatin1Char('/') + selected).toUtf8()));
            QVERIFY(!anyRed(logLines()));
        } else {
            DownloadServerSelection();
            // The links are files to the download: one to a folder cannot
            // be fetched and gets its red line.
            QCOMPARE(treeOf(m_target).keys(),
                     (QStringList{"sel/", "sel/own.txt", "sel/sub/", "sel/sub/in.txt"}));
        }
        QCOMPARE(readFile(folder + QStringLiteral("/victim/precious.txt")), QByteArray("precious"));
        QVERIFY(!Ui::isBusy());
    }

    // A server that shows a link as a folder and reports the folder it led
    // to: the walk sees it is elsewhere and goes no further.
    void linkShownAsFolder_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("download") << "download";
        QTest::newRow("delete") << "delete";
    }
    void linkShownAsFolder()
    {
        QFETCH(QString, command);
        FtpTestServer::Hostile hidden;
        hidden.resolvedPwd = true;
        hidden.listLines << "drwxr-xr-x 1 u g 0 Jan 10 12:00 loop"
                         << "-rw-r--r-- 1 u g 4 Jan 10 12:00 f.txt";
        m_server = std::make_unique<FtpTestServer>(Kind::Pyftpdlib, hidden);
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        const QString root = m_server->localPath(QStringLiteral("/"));
        QVERIFY(writeFile(root + QStringLiteral("/f.txt"), "file"));
        QVERIFY(makeLink(".", root + QStringLiteral("/loop")));
        QVERIFY(connectTo(*m_server));
        selectItems(serverList(), {QStringLiteral("loop")});
        ClearLog();

        if (command == QLatin1String("download")) {
            DownloadServerSelection();
            QVERIFY(logLines().contains(red("MDOWN_DOWNFAILED", QStringLiteral("/loop/"))));
            QCOMPARE(treeOf(m_target).keys(), QStringList{"loop/"});
        } else {
            // DELE removes the link itself.
            DeleteServerSelection();
            QVERIFY(!existsRaw((root + QStringLiteral("/loop")).toUtf8()));
        }
        QCOMPARE(readFile(root + QStringLiteral("/f.txt")), QByteArray("file"));
    }

    // A sub-folder whose listing the server refuses is no empty folder.
    // (vsftpd reports an unreadable folder's listing as complete.)
    void failedListing_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("download") << "download";
        QTest::newRow("delete") << "delete";
        QTest::newRow("server pane") << "pane";
    }
    void failedListing()
    {
        QFETCH(QString, command);
        FtpTestServer::Hostile refusing;
        refusing.refuseListingOf = "locked";
        const QString folder = startServer(Kind::Pyftpdlib, refusing);
        QVERIFY2(!folder.isEmpty(), qPrintable(m_server->error()));
        QVERIFY(writeFile(folder + QStringLiteral("/sel/ok.txt"), "ok"));
        QVERIFY(writeFile(folder + QStringLiteral("/sel/locked/hidden.txt"), "hidden"));
        QVERIFY(QDir().mkpath(folder + QStringLiteral("/sel/empty")));
        QVERIFY(connectToFolder());
        const QString locked = below(*m_server, QStringLiteral("t/sel/locked"));
        selectItems(serverList(), {QStringLiteral("sel")});
        ClearLog();

        if (command == QLatin1String("download")) {
            DownloadServerSelection();
            QVERIFY(logLines().contains(red("MDOWN_DOWNFAILED", locked + "/")));
            QCOMPARE(readFile(m_target + QStringLiteral("sel/ok.txt")), QByteArray("ok"));
        } else if (command == QLatin1String("delete")) {
            DeleteServerSelection();
            QVERIFY(logLines().contains(red("MDEL_DELFAILED", locked + "/")));
            QCOMPARE(readFile(folder + QStringLiteral("/sel/locked/hidden.txt")),
                     QByteArray("hidden"));
        } else {
            doubleClick(QStringLiteral("sel"));
            QVERIFY(!anyRed(logLines())); // an empty folder is no failure
            doubleClick(QStringLiteral("empty"));
            QVERIFY(!anyRed(logLines()));
            QVERIFY(FtpChangeDir(QStringLiteral("..")));
            RefreshServerList(hFtpConnection);
            doubleClick(QStringLiteral("locked"));
            // The pane lists the folder, then once more for the new combo entry.
            const QStringList lines = logLines();
            QVERIFY(!lines.isEmpty());
            QCOMPARE(lines, QStringList(lines.size(), red("MPUB_LISTFAILED", locked)));
            QCOMPARE(itemTexts(), QStringList{".."});
            // With the server gone the server cannot name its folder: the
            // line names the folder the pane shows.
            ClearLog();
            m_server->stop();
            RefreshServerList(hFtpConnection);
            QVERIFY(logLines().contains(red("MPUB_LISTFAILED", locked)));
        }
    }

    // A folder the login user may not write in: MLSD without "c" in perm,
    // LIST "dr-x". It stays a folder and is entered by a double-click.
    void readOnlyFolders_data()
    {
        QTest::addColumn<Kind>("kind");
        QTest::addColumn<QByteArray>("permissions");
        QTest::addColumn<QByteArray>("listLine");
        QTest::newRow("pyftpdlib user with elr")
            << Kind::Pyftpdlib << QByteArray("elr") << QByteArray();
        QTest::newRow("vsftpd dr-x folder") << Kind::Vsftpd << QByteArray() << QByteArray();
        QTest::newRow("LIST dr-x folder") << Kind::Pyftpdlib << QByteArray()
                                          << QByteArray("dr-xr-xr-x 2 u g 4096 Jan 10 12:00 ro");
    }
    void readOnlyFolders()
    {
        QFETCH(Kind, kind);
        QFETCH(QByteArray, permissions);
        QFETCH(QByteArray, listLine);
        FtpTestServer::Hostile hostile;
        hostile.permissions = permissions;
        if (!listLine.isEmpty())
            hostile.listLines << listLine;
        const QString folder = startServer(kind, hostile);
        QVERIFY2(!folder.isEmpty(), qPrintable(m_server->error()));
        QVERIFY(writeFile(folder + QStringLiteral("/ro/in.txt"), "in"));
        QVERIFY(connectToFolder());
        QVERIFY(QFile::setPermissions(folder + QStringLiteral("/ro"),
                                      QFileDevice::Permissions(0x5555)));
        RefreshServerList(hFtpConnection);
        const int row = itemIndex(QStringLiteral("ro"));
        QVERIFY(row > 0);
        QCOMPARE(serverList()->subItem(row, 1), QString());
        QCOMPARE(serverList()->subItem(row, 2), GetText("MPUB_FOLDER"));
        QCOMPARE(serverList()->subItem(row, 4), QStringLiteral("D"));
        doubleClick(QStringLiteral("ro"));
        QVERIFY(FtpCurrentDir().endsWith(QLatin1String("/t/ro")));
    }
};

QTEST_MAIN(TestServerPicks)
#include "tst_serverpicks.moc"
