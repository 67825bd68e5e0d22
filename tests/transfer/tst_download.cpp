// Downloads of the server selection: files and folder trees arrive in the
// local pane's folder, hostile names never reach outside it, and a server
// that dies in the middle ends the run with red lines.

#include "bytefiles.h"
#include "core/download.h"
#include "core/mdatabase.h"
#include "platform/toolbar.h"
#include "platform/ui.h"
#include "shell/frmuploaddownload.h"
#include "transferhelpers.h"

#include <QProgressBar>

#include <thread>

using namespace transfertest;

class TestDownload : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    QString m_target;

    // /dl/f1.txt, /dl/top/a.txt, /dl/top/sub/b.txt, /dl/top/emptydir/ below
    // the server's work folder; returns the server folder /dl.
    QString makeServerTree(const FtpTestServer &server)
    {
        const QString dl = server.workFolder() == QLatin1String("/")
                               ? QStringLiteral("/dl")
                               : server.workFolder() + QStringLiteral("/dl");
        writeFile(server.localPath(dl + QStringLiteral("/f1.txt")), "new f1");
        writeFile(server.localPath(dl + QStringLiteral("/top/a.txt")), "a");
        writeFile(server.localPath(dl + QStringLiteral("/top/sub/b.txt")), QByteArray(100000, 'b'));
        QDir().mkpath(server.localPath(dl + QStringLiteral("/top/emptydir")));
        writeFile(server.localPath(dl + QStringLiteral("/unselected.txt")), "no");
        return dl;
    }

    // Starts the server (a hostile listing) over a folder holding good.txt and
    // deep/good.txt, selects every listed item and downloads the selection.
    bool downloadEverythingListed(FtpTestServer &server)
    {
        if (!server.start()) {
            qWarning("%s", qPrintable(server.error()));
            return false;
        }
        writeFile(server.localPath(QStringLiteral("/good.txt")), "good");
        writeFile(server.localPath(QStringLiteral("/deep/good.txt")), "deep good");
        if (!connectTo(server))
            return false;
        for (int i = 0; i < serverList()->count(); ++i)
            serverList()->setSelected(i, true);
        ClearLog();
        DownloadServerSelection();
        return true;
    }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<Program>();
        m_target = m_program->home() + QStringLiteral("/target/");
        QVERIFY(QDir().mkpath(m_target));
        showLocalFolder(m_target);
    }
    void cleanup() { m_program.reset(); }

    void treeArrives_data()
    {
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::addColumn<bool>("passive");
        QTest::newRow("pyftpdlib passive") << FtpTestServer::Kind::Pyftpdlib << true;
        QTest::newRow("vsftpd active") << FtpTestServer::Kind::Vsftpd << false;
    }
    void treeArrives()
    {
        QFETCH(FtpTestServer::Kind, kind);
        QFETCH(bool, passive);
        FtpTestServer server(kind);
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QString dl = makeServerTree(server);
        QVERIFY(writeFile(m_target + QStringLiteral("f1.txt"), "old contents of f1"));
        ConnectFlags = passive ? INTERNET_FLAG_PASSIVE : 0;
        QVERIFY(connectTo(server, dl));
        selectItems(serverList(), {"f1.txt", "top"});
        ClearLog();

        DownloadServerSelection();

        QVERIFY(!Ui::isHourglass());
        QVERIFY(!Ui::isBusy());
        QMap<QString, QByteArray> expected = treeOf(server.localPath(dl));
        expected.remove(QStringLiteral("unselected.txt"));
        QCOMPARE(treeOf(m_target), expected);
        QCOMPARE(readFile(m_target + QStringLiteral("f1.txt")), QByteArray("new f1"));
        const QStringList lines = logLines();
        const QString start =
            QStringLiteral("[black]") + GetText("MDOWN_DOWNSTART") + QLatin1Char(' ');
        const QString ok = QStringLiteral("[green]") + GetText("MDOWN_DOWNOK");
        const QString folder =
            QStringLiteral("[black]") + GetText("MDOWN_FOLDNEW") + QLatin1Char(' ');
        const QString created = QStringLiteral("[green]") + GetText("MDOWN_CREATEOK");
        // Files of the base folder by name, then each folder before its
        // contents, files of nested folders with their server folder.
        QCOMPARE(lines.mid(0, 4),
                 (QStringList{start + "f1.txt", ok, folder + m_target + "top" + GetText("MDOWN_AN"),
                              created}));
        QVERIFY(lines.contains(start + dl + "/top/a.txt"));
        QVERIFY(lines.contains(start + dl + "/top/sub/b.txt"));
        QVERIFY(lines.contains(folder + m_target + "top/emptydir" + GetText("MDOWN_AN")));
        QVERIFY(lines.indexOf(folder + m_target + "top/sub" + GetText("MDOWN_AN")) <
                lines.indexOf(start + dl + "/top/sub/b.txt"));
        QVERIFY(!lines.join('\n').contains(QStringLiteral("[red]")));
        QCOMPARE(mdiMain::instance().pgbBottom->value(), 1);
        // The local pane shows the target with the new files.
        const ListView *local = frmLocal::instance().lsvDirFile;
        QStringList shown;
        for (int i = 0; i < local->count(); ++i)
            shown << local->text(i);
        QCOMPARE(shown, (QStringList{"top", "f1.txt"}));
        // The server's folder is where the download started.
        QCOMPARE(FtpCurrentDir(), dl);
    }

    // The target folder's name is not valid UTF-8: the folders and files of
    // the download arrive in it, not in the folder a lossy decoding would
    // name, also where a file of that name is replaced.
    void downloadArrivesInAByteNamedTarget_data()
    {
        QTest::addColumn<bool>("existing");
        QTest::newRow("new files") << false;
        QTest::newRow("a file replaced") << true;
    }
    void downloadArrivesInAByteNamedTarget()
    {
        using namespace ByteFiles;
        QFETCH(bool, existing);
        const QByteArray target = QFile::encodeName(m_target);
        const QByteArray latin1 = target + "d\xe9/", replacement = target + "d\xef\xbf\xbd/";
        for (const QByteArray &folder : {latin1, replacement}) {
            QVERIFY(::mkdir(folder, 0755) == 0);
            QVERIFY(writeBytes(folder + "f1.txt", "kept " + folder));
        }
        showLocalFolder(m_target + carried("d\xe9") + QLatin1Char('/'));
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(QDir().mkpath(server.localPath(QStringLiteral("/only/emptydir"))));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/only/a.txt")), "a"));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/f1.txt")), "new f1"));
        QVERIFY(connectTo(server));
        if (!existing)
            QVERIFY(::unlink(latin1 + "f1.txt") == 0);
        selectItems(serverList(), {"only", "f1.txt"});
        ClearLog();
        DownloadServerSelection();
        QVERIFY(present(latin1 + "only/emptydir"));
        QCOMPARE(readBytes(latin1 + "only/a.txt"), QByteArray("a"));
        QCOMPARE(readBytes(latin1 + "f1.txt"), QByteArray("new f1"));
        QVERIFY(!present(replacement + "only"));
        QCOMPARE(readBytes(replacement + "f1.txt"), "kept " + replacement);
        QVERIFY(!logLines().join('\n').contains(QStringLiteral("[red]")));
    }

    void existingLocalFolderGivesNoFolderLine()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QString dl = makeServerTree(server);
        QVERIFY(QDir().mkpath(m_target + QStringLiteral("top/sub")));
        QVERIFY(connectTo(server, dl));
        selectItems(serverList(), {"top"});
        ClearLog();
        DownloadServerSelection();
        const QStringList lines = logLines();
        QCOMPARE(lines.count(QStringLiteral("[green]") + GetText("MDOWN_CREATEOK")),
                 1); // emptydir only
        QCOMPARE(readFile(m_target + QStringLiteral("top/sub/b.txt")), QByteArray(100000, 'b'));
    }

    void nothingToDo_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::newRow("nothing selected") << QStringList();
        QTest::newRow("only ..") << QStringList{".."};
    }
    void nothingToDo()
    {
        QFETCH(QStringList, selection);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QString dl = makeServerTree(server);
        QVERIFY(connectTo(server, dl));
        selectItems(serverList(), selection);
        ClearLog();
        DownloadServerSelection();
        QVERIFY(logLines().isEmpty());
        QVERIFY(treeOf(m_target).isEmpty());
        QCOMPARE(mdiMain::instance().pgbBottom->value(), 1);
        QVERIFY(!Ui::isHourglass());
    }

    void stripWithoutConnection()
    {
        ClearLog();
        frmUploadDownload::instance().tlbDownload->click(QStringLiteral("del"));
        QCOMPARE(m_program->dialogs->boxes.size(), 1);
        QCOMPARE(m_program->dialogs->boxes[0].text, GetText("FRMSERVER_NOCONNECTION"));
        QCOMPARE(m_program->dialogs->boxes[0].icon, MsgIcon::Information);
        QVERIFY(logLines().isEmpty());
    }

    void stripReconnectsAfterwards()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QString dl = makeServerTree(server);
        QVERIFY(connectTo(server, dl));
        const HINTERNET before = hFtpConnection;
        selectItems(serverList(), {"f1.txt"});
        frmUploadDownload::instance().tlbDownload->click(QStringLiteral("del"));
        QCOMPARE(readFile(m_target + QStringLiteral("f1.txt")), QByteArray("new f1"));
        QVERIFY(hFtpConnection != 0 && hFtpConnection != before);
        // A fresh connection, back in the folder the pane shows.
        QCOMPARE(FtpCurrentDir(), dl);
    }

    // A server whose listing names climb out of the folder, are absolute or
    // hold separators: nothing lands outside the target, each gets its red
    // line, the good entries still arrive.
    void hostileNames()
    {
        FtpTestServer::Hostile hostile;
        const QByteArray date = " 1 user group 5 Jan 10 12:00 ";
        for (const char *name : {"../x", "a/../../y", "/etc/z", "b\\..\\c", "good.txt"})
            hostile.listLines << QByteArray("-rw-r--r--") + date + name;
        for (const char *name : {"..", ".", "../up", "deep"})
            hostile.listLines << QByteArray("drwxr-xr-x") + date + name;
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, hostile);
        QVERIFY(downloadEverythingListed(server));

        QVERIFY(!Ui::isBusy());
        // Inside the target: good.txt, and deep/ with its good.txt; deep/deep/
        // is listed by the server but cannot be entered: it stays empty and
        // its listing is refused.
        QCOMPARE(treeOf(m_target).keys(),
                 (QStringList{"deep/", "deep/deep/", "deep/good.txt", "good.txt"}));
        QCOMPARE(readFile(m_target + QStringLiteral("deep/good.txt")), QByteArray("deep good"));
        // No file of a climbing name was written anywhere below the home.
        const QStringList all = treeOf(m_program->home()).keys();
        for (const QString &p : all) {
            const QString name = QFileInfo(p).fileName();
            QVERIFY2(!QStringList({"x", "y", "z", "c", "up"}).contains(name), qPrintable(p));
        }
        QVERIFY(!QFile::exists(QStringLiteral("/etc/z")));
        const QStringList lines = logLines();
        const QString refused =
            QStringLiteral("[red]") + GetText("MDOWN_DOWNFAILED") + QLatin1Char(' ');
        for (const char *name : {"../x", "a/../../y", "/etc/z", ".", "../up"})
            QVERIFY2(lines.contains(refused + QLatin1String(name)), name);
        // "\" is a letter of a name: the file is asked for by its name (this
        // server has none of it) and never refused as a path.
        QVERIFY(!lines.contains(refused + QStringLiteral("b\\..\\c")));
        QVERIFY(server.receivedCommand("RETR b\\..\\c"));
        QVERIFY(lines.contains(refused + QStringLiteral("/deep/../x")));
        QVERIFY(lines.contains(refused + QStringLiteral("/deep/deep/")));
    }

    // A selection holding unsafe names while the connection is gone: the
    // download does nothing and logs nothing, not even the refusals.
    void notConnectedLogsNothing()
    {
        FtpTestServer::Hostile hostile;
        const QByteArray date = " 1 user group 5 Jan 10 12:00 ";
        for (const char *name : {"../x", "good.txt"})
            hostile.listLines << QByteArray("-rw-r--r--") + date + name;
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, hostile);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        for (int i = 0; i < serverList()->count(); ++i)
            serverList()->setSelected(i, true);
        CloseFtpConnection();
        ClearLog();

        DownloadServerSelection();

        QVERIFY(logLines().isEmpty());
        QVERIFY(treeOf(m_target).isEmpty());
        QVERIFY(DownloadList.empty());
        QCOMPARE(mdiMain::instance().pgbBottom->value(), 1);
        QVERIFY(!Ui::isHourglass());
    }

    // A name longer than any file system holds is refused, selected or met
    // in a folder below, and its red line shows only its beginning.
    void hugeNameRefused()
    {
        FtpTestServer::Hostile hostile;
        const QByteArray date = " 1 user group 5 Jan 10 12:00 ";
        const QByteArray huge(1 << 20, 'n');
        hostile.listLines << QByteArray("-rw-r--r--") + date + huge
                          << QByteArray("-rw-r--r--") + date + "good.txt"
                          << QByteArray("drwxr-xr-x") + date + "deep";
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, hostile);
        QVERIFY(downloadEverythingListed(server));

        QCOMPARE(treeOf(m_target).keys(),
                 (QStringList{"deep/", "deep/deep/", "deep/good.txt", "good.txt"}));
        const QStringList lines = logLines();
        // The first 256 characters of the refused name or path, and "…".
        const auto refused = [](const QString &shown) {
            return QStringLiteral("[red]") + GetText("MDOWN_DOWNFAILED") + QLatin1Char(' ') +
                   shown + QString(256 - shown.size(), u'n') + QChar(0x2026);
        };
        QVERIFY(lines.contains(refused(QString())));
        QVERIFY(lines.contains(refused(QStringLiteral("/deep/"))));
        for (const QString &line : lines)
            QVERIFY(line.size() < 4096);
    }

    void serverStoppedMidway()
    {
        FtpTestServer::Hostile slow;
        slow.throttleBytesPerSecond = 1024 * 1024;
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, slow);
        QVERIFY2(server.start(), qPrintable(server.error()));
        for (int i = 0; i < 8; ++i)
            writeFile(server.localPath(QStringLiteral("/many/f%1.bin").arg(i)),
                      QByteArray(2 * 1024 * 1024, 'm'));
        QVERIFY(connectTo(server));
        selectItems(serverList(), {"many"});
        ClearLog();
        // Stopped from another thread: a single file's transfer yields no
        // events to a timer of this one.
        std::thread stopper([&server] {
            std::this_thread::sleep_for(std::chrono::milliseconds(700));
            server.stop();
        });
        QElapsedTimer t;
        t.start();
        DownloadServerSelection();
        stopper.join();
        QVERIFY(t.elapsed() < 60000);
        QVERIFY(!Ui::isHourglass());
        QVERIFY(!Ui::isBusy());
        const QStringList lines = logLines();
        QVERIFY(lines.contains(QStringLiteral("[red]") + GetText("MDOWN_DOWNFAILED")));
        // No partial file stands in the target.
        const QMap<QString, QByteArray> arrived = treeOf(m_target);
        for (auto it = arrived.cbegin(); it != arrived.cend(); ++it) {
            if (it.key().endsWith(QLatin1Char('/')))
                continue;
            QCOMPARE(QFileInfo(m_target + it.key()).size(), 2 * 1024 * 1024);
        }
    }
};

QTEST_MAIN(TestDownload)
#include "tst_download.moc"
