// The recursive delete on the server: every file first in list order, then
// the folders from the deepest up; the path combo loses the folders that are
// gone; hostile names and folders that cannot be entered never make the
// delete act on another path.

#include "core/mdatabase.h"
#include "core/serverdelete.h"
#include "platform/ui.h"
#include "serveropshelpers.h"

#include <QProgressBar>
#include <QSignalSpy>
#include <QTreeView>

using namespace serveropstest;

namespace {

QString black(const char *key, const QString &object)
{
    return QStringLiteral("[black]") + GetText(key) + QLatin1Char(' ') + object;
}

QString deleteLine(const QString &path)
{
    return black("MDEL_DELFILE", path);
}

QString ok()
{
    return QStringLiteral("[green]") + GetText("MDEL_DELOK");
}

QString failed()
{
    return QStringLiteral("[red]") + GetText("MDEL_DELFAILED");
}

QString refused(const QString &what)
{
    return failed() + QLatin1Char(' ') + what;
}

} // namespace

class TestServerDelete : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;

private Q_SLOTS:
    void init() { m_program = std::make_unique<Program>(); }
    void cleanup()
    {
        m_program.reset();
        ResetDeleteState();
    }

    void nestedSelection_data()
    {
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::addColumn<bool>("passive");
        QTest::newRow("pyftpdlib passive") << FtpTestServer::Kind::Pyftpdlib << true;
        QTest::newRow("vsftpd active") << FtpTestServer::Kind::Vsftpd << false;
    }
    void nestedSelection()
    {
        QFETCH(FtpTestServer::Kind, kind);
        QFETCH(bool, passive);
        FtpTestServer server(kind);
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QString del = below(server, QStringLiteral("del"));
        for (const char *file :
             {"/f1.txt", "/keep.txt", "/top/a.txt", "/top/sub/b.txt", "/top/sub/deeper/c.txt"})
            QVERIFY(writeFile(server.localPath(del + QLatin1String(file)), "x"));
        QVERIFY(QDir().mkpath(server.localPath(del + QStringLiteral("/top/empty"))));
        letEveryoneWrite(server.localPath(del));
        ConnectFlags = passive ? INTERNET_FLAG_PASSIVE : 0;
        QVERIFY(connectTo(server));
        const QStringList before = comboEntries();
        QVERIFY(visit({del + "/top/sub/deeper", del + "/top/sub", del + "/top", del}));
        QCOMPARE(comboEntries(), before + QStringList({del + "/top/sub/deeper", del + "/top/sub",
                                                       del + "/top", del}));
        selectItems(serverList(), {"f1.txt", "top"});
        ClearLog();
        QSignalSpy progress(mdiMain::instance().pgbBottom, &QProgressBar::valueChanged);
        m_program->dialogs->answers << MsgAnswer::Yes;

        QTest::keyClick(serverList()->detailsView(), Qt::Key_Delete);

        QCOMPARE(m_program->dialogs->boxes.size(), 1);
        QCOMPARE(m_program->dialogs->boxes[0].text, QStringLiteral("Delete Selection?"));
        QCOMPARE(treeOf(server.localPath(del)).keys(), QStringList{"keep.txt"});
        // The files in list order (the selection, then each folder's
        // listing before its sub-folders'), then the folders deepest first;
        // the selected folder without its closing "/".
        QCOMPARE(logLines(),
                 (QStringList{deleteLine(del + "/f1.txt"), ok(), deleteLine(del + "/top/a.txt"),
                              ok(), deleteLine(del + "/top/sub/b.txt"), ok(),
                              deleteLine(del + "/top/sub/deeper/c.txt"), ok(),
                              deleteLine(del + "/top/sub/deeper/"), ok(),
                              deleteLine(del + "/top/empty/"), ok(), deleteLine(del + "/top/sub/"),
                              ok(), deleteLine(del + "/top"), ok()}));
        QCOMPARE(int(DeleteList.size()), 8);
        // The bar runs 0 to count - 1 with the maximum at the count.
        QProgressBar *bar = mdiMain::instance().pgbBottom;
        QCOMPARE(bar->maximum(), 8);
        int highest = 0;
        for (const QList<QVariant> &value : progress)
            highest = qMax(highest, value.at(0).toInt());
        QCOMPARE(highest, 7);
        // The bar stays visible at the end rather than being hidden: nothing
        // else in the program shows it again, so hiding it here would leave
        // every later upload and download without its progress.
        QVERIFY(bar->isVisible());
        // The deleted folders left the combo; the server and the list are
        // where the delete started.
        QCOMPARE(comboEntries(), before + QStringList{del});
        QCOMPARE(FtpCurrentDir(), del);
        QCOMPARE(itemTexts(), (QStringList{"..", "keep.txt"}));
        QVERIFY(!Ui::isHourglass());
        QVERIFY(!Ui::isBusy());
    }

    void deleteKeyAnsweredNoDeletesNothing()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/f.txt")), "x"));
        QVERIFY(connectTo(server));
        selectItems(serverList(), {"f.txt"});
        ClearLog();
        m_program->dialogs->answers << MsgAnswer::No;
        QTest::keyClick(serverList()->detailsView(), Qt::Key_Delete);
        QVERIFY(QFile::exists(server.localPath(QStringLiteral("/f.txt"))));
        QVERIFY(logLines().isEmpty());
    }

    // Nothing to delete: no line, no bar; the reconnect and the pruning of
    // the combo still run, and the server ends where it started.
    void nothingToDelete_data()
    {
        QTest::addColumn<QStringList>("selection");
        QTest::newRow("nothing selected") << QStringList();
        QTest::newRow("only ..") << QStringList{".."};
    }
    void nothingToDelete()
    {
        QFETCH(QStringList, selection);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        for (const char *folder : {"/here", "/gone"})
            QVERIFY(QDir().mkpath(server.localPath(QLatin1String(folder))));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/here/f.txt")), "x"));
        QVERIFY(connectTo(server));
        QVERIFY(visit({"/gone", "/here"}));
        QVERIFY(QDir(server.localPath(QStringLiteral("/gone"))).removeRecursively());
        selectItems(serverList(), selection);
        const HINTERNET before = hFtpConnection;
        const QSignalSpy progress(mdiMain::instance().pgbBottom, &QProgressBar::valueChanged);
        const int maximum = mdiMain::instance().pgbBottom->maximum();
        ClearLog();

        DeleteServerSelection();

        QVERIFY(logLines().isEmpty());
        QVERIFY(progress.isEmpty());
        QCOMPARE(mdiMain::instance().pgbBottom->maximum(), maximum);
        QVERIFY(hFtpConnection != 0 && hFtpConnection != before);
        QCOMPARE(comboEntries(), (QStringList{"/", "/here"}));
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/here"));
        QVERIFY(QFile::exists(server.localPath(QStringLiteral("/here/f.txt"))));
        QVERIFY(!Ui::isHourglass());
    }

    void nameWithTwoDotsIsLeftOut()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        for (const char *file : {"/a..b", "/c.txt"})
            QVERIFY(writeFile(server.localPath(QLatin1String(file)), "x"));
        QVERIFY(connectTo(server));
        selectItems(serverList(), {"a..b", "c.txt"});
        ClearLog();
        DeleteServerSelection();
        QVERIFY(QFile::exists(server.localPath(QStringLiteral("/a..b"))));
        QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/c.txt"))));
        QCOMPARE(logLines(), (QStringList{deleteLine("/c.txt"), ok()}));
    }

    // Without a connection nothing is deleted or logged; the end of the run
    // connects with the connection bar's fields.
    void withoutConnectionOnlyConnects()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/f.txt")), "x"));
        QVERIFY(connectTo(server));
        selectItems(serverList(), {"f.txt"});
        CloseFtpConnection();
        ClearLog();
        DeleteServerSelection();
        QVERIFY(logLines().isEmpty());
        QVERIFY(QFile::exists(server.localPath(QStringLiteral("/f.txt"))));
        QVERIFY(hFtpConnection != 0);
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/"));
    }

    // A reconnect that fails at the end shows its message; the combo keeps
    // its entries, since no folder is known to be gone.
    void failedReconnectKeepsTheCombo()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(QDir().mkpath(server.localPath(QStringLiteral("/sub"))));
        QVERIFY(connectTo(server));
        QVERIFY(visit({"/sub"}));
        mdiMain::instance().txtPassword->setText(QStringLiteral("wrong"));
        DeleteServerSelection();
        QCOMPARE(hFtpConnection, HINTERNET(0));
        QCOMPARE(comboEntries(), (QStringList{"/", "/sub"}));
        QVERIFY(!Ui::isHourglass());
    }

    // Listed names that climb out of their folder or name another folder
    // are refused with a red line; what they name stays on the server.
    void hostileListing()
    {
        FtpTestServer::Hostile hostile;
        const QByteArray date = " 1 user group 5 Jan 10 12:00 ";
        for (const char *name : {"../x", "a/b", "good.txt"})
            hostile.listLines << QByteArray("-rw-r--r--") + date + name;
        for (const char *name : {"..", ".", "deep"})
            hostile.listLines << QByteArray("drwxr-xr-x") + date + name;
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, hostile);
        QVERIFY2(server.start(), qPrintable(server.error()));
        for (const char *file : {"/x", "/a/b", "/good.txt", "/deep/good.txt", "/deep/a/b"})
            QVERIFY(writeFile(server.localPath(QLatin1String(file)), "x"));
        QVERIFY(connectTo(server));
        for (int i = 0; i < serverList()->count(); ++i)
            serverList()->setSelected(i, true);
        ClearLog();

        DeleteServerSelection();

        QVERIFY(!Ui::isBusy());
        // Only the two good files are gone.
        QCOMPARE(treeOf(server.localPath(QStringLiteral("/"))).keys(),
                 (QStringList{"a/", "a/b", "deep/", "deep/a/", "deep/a/b", "x"}));
        const QStringList lines = logLines();
        if (itemTexts().contains(QStringLiteral("a/b")))
            QVERIFY(lines.contains(refused("a/b")));
        QVERIFY(lines.contains(refused("/deep/../x")));
        QVERIFY(lines.contains(refused("/deep/a/b")));
        // The listed deep/deep cannot be entered: it is not listed in the
        // place of another folder, and its removal fails.
        QVERIFY(lines.contains(refused("/deep/deep/")));
        QVERIFY(!lines.contains(deleteLine("/deep/deep/good.txt")));
        const int removal = int(lines.indexOf(deleteLine("/deep/deep/")));
        QVERIFY(removal >= 0);
        QCOMPARE(lines.value(removal + 1), failed());
        // deep still holds a/b, so it stays.
        QCOMPARE(lines.value(lines.indexOf(deleteLine("/deep")) + 1), failed());
        QCOMPARE(lines.value(lines.indexOf(deleteLine("/deep/good.txt")) + 1), ok());
    }

    // The folder of an item vanished after it was listed: nothing of the
    // same name in the folder where the walk stopped is deleted.
    void folderThatCannotBeEntered_data()
    {
        QTest::addColumn<bool>("isFolder");
        QTest::newRow("file") << false;
        QTest::newRow("folder") << true;
    }
    void folderThatCannotBeEntered()
    {
        QFETCH(bool, isFolder);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        for (const char *path : {"/f/same", "/same"}) {
            const QString local = server.localPath(QLatin1String(path));
            QVERIFY(isFolder ? QDir().mkpath(local) : writeFile(local, "x"));
        }
        QVERIFY(connectTo(server, QStringLiteral("/f")));
        selectItems(serverList(), {"same"});
        QVERIFY(QDir().rename(server.localPath(QStringLiteral("/f")),
                              server.localPath(QStringLiteral("/g"))));
        ClearLog();

        DeleteServerSelection();

        QVERIFY(QFileInfo::exists(server.localPath(QStringLiteral("/same"))));
        QVERIFY(QFileInfo::exists(server.localPath(QStringLiteral("/g/same"))));
        const QStringList lines = logLines();
        // The file's full path and the selected folder's path read alike.
        const QString line = deleteLine(QStringLiteral("/f/same"));
        QVERIFY2(lines.contains(line), qPrintable(lines.join('\n')));
        QCOMPARE(lines.value(lines.indexOf(line) + 1), failed());
        QVERIFY(!lines.contains(ok()));
        if (isFolder)
            QVERIFY(lines.contains(refused("/f/same/")));
    }
};

QTEST_MAIN(TestServerDelete)
#include "tst_serverdelete.moc"
