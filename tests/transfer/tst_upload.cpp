// Uploads of the local selection: files and folder trees arrive as they are
// on the local disk, in the log's order, in the chosen transfer type.

#include "bytefiles.h"
#include "core/download.h"
#include "core/mdatabase.h"
#include "core/upload.h"
#include "platform/programfolder.h"
#include "platform/toolbar.h"
#include "platform/ui.h"
#include "shell/frmuploaddownload.h"
#include "transferhelpers.h"

#include <QComboBox>
#include <QProgressBar>

#include <chrono>
#include <linux/capability.h>
#include <sys/socket.h>
#include <sys/syscall.h>
#include <sys/un.h>
#include <thread>
#include <unistd.h>

using namespace transfertest;

namespace {

// Folder rights bind root too while this lives: the rights that let root
// read any folder are taken out of the thread's effective set.
class FolderRightsBind {
public:
    FolderRightsBind() { set(false); }
    ~FolderRightsBind() { set(true); }

private:
    static void set(bool on)
    {
        __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
        __user_cap_data_struct data[2]{};
        if (::syscall(SYS_capget, &header, data) != 0)
            return;
        const unsigned rights = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);
        data[0].effective =
            on ? data[0].effective | (data[0].permitted & rights) : data[0].effective & ~rights;
        ::syscall(SYS_capset, &header, data);
    }
};

// A chain of `levels` folders of 120-letter names below `root`, with
// "bottom.txt" in the last; made and removed step by step, since its whole
// path is longer than a path the system takes in one piece.
bool makeDeepChain(const QString &root, int levels)
{
    const int back = ::open(".", O_RDONLY | O_CLOEXEC);
    bool ok = QDir().mkpath(root) && ::chdir(QFile::encodeName(root).constData()) == 0;
    for (int i = 0; ok && i < levels; ++i) {
        const QByteArray name(120, char('a' + i % 26));
        ok = ::mkdir(name.constData(), 0755) == 0 && ::chdir(name.constData()) == 0;
    }
    ok = ok && ByteFiles::writeBytes("bottom.txt", "bottom");
    ok = ::fchdir(back) == 0 && ok;
    ::close(back);
    return ok;
}

void removeDeepChain(const QString &root, int levels)
{
    const int back = ::open(".", O_RDONLY | O_CLOEXEC);
    if (::chdir(QFile::encodeName(root).constData()) == 0) {
        int depth = 0;
        while (depth < levels && ::chdir(QByteArray(120, char('a' + depth % 26)).constData()) == 0)
            ++depth;
        ::unlink("bottom.txt");
        for (; depth > 0; --depth) {
            if (::chdir("..") != 0)
                break;
            ::rmdir(QByteArray(120, char('a' + (depth - 1) % 26)).constData());
        }
    }
    if (::fchdir(back) != 0)
        qWarning("could not go back to the working folder");
    ::close(back);
}

} // namespace

class TestUpload : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    QString m_local;

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<Program>();
        m_local = m_program->home() + QStringLiteral("/up/");
        QVERIFY(writeFile(m_local + QStringLiteral("a.txt"), "alpha\n"));
        QVERIFY(writeFile(m_local + QStringLiteral("b.bin"), QByteArray(510, '\x01')));
        QVERIFY(writeFile(m_local + QStringLiteral("tree/one.dat"), QByteArray(70000, 'x')));
        QVERIFY(writeFile(m_local + QStringLiteral("tree/sub/two.dat"), "two"));
        QVERIFY(QDir().mkpath(m_local + QStringLiteral("tree/empty")));
        QVERIFY(writeFile(m_local + QStringLiteral("other.txt"), "not selected"));
        showLocalFolder(m_local);
    }
    void cleanup() { m_program.reset(); }

    void selectionAndTreeArrive_data()
    {
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::newRow("pyftpdlib") << FtpTestServer::Kind::Pyftpdlib;
        QTest::newRow("vsftpd") << FtpTestServer::Kind::Vsftpd;
    }
    void selectionAndTreeArrive()
    {
        QFETCH(FtpTestServer::Kind, kind);
        FtpTestServer server(kind);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server, server.workFolder()));
        mdiMain::instance().mnuVerbindungTransferBINARY->trigger();
        selectItems(frmLocal::instance().lsvDirFile, {"a.txt", "b.bin", "tree"});
        ClearLog();

        UploadSelection();

        QVERIFY(!Ui::isHourglass());
        const QString root = server.localPath(server.workFolder());
        QMap<QString, QByteArray> expected = treeOf(m_local);
        expected.remove(QStringLiteral("other.txt"));
        QCOMPARE(treeOf(root), expected);
        const QStringList lines = logLines();
        const QString begin =
            QStringLiteral("[black]") + GetText("FRMPULOC_BEGUP") + QLatin1Char(' ');
        const QString ok = QStringLiteral("[green]") + GetText("MPUB_UPOK");
        const QString dirOk = QStringLiteral("[green]") + GetText("FRMPUSERVER_DIROK");
        const auto made = [](const QString &name) {
            return QStringLiteral("[black]") + GetText("FRMPUSERVER_DIRNEW1") + QLatin1Char(' ') +
                   name + QLatin1Char(' ') + GetText("FRMPUSERVER_DIRNEW2");
        };
        // The selection in list order, the folder's files before its sub-folders.
        // The list shows folders first; the walk's entries come after the selection.
        QCOMPARE(lines.mid(0, 7),
                 (QStringList{made("tree"), dirOk, begin + m_local + "a.txt", ok,
                              begin + m_local + "b.bin", ok, begin + m_local + "tree/one.dat"}));
        QVERIFY(lines.contains(begin + m_local + "tree/sub/two.dat"));
        QVERIFY(lines.contains(made("empty")));
        QVERIFY(lines.indexOf(begin + m_local + "tree/one.dat") < lines.indexOf(made("sub")));
        QVERIFY(!lines.join('\n').contains(QStringLiteral("[red]")));
        // The server list shows the result; the progress bar is back at 0.
        QVERIFY(itemTexts().contains(QStringLiteral("tree")));
        QCOMPARE(mdiMain::instance().pgbBottom->value(), 0);
        QVERIFY(mdiMain::instance().timIsConnected->isActive());
    }

    void asciiTypeInAutoMode()
    {
        // vsftpd stores what arrives; pyftpdlib would turn CR LF back into LF.
        FtpTestServer server(FtpTestServer::Kind::Vsftpd);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QFile list(ProgramFolder::file(QStringLiteral("ascii.dat")));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("TXT\r\n");
        list.close();
        QVERIFY(writeFile(m_local + QStringLiteral("a.txt.bak"), "one\ntwo\r\nthree\n"));
        QVERIFY(writeFile(m_local + QStringLiteral("b.bin"), "x\ny\n\r\n"));
        showLocalFolder(m_local);
        QVERIFY(connectTo(server, server.workFolder()));
        QCOMPARE(mdiMain::instance().cboTransferMode->currentIndex(), 2);
        selectItems(frmLocal::instance().lsvDirFile, {"a.txt.bak", "b.bin"});
        frmUploadDownload::instance().tlbUpload->click(QStringLiteral("upload"));
        const QString work = server.workFolder() + QLatin1Char('/');
        QCOMPARE(readFile(server.localPath(work + QStringLiteral("a.txt.bak"))),
                 QByteArray("one\r\ntwo\r\nthree\r\n"));
        QCOMPARE(readFile(server.localPath(work + QStringLiteral("b.bin"))),
                 QByteArray("x\ny\n\r\n"));
    }

    // A folder listed without its tree node (typed into the path combo):
    // the selected names are taken from the folder the list shows.
    void listedFolderWithoutNode()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(m_local + QStringLiteral("elsewhere/a.txt"), "the listed one"));
        frmLocal::instance().ViewFolder(m_local + QStringLiteral("elsewhere/"),
                                        QStringLiteral("*.*"));
        QVERIFY(connectTo(server));
        selectItems(frmLocal::instance().lsvDirFile, {"a.txt"});
        UploadSelection();
        QCOMPARE(readFile(server.localPath(QStringLiteral("/a.txt"))),
                 QByteArray("the listed one"));
    }

    void notConnected()
    {
        ScriptedDialogs &d = *m_program->dialogs;
        selectItems(frmLocal::instance().lsvDirFile, {"a.txt"});
        ClearLog();
        UploadSelection();
        QCOMPARE(d.boxes.size(), 1);
        QCOMPARE(d.boxes[0].text, GetText("FRMSERVER_NOCONNECTION"));
        QCOMPARE(d.boxes[0].icon, MsgIcon::Information);
        QVERIFY(logLines().isEmpty());
        QVERIFY(!Ui::isHourglass());
        // The context menu's entry names its own text.
        UploadSelectionFromContextMenu();
        QCOMPARE(d.boxes.last().text, GetText("FRMPULOC_NOCONN"));
    }

    // A folder that can neither be made nor entered on the server (a file
    // holds its name): its files fail red and do not land elsewhere.
    void blockedFolderFailsItsFiles()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/tree")), "a file, not a folder"));
        QVERIFY(connectTo(server));
        selectItems(frmLocal::instance().lsvDirFile, {"tree"});
        ClearLog();
        UploadSelection();
        const QStringList lines = logLines();
        QVERIFY(!lines.contains(QStringLiteral("[green]") + GetText("MPUB_UPOK")));
        QCOMPARE(lines.count(QStringLiteral("[red]") + GetText("MPUB_UPFAILED")), 2);
        QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/one.dat"))));
        QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/two.dat"))));
    }

    // A user who may not make folders: each folder that cannot be made (and
    // is not there) is named once in a red line, the empty one as well, and
    // its files fail; both upload commands with their own texts.
    void folderThatCannotBeMadeIsNamed_data()
    {
        QTest::addColumn<bool>("contextMenu");
        QTest::newRow("toolbar") << false;
        QTest::newRow("context menu") << true;
    }
    void folderThatCannotBeMadeIsNamed()
    {
        QFETCH(bool, contextMenu);
        FtpTestServer::Hostile noFolders;
        noFolders.permissions = "elrw";
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, noFolders);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        selectItems(frmLocal::instance().lsvDirFile, {"a.txt", "tree"});
        ClearLog();
        if (contextMenu)
            UploadSelectionFromContextMenu();
        else
            UploadSelection();
        const auto line = [](const char *colour, const QString &text) {
            return QLatin1Char('[') + QLatin1String(colour) + QLatin1Char(']') + text;
        };
        const auto folderFailed = [&](const QString &name) {
            return QStringList{
                line("black",
                     GetText(contextMenu ? "FRMPULOC_NEWDIR1" : "FRMPUSERVER_DIRNEW1") +
                         QLatin1Char(' ') + name + QLatin1Char(' ') +
                         GetText(contextMenu ? "FRMPULOC_NEWDIR2" : "FRMPUSERVER_DIRNEW2")),
                line("red", GetText(contextMenu ? "FRMPULOC_GENFAIL" : "FRMPUSERVER_DIRFAILED"))};
        };
        const QString start = GetText("FRMPULOC_BEGUP") + QLatin1Char(' ') + m_local;
        const QString failed = line("red", GetText("MPUB_UPFAILED"));
        // The selected folder comes first, as the local list shows it.
        QStringList expected = folderFailed("tree");
        expected << line("black", start + "a.txt") << line("green", GetText("MPUB_UPOK"));
        expected << line("black", start + "tree/one.dat") << failed;
        expected << folderFailed("empty") << folderFailed("sub");
        expected << line("black", start + "tree/sub/two.dat") << failed;
        QCOMPARE(logLines(), expected);
        QCOMPARE(treeOf(server.rootPath()).keys(), QStringList{"a.txt"});
    }

    void uploadFileArguments()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        QTimer *watchdog = mdiMain::instance().timIsConnected;
        // An empty argument gives false without a line, and the watchdog
        // still comes back.
        QString local;
        QString remote = QStringLiteral("x");
        watchdog->start();
        ClearLog();
        QVERIFY(!UploadFile(local, remote));
        QVERIFY(watchdog->isActive());
        QVERIFY(logLines().isEmpty());
        local = m_local + QStringLiteral("a.txt");
        remote = QStringLiteral("named.txt");
        QVERIFY(UploadFile(local, remote));
        QCOMPARE(readFile(server.localPath(QStringLiteral("/named.txt"))), QByteArray("alpha\n"));
        // A local file that cannot be read leaves nothing on the server.
        local = m_local + QStringLiteral("missing.txt");
        remote = QStringLiteral("missing.txt");
        QVERIFY(!UploadFile(local, remote));
        QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/missing.txt"))));
        QCOMPARE(logLines().last(), QStringLiteral("[red]") + GetText("MPUB_UPFAILED"));
        QVERIFY(watchdog->isActive());
    }

    // Each local name is used whole and with its bytes: blanks at either
    // end and bytes that are not valid UTF-8 name other files.
    void localNamesAreTakenWhole_data()
    {
        QTest::addColumn<QByteArray>("name");
        QTest::newRow("a leading blank") << QByteArray(" lead.txt");
        QTest::newRow("a trailing blank") << QByteArray("lead.txt ");
        QTest::newRow("a Latin-1 name") << ByteFiles::Latin1Name;
        QTest::newRow("a U+FFFD name") << ByteFiles::ReplacementName;
    }
    void localNamesAreTakenWhole()
    {
        using namespace ByteFiles;
        QFETCH(QByteArray, name);
        const QByteArray dir = QFile::encodeName(m_local);
        for (const QByteArray &file : {QByteArray(" lead.txt"), QByteArray("lead.txt "),
                                       QByteArray("lead.txt"), Latin1Name, ReplacementName})
            QVERIFY(writeBytes(dir + file, "content of [" + file + ']'));
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        QString local = m_local + carried(name);
        QString remote = QStringLiteral("got.txt");
        QVERIFY(UploadFile(local, remote));
        QCOMPARE(readFile(server.localPath(QStringLiteral("/got.txt"))),
                 "content of [" + name + ']');
    }

    // The walk takes each folder once, by device and inode: a link back to
    // the folder itself or a second link to a sub-folder is left out.
    void walkTakesEachFolderOnce()
    {
        const QString loop = m_local + QStringLiteral("loop");
        QVERIFY(writeFile(loop + QStringLiteral("/f.txt"), "f"));
        QVERIFY(writeFile(loop + QStringLiteral("/inner/g.txt"), "g"));
        QVERIFY(QFile::link(QStringLiteral("."), loop + QStringLiteral("/self")));
        QVERIFY(QFile::link(QStringLiteral("inner"), loop + QStringLiteral("/twin")));
        UploadList.clear();
        CollectLocalFolder(loop);
        QStringList walked;
        for (const SelectionEntry &e : UploadList)
            walked << e.Path + QLatin1Char('|') + e.Name;
        QCOMPARE(walked, (QStringList{loop + "|f.txt", loop + "/inner/|", loop + "/inner|g.txt"}));
    }

    // What the server stores, byte for byte, per transfer mode: binary and
    // automatic mode leave binary files alone whatever their name; ASCII
    // sends every line end as CR LF, also where a CR LF is split by the
    // send buffer's border, and leaves a lone CR, an empty file and a last
    // line without its end as they are. vsftpd stores what arrives.
    void transferModesKeepTheBytes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<QByteArray>("stored");
        QByteArray binary;
        for (int i = 0; i < 70000; ++i)
            binary += char(i * 7 + (i >> 9));
        const QByteArray split = QByteArray(256 * 1024 - 1, 'a') + "\r\nb\n";
        const QByteArray splitStored = QByteArray(256 * 1024 - 1, 'a') + "\r\nb\r\n";
        QTest::newRow("auto, .bin") << 2 << "x.bin" << binary << binary;
        QTest::newRow("auto, .png") << 2 << "x.png" << binary << binary;
        QTest::newRow("auto, no extension") << 2 << "noext" << binary << binary;
        QTest::newRow("auto, .TXT")
            << 2 << "UP.TXT" << QByteArray("a\nb\r\nc") << QByteArray("a\r\nb\r\nc");
        QTest::newRow("binary, .txt")
            << 1 << "lf.txt" << QByteArray("a\nb\n") << QByteArray("a\nb\n");
        QTest::newRow("ascii, lone CR")
            << 0 << "cr.txt" << QByteArray("a\rb\r") << QByteArray("a\rb\r");
        QTest::newRow("ascii, empty") << 0 << "empty.txt" << QByteArray() << QByteArray();
        QTest::newRow("ascii, no last line end")
            << 0 << "nofinal.txt" << QByteArray("a\nb") << QByteArray("a\r\nb");
        QTest::newRow("ascii, CR LF split by the send buffer")
            << 0 << "split.txt" << split << splitStored;
    }
    void transferModesKeepTheBytes()
    {
        QFETCH(int, mode);
        QFETCH(QString, name);
        QFETCH(QByteArray, content);
        QFETCH(QByteArray, stored);
        FtpTestServer server(FtpTestServer::Kind::Vsftpd);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(m_local + name, content));
        showLocalFolder(m_local);
        QVERIFY(connectTo(server, server.workFolder()));
        QAction *const modes[] = {mdiMain::instance().mnuVerbindungTransferASCII,
                                  mdiMain::instance().mnuVerbindungTransferBINARY,
                                  mdiMain::instance().mnuVerbindungTransferAUTO};
        modes[mode]->trigger();
        QCOMPARE(mdiMain::instance().cboTransferMode->currentIndex(), mode);
        selectItems(frmLocal::instance().lsvDirFile, {name});
        UploadSelection();
        QCOMPARE(readFile(server.localPath(server.workFolder() + QLatin1Char('/') + name)), stored);
        QCOMPARE(readFile(m_local + name), content);
    }

    // One item of a selection that fails in the middle gets its red line;
    // the items before and after it arrive, each with its own lines.
    void failedItemLetsTheRestGoOn_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::newRow("server disk full") << "full";
        QTest::newRow("a server folder holds the name") << "folder";
        QTest::newRow("local file gone since selected") << "gone";
        QTest::newRow("local file shrinks while sent") << "shrinks";
    }
    void failedItemLetsTheRestGoOn()
    {
        QFETCH(QString, fault);
        FtpTestServer::Hostile hostile;
        if (fault == QLatin1String("full"))
            hostile.maxFileBytes = 1024 * 1024;
        if (fault == QLatin1String("shrinks"))
            hostile.throttleBytesPerSecond =
                4 * 1024 * 1024; // more than the socket buffers hold: the upload waits and yields
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, hostile);
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QString middle = m_local + QStringLiteral("mid.bin");
        QVERIFY(writeFile(middle, QByteArray(12 * 1024 * 1024, 'm')));
        if (fault == QLatin1String("folder"))
            QVERIFY(QDir().mkpath(server.localPath(QStringLiteral("/mid.bin"))));
        showLocalFolder(m_local);
        QVERIFY(connectTo(server));
        selectItems(frmLocal::instance().lsvDirFile, {"a.txt", "mid.bin", "other.txt"});
        if (fault == QLatin1String("gone"))
            QVERIFY(QFile::remove(middle));
        QTimer shrink;
        if (fault == QLatin1String("shrinks")) {
            // Cut at a yield of the middle file's own upload.
            const QString sending = GetText("FRMPULOC_BEGUP") + QLatin1Char(' ') + middle;
            QObject::connect(&shrink, &QTimer::timeout, [&, sending] {
                if (logLines().constLast().endsWith(sending)) {
                    QFile(middle).resize(300000);
                    shrink.stop();
                }
            });
            shrink.start(0);
        }
        ClearLog();
        UploadSelection();
        const QString begin =
            QStringLiteral("[black]") + GetText("FRMPULOC_BEGUP") + QLatin1Char(' ') + m_local;
        const QString ok = QStringLiteral("[green]") + GetText("MPUB_UPOK");
        const QString failed = QStringLiteral("[red]") + GetText("MPUB_UPFAILED");
        QCOMPARE(logLines(), (QStringList{begin + "a.txt", ok, begin + "mid.bin", failed,
                                          begin + "other.txt", ok}));
        QCOMPARE(readFile(server.localPath(QStringLiteral("/a.txt"))), QByteArray("alpha\n"));
        QCOMPARE(readFile(server.localPath(QStringLiteral("/other.txt"))),
                 QByteArray("not selected"));
        QVERIFY(!Ui::isHourglass());
    }

    // A folder of the tree whose entries cannot be read (no read right, or
    // deeper than a path the system takes) is made on the server, but it is
    // not passed off as empty: it gets the failure line, and the rest of the
    // tree goes on.
    void unreadableFolderIsNamed_data()
    {
        QTest::addColumn<bool>("deep");
        QTest::newRow("no read right") << false;
        QTest::newRow("beyond the path length") << true;
    }
    void unreadableFolderIsNamed()
    {
        QFETCH(bool, deep);
        constexpr int levels = 40;
        const QString tree = m_local + QStringLiteral("tree/");
        QString unreadable;
        if (deep) {
            QVERIFY(makeDeepChain(tree + QStringLiteral("deep"), levels));
            // The first folder the walk cannot name whole.
            unreadable = tree + QStringLiteral("deep");
            for (int i = 0; unreadable.size() < PATH_MAX; ++i)
                unreadable += QLatin1Char('/') + QString(120, QLatin1Char('a' + i % 26));
            unreadable += QLatin1Char('/');
        } else {
            unreadable = tree + QStringLiteral("locked/");
            QVERIFY(writeFile(unreadable + QStringLiteral("secret.txt"), "hidden"));
            QVERIFY(QFile::setPermissions(unreadable, QFileDevice::Permissions()));
        }
        const auto tidy = qScopeGuard([&] {
            if (deep)
                removeDeepChain(tree + QStringLiteral("deep"), levels);
            else
                QFile::setPermissions(unreadable, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                      QFileDevice::ExeOwner);
        });
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        selectItems(frmLocal::instance().lsvDirFile, {"tree"});
        ClearLog();
        {
            FolderRightsBind bind;
            UploadSelection();
        }
        const QStringList lines = logLines();
        const QString failed = QStringLiteral("[red]") + GetText("MPUB_UPFAILED");
        const QString begin =
            QStringLiteral("[black]") + GetText("FRMPULOC_BEGUP") + QLatin1Char(' ');
        QCOMPARE(lines.count(failed), 1);
        QCOMPARE(lines[lines.indexOf(failed) - 1], begin + unreadable);
        // The tree's readable files all arrived.
        QCOMPARE(lines.count(QStringLiteral("[green]") + GetText("MPUB_UPOK")), 2);
        QCOMPARE(readFile(server.localPath(QStringLiteral("/tree/sub/two.dat"))),
                 QByteArray("two"));
        QVERIFY(!Ui::isHourglass());
    }

    // A selected folder removed before the upload reads it is named with the
    // red line too, not sent as an empty folder without one.
    void goneSelectedFolderIsNamed()
    {
        const QString gone = m_local + QStringLiteral("gone/");
        QVERIFY(writeFile(gone + QStringLiteral("a.txt"), "a"));
        showLocalFolder(m_local);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        selectItems(frmLocal::instance().lsvDirFile, {"gone"});
        QVERIFY(QDir(gone).removeRecursively());
        ClearLog();
        UploadSelection();
        const QStringList lines = logLines();
        const QString failed = QStringLiteral("[red]") + GetText("MPUB_UPFAILED");
        QCOMPARE(lines.count(failed), 1);
        QCOMPARE(lines[lines.indexOf(failed) - 1],
                 QStringLiteral("[black]") + GetText("FRMPULOC_BEGUP") + QLatin1Char(' ') + gone);
        QVERIFY(!Ui::isHourglass());
    }

    // A FIFO, a socket or a device in an uploaded folder gets the red line
    // and is never opened (a FIFO would block until a writer came); the
    // folder's other files and a link back to the folder do not stop it.
    void specialFilesAreNeverOpened_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("FIFO") << "fifo";
        QTest::newRow("socket") << "socket";
        QTest::newRow("link to a device") << "device";
    }
    void specialFilesAreNeverOpened()
    {
        QFETCH(QString, kind);
        const QString folder = m_local + QStringLiteral("special/");
        QVERIFY(writeFile(folder + QStringLiteral("ok.txt"), "ok"));
        QVERIFY(QFile::link(QStringLiteral("."), folder + QStringLiteral("self")));
        const QByteArray odd = QFile::encodeName(folder + QStringLiteral("odd"));
        if (kind == QLatin1String("fifo")) {
            QVERIFY(::mkfifo(odd.constData(), 0644) == 0);
        } else if (kind == QLatin1String("socket")) {
            sockaddr_un address{};
            address.sun_family = AF_UNIX;
            QVERIFY(size_t(odd.size()) < sizeof address.sun_path);
            std::memcpy(address.sun_path, odd.constData(), size_t(odd.size()));
            const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
            QVERIFY(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0);
            ::close(fd);
        } else {
            QVERIFY(QFile::link(QStringLiteral("/dev/null"), folder + QStringLiteral("odd")));
        }
        showLocalFolder(m_local);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        selectItems(frmLocal::instance().lsvDirFile, {"special"});
        ClearLog();

        UploadSelection();

        const QMap<QString, QByteArray> expected{
            {QStringLiteral("special/"), QByteArray()},
            {QStringLiteral("special/ok.txt"),
             QCryptographicHash::hash("ok", QCryptographicHash::Sha256).toHex()}};
        QCOMPARE(treeOf(server.localPath(QStringLiteral("/"))), expected);
        const QStringList lines = logLines();
        const QString failed = QStringLiteral("[red]") + GetText("MPUB_UPFAILED");
        QCOMPARE(lines.count(failed), 1);
        const qsizetype at = lines.indexOf(failed);
        QCOMPARE(lines[at - 1], QStringLiteral("[black]") + GetText("FRMPULOC_BEGUP") +
                                    QLatin1Char(' ') + folder + QStringLiteral("odd"));
        QVERIFY(!Ui::isHourglass());
    }

    void sizesArriveWhole_data()
    {
        QTest::addColumn<int>("size");
        for (int size : {0, 254, 255, 510, 511, 1044480, 3 * 1024 * 1024 + 7})
            QTest::addRow("%d bytes", size) << size;
    }
    void sizesArriveWhole()
    {
        QFETCH(int, size);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        QByteArray bytes(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i)
            bytes[i] = char((i * 131) ^ (i >> 8));
        QVERIFY(writeFile(m_local + QStringLiteral("s.bin"), bytes));
        TransferType = 2;
        mdiMain::instance().cboTransferMode->setCurrentIndex(1);
        QString local = m_local + QStringLiteral("s.bin");
        QString remote = QStringLiteral("s.bin");
        QVERIFY(UploadFile(local, remote));
        QCOMPARE(readFile(server.localPath(QStringLiteral("/s.bin"))), bytes);
    }

    // Commands started from the yields of a running upload do nothing; the
    // running one finishes undisturbed.
    void secondCommandsWhileUploading()
    {
        FtpTestServer::Hostile slow;
        slow.throttleBytesPerSecond = 4 * 1024 * 1024;
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, slow);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        // More than the socket buffers hold, so that the upload really waits.
        const QByteArray bytes(10 * 1024 * 1024, 's');
        QVERIFY(writeFile(m_local + QStringLiteral("slow.bin"), bytes));
        showLocalFolder(m_local);
        selectItems(frmLocal::instance().lsvDirFile, {"slow.bin"});
        int tried = 0;
        QTimer poke;
        poke.setInterval(0);
        QObject::connect(&poke, &QTimer::timeout, [&] {
            ++tried;
            UploadSelection();
            DownloadServerSelection();
            frmUploadDownload::instance().tlbUpload->click(QStringLiteral("upload"));
        });
        poke.start();
        ClearLog();
        UploadSelection();
        poke.stop();
        QVERIFY(tried > 0);
        QCOMPARE(readFile(server.localPath(QStringLiteral("/slow.bin"))), bytes);
        QCOMPARE(logLines().count(QStringLiteral("[green]") + GetText("MPUB_UPOK")), 1);
        QCOMPARE(logLines().count(QStringLiteral("[black]") + GetText("FRMPULOC_BEGUP") + ' ' +
                                  m_local + "slow.bin"),
                 1);
    }

    void serverStoppedDuringUpload()
    {
        FtpTestServer::Hostile slow;
        slow.throttleBytesPerSecond = 4 * 1024 * 1024;
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, slow);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        QVERIFY(writeFile(m_local + QStringLiteral("big.bin"), QByteArray(16 * 1024 * 1024, 'b')));
        QString local = m_local + QStringLiteral("big.bin");
        QString remote = QStringLiteral("big.bin");
        // Cut from another thread: a timer of the window's event loop may
        // wait behind the upload's own events on a loaded machine.
        std::thread cutter([&server] {
            std::this_thread::sleep_for(std::chrono::milliseconds(500));
            server.stop();
        });
        const bool uploaded = UploadFile(local, remote);
        cutter.join();
        QVERIFY(!uploaded);
        QCOMPARE(logLines().last(), QStringLiteral("[red]") + GetText("MPUB_UPFAILED"));
    }
};

QTEST_MAIN(TestUpload)
#include "tst_upload.moc"
