// The main window's menus "Mein Computer" and "Mein Server": the server
// items' connection test, the menu's download, the shortcuts.

#include "../server/serverhelpers.h"
#include "core/mdatabase.h"
#include "localpane/frmlocal.h"

#include <QAbstractItemView>
#include <QAction>

using namespace servertest;

class TestMainMenus : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;

    void showHome()
    {
        frmLocal::instance().RevealFolder(m_program->home() + QLatin1Char('/'),
                                          FolderOrder::IgnoreCase);
        frmLocal::instance().ViewFolder(m_program->home() + QLatin1Char('/'),
                                        QStringLiteral("*.*"));
    }

private Q_SLOTS:
    void init() { m_program = std::make_unique<Program>(); }
    void cleanup() { m_program.reset(); }

    void serverItemsNeedAConnection_data()
    {
        QTest::addColumn<QString>("item");
        for (const char *item :
             {"mnuMyServerDownload", "mnuMyServerDownloadAls", "mnuMyServerOeffnen",
              "mnuMyServerOeffnenMit", "mnuMyServerUmbenennen", "mnuMyServerLoeschen",
              "mnuMyServerNeuOrdner", "mnuMyServerAktualisieren"})
            QTest::newRow(item) << QString::fromLatin1(item);
    }
    void serverItemsNeedAConnection()
    {
        QFETCH(QString, item);
        QAction *action = mdiMain::instance().findChild<QAction *>(item);
        QVERIFY(action);
        ClearLog();
        action->trigger();
        const auto &boxes = m_program->dialogs->boxes;
        QCOMPARE(boxes.size(), 1);
        QVERIFY(!boxes[0].input); // New folder tests before its input box
        QCOMPARE(boxes[0].text, GetText("FRMSERVER_NOCONNECTION"));
        QCOMPARE(boxes[0].icon, MsgIcon::Information);
        QVERIFY(logLines().isEmpty());
    }

    void downloadReconnectsInTheShownFolder()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/pub/a.txt")), "menu"));
        showHome();
        fillConnectionBar(server);
        ConnectFromMainWindow();
        QVERIFY(FtpChangeDir(QStringLiteral("/pub")));
        RefreshServerList(hFtpConnection);
        const HINTERNET before = hFtpConnection;
        serverList()->setSelected(itemIndex(QStringLiteral("a.txt")), true);
        mdiMain::instance().mnuMyServerDownload->trigger();
        QFile f(m_program->home() + QStringLiteral("/a.txt"));
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("menu"));
        QVERIFY(hFtpConnection != 0 && hFtpConnection != before);
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/pub"));
    }

    void shortcuts()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/gone.txt")), "x"));
        showHome();
        fillConnectionBar(server);
        ConnectFromMainWindow();
        RefreshServerList(hFtpConnection);
        mdiMain &m = mdiMain::instance();
        m.activateWindow();
        m.txtAddress->setFocus();
        // F5 lists the local folder again.
        QVERIFY(writeFile(m_program->home() + QStringLiteral("/later.txt"), "l"));
        QTest::keyClick(m.txtAddress, Qt::Key_F5);
        QTRY_VERIFY(frmLocal::instance().listing().entries().size() > 0);
        bool listed = false;
        for (int i = 0; i < frmLocal::instance().lsvDirFile->count(); ++i)
            listed =
                listed || frmLocal::instance().lsvDirFile->text(i) == QLatin1String("later.txt");
        QVERIFY(listed);
        // Shift+Del in the server list deletes its selection without asking.
        serverList()->setSelected(itemIndex(QStringLiteral("gone.txt")), true);
        QWidget *list = serverList()->activeView();
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete, Qt::ShiftModifier);
        QTRY_VERIFY(!QFile::exists(server.localPath(QStringLiteral("/gone.txt"))));
        for (const RecordedBox &b : m_program->dialogs->boxes)
            QVERIFY2(b.buttons != MsgButtons::YesNo, qPrintable(b.text));
    }

    void localRenameRelistsThePane()
    {
        showHome();
        QVERIFY(writeFile(m_program->home() + QStringLiteral("/old.txt"), "o"));
        frmLocal &local = frmLocal::instance();
        local.ViewFolder(m_program->home() + QLatin1Char('/'), QStringLiteral("*.*"));
        for (int i = 0; i < local.lsvDirFile->count(); ++i)
            if (local.lsvDirFile->text(i) == QLatin1String("old.txt"))
                local.lsvDirFile->setSelectedItem(i);
        m_program->dialogs->inputs << QStringLiteral("new.txt");
        mdiMain::instance().mnuMyComputerUmbenennen->trigger();
        QVERIFY(QFile::exists(m_program->home() + QStringLiteral("/new.txt")));
        QVERIFY(!QFile::exists(m_program->home() + QStringLiteral("/old.txt")));
        QStringList names;
        for (int i = 0; i < local.lsvDirFile->count(); ++i)
            names << local.lsvDirFile->text(i);
        QVERIFY(names.contains(QStringLiteral("new.txt")));
        QVERIFY(!names.contains(QStringLiteral("old.txt")));
    }
};

QTEST_MAIN(TestMainMenus)
#include "tst_mainmenus.moc"
