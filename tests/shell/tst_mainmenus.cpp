// The main window's menus "Mein Computer" and "Mein Server": the server
// items' connection test, the menu's download, every shortcut reaching its
// own command.

#include "../localops/localopshelpers.h"
#include "core/mdatabase.h"
#include "localpane/frmlocal.h"
#include "shell/mainmenus.h"

#include <QAbstractItemView>
#include <QAction>
#include <QCheckBox>

using namespace localopstest;

namespace {

// What a shortcut's command leaves behind, so that each command is told
// from every other.
enum class Effect {
    OnServer,     // the file arrived on the server
    Launched,     // the local file was handed to its program
    Asked,        // the local delete asked about the file
    ListedLocal,  // a file made meanwhile shows in the local list
    Downloaded,   // the file arrived in the local folder
    OpenLine,     // the main menu's Open logged its start line
    GoneOnServer, // the file was deleted on the server, without a question
    ListedServer, // a file made meanwhile shows in the server list
};

struct Press {
    const char *row;
    QKeyCombination keys;
    bool server; // the name is selected in the server list, else the local one
    const char *name;
    Effect effect;
};

const Press Presses[] = {
    {"F2 upload", Qt::Key_F2, false, "up.txt", Effect::OnServer},
    {"F3 open", Qt::Key_F3, false, "open.txt", Effect::Launched},
    {"Del delete", Qt::Key_Delete, false, "del.txt", Effect::Asked},
    {"F5 refresh", Qt::Key_F5, false, "later.txt", Effect::ListedLocal},
    {"Ctrl+F2 download", Qt::CTRL | Qt::Key_F2, true, "get.txt", Effect::Downloaded},
    {"Ctrl+F3 open", Qt::CTRL | Qt::Key_F3, true, "get.txt", Effect::OpenLine},
    {"Shift+Del delete", Qt::SHIFT | Qt::Key_Delete, true, "gone.txt", Effect::GoneOnServer},
    {"Ctrl+F5 refresh", Qt::CTRL | Qt::Key_F5, true, "later.txt", Effect::ListedServer},
};

FakeDesktop *desktop = nullptr;

} // namespace

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
    void initTestCase()
    {
        // Before anything asks the desktop.
        desktop = new FakeDesktop;
    }
    void cleanupTestCase() { delete desktop; }
    void init() { m_program = std::make_unique<Program>(); }
    void cleanup()
    {
        m_program.reset();
        Desktop::setLauncher(nullptr);
    }

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

    // Each shortcut, pressed once with the focus outside the lists (which
    // keep Delete and F5 for themselves), runs its own item's command.
    void everyShortcutReachesItsHandler_data()
    {
        QTest::addColumn<int>("press");
        for (int i = 0; i < int(std::size(Presses)); ++i)
            QTest::newRow(Presses[i].row) << i;
    }
    void everyShortcutReachesItsHandler()
    {
        QFETCH(int, press);
        const Press &p = Presses[press];
        const QString name = QLatin1String(p.name);
        RecordingLauncher &launcher = installRecordingLauncher();
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        for (const char *file : {"get.txt", "gone.txt"})
            QVERIFY(writeFile(server.localPath(QLatin1Char('/') + QLatin1String(file)), file));
        for (const char *file : {"up.txt", "open.txt", "del.txt"})
            QVERIFY(writeFile(m_program->home() + QLatin1Char('/') + QLatin1String(file), file));
        showHome();
        QVERIFY(connectTo(server));
        if (p.server)
            selectItems(serverList(), {name});
        else
            selectLocal({name});
        // The refreshes must find what appeared after the last listing.
        QVERIFY(writeFile(m_program->home() + QStringLiteral("/later.txt")));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/later.txt"))));
        ClearLog();
        mdiMain &m = mdiMain::instance();
        m.activateWindow();
        m.chkPassiveTransfer->setFocus();

        QTest::keyClick(m.chkPassiveTransfer, p.keys.key(), p.keys.keyboardModifiers());

        const QList<RecordedBox> &boxes = m_program->dialogs->boxes;
        const QString local = m_program->home() + QLatin1Char('/') + name;
        switch (p.effect) {
        case Effect::OnServer:
            QCOMPARE(readFile(server.localPath(QLatin1Char('/') + name)), QByteArray(p.name));
            break;
        case Effect::Launched:
            QCOMPARE(launcher.launches.size(), 1);
            QCOMPARE(launcher.launches[0].last(), local);
            break;
        case Effect::Asked:
            QCOMPARE(boxes.size(), 1);
            QVERIFY2(boxes[0].text.contains(name), qPrintable(boxes[0].text));
            QCOMPARE(boxes[0].buttons, MsgButtons::YesNo);
            QVERIFY(QFile::exists(local)); // answered No
            break;
        case Effect::ListedLocal:
            QVERIFY(localNames().contains(name));
            break;
        case Effect::Downloaded:
            QCOMPARE(readFile(local), QByteArray(p.name));
            break;
        case Effect::OpenLine:
            QVERIFY(!logLines().isEmpty());
            QCOMPARE(logLines().first(), QStringLiteral("[black]") +
                                             GetText("FRMPUSERVER_STARTDOWN") + QLatin1Char(' ') +
                                             name);
            break;
        case Effect::GoneOnServer:
            QVERIFY(!QFile::exists(server.localPath(QLatin1Char('/') + name)));
            QVERIFY(boxes.isEmpty());
            break;
        case Effect::ListedServer:
            QVERIFY(itemTexts().contains(name));
            break;
        }
    }

    // The shortcuts pressed above are all the menu table gives.
    void everyShortcutIsPressed()
    {
        QList<QKeyCombination> inTable, pressed;
        for (const MainMenuEntry &e : MainMenuTable())
            if (e.shortcut.key() != Qt::Key_unknown)
                inTable << e.shortcut;
        for (const Press &p : Presses)
            pressed << p.keys;
        QCOMPARE(pressed, inTable);
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
