// Long operations against servers that die, freeze or drop the session, and
// the window closed while they run: never the wrong folder, never a crash,
// one failure gives one message, and the window stays responsive.

#include "core/download.h"
#include "core/mdatabase.h"
#include "core/serverdelete.h"
#include "core/upload.h"
#include "platform/toolbar.h"
#include "platform/ui.h"
#include "transferhelpers.h"

#include <QComboBox>
#include <QProgressBar>
#include <QSignalSpy>

#include <functional>

using namespace transfertest;

namespace {

enum class Operation { Upload, Download, Delete, NewFolder };

int linesWith(const QString &prefix)
{
    int n = 0;
    for (const QString &line : logLines())
        n += line.startsWith(prefix) ? 1 : 0;
    return n;
}

QString red(const char *key)
{
    return QStringLiteral("[red]") + GetText(key);
}

QString black(const char *key)
{
    return QStringLiteral("[black]") + GetText(key);
}

void clickServerButton(const char *key)
{
    frmServer::instance().tlbServerLinks->click(QLatin1String(key));
}

} // namespace

Q_DECLARE_METATYPE(Operation)

class TestConnectionFaults : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    QString m_local;  // the local pane's folder, the upload's source
    QString m_target; // where downloads go

    ScriptedDialogs *boxes() { return m_program->dialogs; }

    void showUploadSource(const QStringList &names)
    {
        showLocalFolder(m_local);
        selectItems(frmLocal::instance().lsvDirFile, names);
    }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<Program>();
        m_local = m_program->home() + QStringLiteral("/up/");
        m_target = m_program->home() + QStringLiteral("/down/");
        for (const char *name : {"a.txt", "b.txt", "c.txt"})
            QVERIFY(writeFile(m_local + QLatin1String(name), QByteArray(64 * 1024, 'u')));
        QVERIFY(QDir().mkpath(m_target));
    }
    void cleanup() { m_program.reset(); }

    // Closing the window or File > Exit while an operation yields: it stops
    // at its next item, reconnects no more, re-creates no window, and the
    // windows go once it has returned.
    void closingDuringAnOperation_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<bool>("byExit");
        for (bool byExit : {false, true}) {
            const char *how = byExit ? "File > Exit" : "window closed";
            QTest::addRow("upload, %s", how) << Operation::Upload << byExit;
            QTest::addRow("download, %s", how) << Operation::Download << byExit;
            QTest::addRow("delete, %s", how) << Operation::Delete << byExit;
        }
    }
    void closingDuringAnOperation()
    {
        QFETCH(Operation, operation);
        QFETCH(bool, byExit);
        FtpTestServer::Hostile slow;
        slow.throttleBytesPerSecond = 128 * 1024;
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, slow);
        QVERIFY2(server.start(), qPrintable(server.error()));
        for (const char *name : {"/d/a.bin", "/d/b.bin", "/d/c.bin"})
            QVERIFY(writeFile(server.localPath(QLatin1String(name)), QByteArray(96 * 1024, 'd')));
        for (int i = 0; i < 40; ++i)
            QVERIFY(writeFile(server.localPath(QStringLiteral("/d/tree/f%1").arg(i)), "x"));
        QVERIFY(connectTo(server, QStringLiteral("/d")));
        showLocalFolder(m_target);
        if (operation == Operation::Upload)
            showUploadSource({"a.txt", "b.txt", "c.txt"});
        else if (operation == Operation::Download)
            selectItems(serverList(), {"a.bin", "b.bin", "c.bin"});
        else
            selectItems(serverList(), {"tree"});

        mdiMain &m = mdiMain::instance();
        QSignalSpy destroyed(&m, &QObject::destroyed);
        int loginsAtClose = -1;
        QTimer::singleShot(0, &m, [&] {
            loginsAtClose = server.loginCount();
            if (byExit)
                m.mnuFileExit->trigger();
            else
                m.close();
        });
        switch (operation) {
        case Operation::Upload:
            UploadSelection();
            break;
        case Operation::Download:
            DownloadServerSelection();
            break;
        default:
            DeleteServerSelectionAndPrune();
            break;
        }
        QVERIFY(loginsAtClose >= 0);
        // The item under way when the window closed is the last one begun.
        const int begun = operation == Operation::Upload     ? linesWith(black("FRMPULOC_BEGUP"))
                          : operation == Operation::Download ? linesWith(black("MDOWN_DOWNSTART"))
                                                             : 0;
        QVERIFY2(begun <= 1, qPrintable(logLines().join(QLatin1Char('\n'))));

        QTRY_COMPARE(destroyed.size(), 1);
        QVERIFY(!frmLocal::exists());
        QVERIFY(!frmServer::exists());
        QVERIFY(!frmTransferHistory::exists());
        QCOMPARE(hFtpConnection, HINTERNET(0));
        QCOMPARE(server.loginCount(), loginsAtClose);
        if (operation == Operation::Upload) {
            QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/d/b.txt"))));
            QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/d/c.txt"))));
        } else if (operation == Operation::Download) {
            QVERIFY(!QFile::exists(m_target + QStringLiteral("b.bin")));
            QVERIFY(!QFile::exists(m_target + QStringLiteral("c.bin")));
        }
    }

    // The connection died while it was held as open: the operation works in
    // the folder the server pane shows, never in "/" where items of the same
    // names stand. When no folder is known at all, it acts on nothing.
    void lostConnectionKeepsThePanesFolder_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<bool>("paneKnown");
        for (bool known : {true, false}) {
            const char *pane = known ? "pane shows /sub" : "pane shows nothing";
            QTest::addRow("upload, %s", pane) << Operation::Upload << known;
            QTest::addRow("download, %s", pane) << Operation::Download << known;
            QTest::addRow("delete, %s", pane) << Operation::Delete << known;
        }
        QTest::newRow("new folder, pane shows /sub") << Operation::NewFolder << true;
    }
    void lostConnectionKeepsThePanesFolder()
    {
        QFETCH(Operation, operation);
        QFETCH(bool, paneKnown);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        // The same names in "/" and in "/sub".
        for (const char *folder : {"/", "/sub/"}) {
            const QString f = QLatin1String(folder);
            QVERIFY(writeFile(
                server.localPath(f + "top/" + (f == "/" ? "wrong" : "right") + ".txt"), "t"));
            QVERIFY(QDir().mkpath(server.localPath(f + "a")));
            QVERIFY(QDir().mkpath(server.localPath(f + "x")));
        }
        QVERIFY(connectTo(server, QStringLiteral("/sub")));
        QComboBox *combo = frmServer::instance().cboServer;
        QCOMPARE(combo->currentText(), QStringLiteral("/sub"));
        showLocalFolder(m_target);
        if (operation == Operation::Upload)
            showUploadSource({"a.txt"});
        else if (operation == Operation::Download)
            selectItems(serverList(), {"top"});
        else if (operation == Operation::Delete)
            selectItems(serverList(), {"a", "x"});
        if (!paneKnown)
            combo->clear();
        QVERIFY(server.restart());
        ClearLog();

        switch (operation) {
        case Operation::Upload:
            UploadSelection();
            break;
        case Operation::Download:
            clickServerButton("download");
            break;
        case Operation::Delete:
            DeleteServerSelection();
            break;
        case Operation::NewFolder:
            boxes()->inputs << QStringLiteral("made");
            clickServerButton("new");
            break;
        }

        const QString log = logLines().join(QLatin1Char('\n'));
        // Nothing happened in "/".
        QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/a.txt"))));
        QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/made"))));
        QVERIFY(QFileInfo(server.localPath(QStringLiteral("/a"))).isDir());
        QVERIFY(QFileInfo(server.localPath(QStringLiteral("/x"))).isDir());
        QVERIFY(!QFile::exists(m_target + QStringLiteral("top/wrong.txt")));
        if (!paneKnown) {
            QVERIFY2(log.contains(QStringLiteral("[red]")), qPrintable(log));
            QVERIFY2(!log.contains(QStringLiteral("[green]")), qPrintable(log));
            QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/sub/a.txt"))));
            QVERIFY(QFileInfo(server.localPath(QStringLiteral("/sub/a"))).isDir());
            QVERIFY(!QFile::exists(m_target + QStringLiteral("top")));
            return;
        }
        switch (operation) {
        case Operation::Upload:
            QVERIFY2(QFile::exists(server.localPath(QStringLiteral("/sub/a.txt"))),
                     qPrintable(log));
            break;
        case Operation::Download:
            QVERIFY2(QFile::exists(m_target + QStringLiteral("top/right.txt")), qPrintable(log));
            // The reconnect at its end goes back to the pane's folder.
            QCOMPARE(FtpCurrentDir(), QStringLiteral("/sub"));
            break;
        case Operation::Delete:
            // The first removal met the dead connection; the second one ran
            // on the renewed connection, in "/sub".
            QVERIFY2(!QFile::exists(server.localPath(QStringLiteral("/sub/a"))) ||
                         !QFile::exists(server.localPath(QStringLiteral("/sub/x"))),
                     qPrintable(log));
            break;
        case Operation::NewFolder:
            QVERIFY2(QFileInfo(server.localPath(QStringLiteral("/sub/made"))).isDir(),
                     qPrintable(log));
            QCOMPARE(combo->currentText(), QStringLiteral("/sub"));
            QCOMPARE(FtpCurrentDir(), QStringLiteral("/sub"));
            break;
        }
    }

    // Once the reconnect inside an operation failed, the remaining items
    // fail red at once: one failure, one message.
    void oneFailureOneMessage_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<bool>("frozen");
        QTest::newRow("upload, server frozen") << Operation::Upload << true;
        QTest::newRow("upload, server killed") << Operation::Upload << false;
        QTest::newRow("download, server killed") << Operation::Download << false;
        QTest::newRow("delete, server killed") << Operation::Delete << false;
    }
    void oneFailureOneMessage()
    {
        QFETCH(Operation, operation);
        QFETCH(bool, frozen);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        for (const char *folder : {"/f1/", "/f2/", "/f3/"})
            QVERIFY(writeFile(server.localPath(QLatin1String(folder) + "file.txt"), "x"));
        QVERIFY(connectTo(server, QStringLiteral("/")));
        showLocalFolder(m_target);
        if (operation == Operation::Upload)
            showUploadSource({"a.txt", "b.txt", "c.txt"});
        else
            selectItems(serverList(), {"f1", "f2", "f3"});
        if (frozen)
            server.freeze();
        else
            server.stop();
        ClearLog();

        switch (operation) {
        case Operation::Upload:
            UploadSelection();
            break;
        case Operation::Download:
            clickServerButton("download");
            break;
        default:
            DeleteServerSelection();
            break;
        }

        QCOMPARE(boxes()->boxes.size(), 1);
        QVERIFY(boxes()->boxes[0].text.startsWith(GetText("MPUB_NOCONN1")));
        QCOMPARE(hFtpConnection, HINTERNET(0));
        QVERIFY(!Ui::isHourglass());
        // Every item the failure leaves out says so: nothing goes missing
        // without a red line.
        if (operation == Operation::Upload)
            QCOMPARE(linesWith(red("MPUB_UPFAILED")), 3);
        if (operation == Operation::Download)
            QCOMPARE(linesWith(red("MDOWN_DOWNFAILED")), 3);
        if (operation == Operation::Delete)
            QVERIFY(linesWith(red("MDEL_DELFAILED")) >= 3);
        if (frozen)
            server.resume();
    }

    // The long operations renew the session where they always did: before
    // each upload item, before each folder listing of a download, after each
    // folder a delete removed and at its end.
    void reconnectsPerItem_data()
    {
        QTest::addColumn<Operation>("operation");
        QTest::addColumn<int>("logins");
        QTest::newRow("upload of three files") << Operation::Upload << 3;
        QTest::newRow("download of a folder with a sub-folder") << Operation::Download << 2;
        QTest::newRow("delete of a folder with a sub-folder") << Operation::Delete << 3;
    }
    void reconnectsPerItem()
    {
        QFETCH(Operation, operation);
        QFETCH(int, logins);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/top/one.txt")), "1"));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/top/sub/two.txt")), "2"));
        QVERIFY(connectTo(server, QStringLiteral("/")));
        showLocalFolder(m_target);
        if (operation == Operation::Upload)
            showUploadSource({"a.txt", "b.txt", "c.txt"});
        else
            selectItems(serverList(), {"top"});
        const int before = server.loginCount();

        switch (operation) {
        case Operation::Upload:
            UploadSelection();
            break;
        case Operation::Download:
            DownloadServerSelection();
            break;
        default:
            DeleteServerSelection();
            break;
        }

        QCOMPARE(server.loginCount() - before, logins);
        const QString log = logLines().join(QLatin1Char('\n'));
        QVERIFY2(!log.contains(QStringLiteral("[red]")), qPrintable(log));
    }

    // A single download on a slow server: the window keeps processing its
    // events while the data arrive, the start line is on screen, and the
    // busy guard keeps other commands out.
    void downloadYieldsWhileTheDataArrive()
    {
        FtpTestServer::Hostile slow;
        slow.throttleBytesPerSecond = 256 * 1024;
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, slow);
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QByteArray bytes(512 * 1024, 'z');
        QVERIFY(writeFile(server.localPath(QStringLiteral("/big.bin")), bytes));
        QVERIFY(connectTo(server, QStringLiteral("/")));
        // The download goes into the folder the local pane shows, where a
        // file is selected for an upload that must not start meanwhile.
        showUploadSource({"a.txt"});
        selectItems(serverList(), {"big.bin"});
        ClearLog();

        const QString startLine = black("MDOWN_DOWNSTART") + QStringLiteral(" big.bin");
        int ticksDuringTransfer = 0;
        // A posted call that posts itself again runs once per pass of the
        // event loop: it counts the passes made while the data arrive.
        bool watching = true;
        std::function<void()> tick = [&] {
            if (!watching)
                return;
            QMetaObject::invokeMethod(this, tick, Qt::QueuedConnection);
            if (!Ui::isBusy() || logLines().value(logLines().size() - 1) != startLine)
                return;
            ++ticksDuringTransfer;
            // Another command is refused while the download runs.
            mdiMain::instance().mnuMyComputerUpload->trigger();
        };
        QMetaObject::invokeMethod(this, tick, Qt::QueuedConnection);
        DownloadServerSelection();
        watching = false;
        QCoreApplication::processEvents();

        QVERIFY(ticksDuringTransfer > 0);
        QCOMPARE(readFile(m_local + QStringLiteral("big.bin")), bytes);
        QCOMPARE(linesWith(black("FRMPULOC_BEGUP")), 0);
        QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/a.txt"))));
        QVERIFY(!Ui::isBusy());
    }

    // An upload of one item keeps the bar determinate: a range of 0..0 would
    // draw a busy indicator that runs on after the upload.
    void singleUploadKeepsTheBarDeterminate()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(connectTo(server, QStringLiteral("/")));
        showUploadSource({"a.txt"});
        QProgressBar *bar = mdiMain::instance().pgbBottom;
        int maximumDuring = -1;
        QTimer::singleShot(0, bar, [&] { maximumDuring = bar->maximum(); });

        UploadSelection();

        QVERIFY(QFile::exists(server.localPath(QStringLiteral("/a.txt"))));
        QVERIFY(maximumDuring != 0);
        QCOMPARE(bar->minimum(), 0);
        QVERIFY(bar->maximum() > 0);
        QCOMPARE(bar->value(), 0);
    }
};

QTEST_MAIN(TestConnectionFaults)
#include "tst_connectionfaults.moc"
