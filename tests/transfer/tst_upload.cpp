// Uploads of the local selection: files and folder trees arrive as they are
// on the local disk, in the log's order, in the chosen transfer type.

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
#include <thread>

using namespace transfertest;

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

    void uploadFileArguments()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server));
        QTimer *watchdog = mdiMain::instance().timIsConnected;
        // An empty argument gives false without a line, and the watchdog
        // still comes back.
        QString local = QStringLiteral("  ");
        QString remote = QStringLiteral("x");
        watchdog->start();
        ClearLog();
        QVERIFY(!UploadFile(local, remote));
        QVERIFY(watchdog->isActive());
        QVERIFY(logLines().isEmpty());
        // Blanks are trimmed, the caller sees the trimmed texts.
        local = QStringLiteral(" ") + m_local + QStringLiteral("a.txt ");
        remote = QStringLiteral("  named.txt ");
        QVERIFY(UploadFile(local, remote));
        QCOMPARE(remote, QStringLiteral("named.txt"));
        QCOMPARE(readFile(server.localPath(QStringLiteral("/named.txt"))), QByteArray("alpha\n"));
        // A local file that cannot be read leaves nothing on the server.
        local = m_local + QStringLiteral("missing.txt");
        remote = QStringLiteral("missing.txt");
        QVERIFY(!UploadFile(local, remote));
        QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/missing.txt"))));
        QCOMPARE(logLines().last(), QStringLiteral("[red]") + GetText("MPUB_UPFAILED"));
        QVERIFY(watchdog->isActive());
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
