// The connection bar against real servers: the menu, toolbar and Enter
// roads with their log lines and messages, what happens to the handles of
// earlier connects, the text boxes, and the connection watchdog.

#include "serverhelpers.h"

#include "core/mdatabase.h"
#include "core/serverdelete.h"
#include "platform/toolbar.h"
#include "platform/ui.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTimer>

using namespace servertest;

Q_DECLARE_METATYPE(FtpTestServer::Kind)

namespace {

const QString CrLf = QStringLiteral("\r\n");

enum class Road { Menu, Toolbar, Enter };

void connectBy(Road road)
{
    mdiMain &m = mdiMain::instance();
    switch (road) {
    case Road::Menu:
        m.mnuVerbindungVerbinden->trigger();
        break;
    case Road::Toolbar:
        m.tlbConnect->click(QStringLiteral("connect"));
        break;
    case Road::Enter:
        QTest::keyClick(m.txtPassword, Qt::Key_Return);
        break;
    }
}

// "1" for each enabled box: address, user, password, port.
QString boxesEnabled()
{
    mdiMain &m = mdiMain::instance();
    QString s;
    for (const QLineEdit *box : {m.txtAddress, m.txtUserID, m.txtPassword, m.txtPort})
        s += box->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
    return s;
}

QColor baseOf(const QLineEdit *box)
{
    return box->palette().color(QPalette::Base);
}

const QColor PaleYellow(255, 255, 192);
const QColor White(255, 255, 255);

} // namespace

Q_DECLARE_METATYPE(Road)

class TestConnectionBar : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    ScriptedDialogs *boxes() { return m_program->dialogs; }

private Q_SLOTS:
    void init() { m_program = std::make_unique<Program>(); }
    void cleanup() { m_program.reset(); }

    void successfulConnect_data()
    {
        QTest::addColumn<Road>("road");
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::addColumn<QString>("greenKey");
        QTest::addColumn<QString>("doneKey");
        QTest::addColumn<QString>("enabledDuring");
        QTest::newRow("menu, pyftpdlib")
            << Road::Menu << FtpTestServer::Kind::Pyftpdlib << "CONNECTION_TO"
            << "ESTABLSHED"
            << "0000";
        QTest::newRow("toolbar, vsftpd")
            << Road::Toolbar << FtpTestServer::Kind::Vsftpd << "CONNECTION_TO"
            << "ESTABLSHED"
            << "0000";
        // Enter leaves the port box alone.
        QTest::newRow("Enter, pyftpdlib")
            << Road::Enter << FtpTestServer::Kind::Pyftpdlib << "CONNECTION_WITH"
            << "WAS_ESTABLISHT"
            << "0001";
        QTest::newRow("Enter, vsftpd")
            << Road::Enter << FtpTestServer::Kind::Vsftpd << "CONNECTION_WITH"
            << "WAS_ESTABLISHT"
            << "0001";
    }
    void successfulConnect()
    {
        QFETCH(Road, road);
        QFETCH(FtpTestServer::Kind, kind);
        QFETCH(QString, greenKey);
        QFETCH(QString, doneKey);
        QFETCH(QString, enabledDuring);
        FtpTestServer server(kind);
        QVERIFY2(server.start(), qPrintable(server.error()));
        for (const char *name : {"zeta.txt", "alpha.bin"})
            QVERIFY(writeFile(server.localPath(QLatin1String("/") + QLatin1String(name)), "x"));
        QVERIFY(QDir().mkpath(server.localPath(QStringLiteral("/sub"))));
        fillConnectionBar(server);
        LogLine(QStringLiteral("an earlier line"));
        serverList()->add(QStringLiteral("stale item"), QString());

        QString during;
        QTimer::singleShot(0, [&during] { during = boxesEnabled(); });
        connectBy(road);

        const QString host = server.host();
        QCOMPARE(logLines(), (QStringList{"[black]" + GetText("CONNECT_WITH") + " " + host + " ...",
                                          "[green]" + GetText(greenKey) + " " + host + " " +
                                              GetText(doneKey)}));
        QVERIFY(boxes()->boxes.isEmpty());
        QCOMPARE(during, enabledDuring);
        QCOMPARE(boxesEnabled(), QStringLiteral("1111"));
        QVERIFY(!Ui::isHourglass());
        QVERIFY(hFtpConnection != 0);
        QCOMPARE(hFtpConnection, hMainConnection);
        QVERIFY(hMainInternet != 0);
        mdiMain &m = mdiMain::instance();
        QVERIFY(m.timIsConnected->isActive());
        QCOMPARE(m.timIsConnected->interval(), 1000);

        // The root is listed: "..", the folders, then the files, each in
        // the server's order.
        QStringList folders, files;
        for (const ServerListingEntry &e : ServerListing)
            (IsPlainFolder(e) ? folders : files) << e.Name;
        QVERIFY2(folders.contains(QStringLiteral("sub")), qPrintable(folders.join(',')));
        QVERIFY(files.contains(QStringLiteral("zeta.txt")) &&
                files.contains(QStringLiteral("alpha.bin")));
        QCOMPARE(itemTexts(), QStringList{".."} + folders + files);
        QComboBox *combo = frmServer::instance().cboServer;
        QCOMPARE(combo->count(), 1);
        QCOMPARE(combo->currentText(), QStringLiteral("/"));
    }

    void missingFields_data()
    {
        QTest::addColumn<Road>("road");
        QTest::addColumn<QString>("address");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("icon");
        QTest::newRow("menu, empty address") << Road::Menu << ""
                                             << "21"
                                             << "ENTER_ADRESS" << int(MsgIcon::Critical);
        QTest::newRow("toolbar, blank address") << Road::Toolbar << "   "
                                                << "21"
                                                << "ENTER_ADRESS" << int(MsgIcon::Critical);
        QTest::newRow("menu, blank port") << Road::Menu << "127.0.0.1"
                                          << "  "
                                          << "ENTER_PORT" << int(MsgIcon::Critical);
        QTest::newRow("Enter, blank address") << Road::Enter << " "
                                              << "21"
                                              << "ENTER_HOST" << int(MsgIcon::Information);
    }
    void missingFields()
    {
        QFETCH(Road, road);
        QFETCH(QString, address);
        QFETCH(QString, port);
        QFETCH(QString, key);
        QFETCH(int, icon);
        mdiMain &m = mdiMain::instance();
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        m.txtAddress->setText(address);
        m.txtPort->setText(port);
        m.txtAddress->setFocus();
        ClearLog();
        LogLine(QStringLiteral("an earlier line"));
        serverList()->add(QStringLiteral("kept item"), QString());

        connectBy(road);

        QCOMPARE(boxes()->boxes.size(), 1);
        QCOMPARE(boxes()->boxes[0].text, GetText(key));
        QCOMPARE(int(boxes()->boxes[0].icon), icon);
        QCOMPARE(boxes()->boxes[0].buttons, MsgButtons::Ok);
        QCOMPARE(boxes()->boxes[0].title, QString());
        QCOMPARE(logLines(), QStringList{"[black]an earlier line"});
        QCOMPARE(itemTexts(), QStringList{"kept item"});
        QCOMPARE(hMainInternet, HINTERNET(0));
        if (key == QLatin1String("ENTER_PORT"))
            QTRY_COMPARE(QApplication::focusWidget(), m.txtPort);
    }

    void enterWithEmptyPortTriesAndFails()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        mdiMain &m = mdiMain::instance();
        m.txtPort->clear();
        LogLine(QStringLiteral("an earlier line"));

        connectBy(Road::Enter);

        QCOMPARE(boxes()->boxes.size(), 1);
        QCOMPARE(boxes()->boxes[0].text,
                 GetText("NO_CONNECTION") + CrLf + GetText("CHECK_PROVIDER"));
        QCOMPARE(boxes()->boxes[0].icon, MsgIcon::Exclamation);
        QCOMPARE(logLines(), QStringList()); // cleared, and no line of its own
        QCOMPARE(hFtpConnection, HINTERNET(0));
        QCOMPARE(boxesEnabled(), QStringLiteral("1111"));
        QVERIFY(!Ui::isHourglass());
        QVERIFY(!m.timIsConnected->isActive());
    }

    void failedConnect_data()
    {
        QTest::addColumn<Road>("road");
        QTest::addColumn<QString>("fault");
        for (const char *fault : {"wrong password", "nobody listening", "port above 32767"}) {
            QTest::addRow("menu, %s", fault) << Road::Menu << fault;
            QTest::addRow("Enter, %s", fault) << Road::Enter << fault;
        }
    }
    void failedConnect()
    {
        QFETCH(Road, road);
        QFETCH(QString, fault);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        mdiMain &m = mdiMain::instance();
        if (fault == QLatin1String("wrong password"))
            m.txtPassword->setText(QStringLiteral("wrong"));
        else if (fault == QLatin1String("nobody listening"))
            server.stop();
        else
            m.txtPort->setText(QStringLiteral("40021"));
        serverList()->add(QStringLiteral("stale item"), QString());

        connectBy(road);

        QCOMPARE(boxes()->boxes.size(), 1);
        const RecordedBox box = boxes()->boxes[0];
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        if (road == Road::Menu) {
            QCOMPARE(box.text, GetText("NOT_ESTABLISHED") + CrLf + GetText("SPELLING") + CrLf +
                                   GetText("PROVIDER"));
            QCOMPARE(logLines(), (QStringList{"[black]" + GetText("CONNECT_WITH") + " " +
                                                  server.host() + " ...",
                                              "[red]" + GetText("NOT_ESTABLISHED")}));
        } else {
            QCOMPARE(box.text, GetText("NO_CONNECTION") + CrLf + GetText("CHECK_PROVIDER"));
            QCOMPARE(logLines(), QStringList());
        }
        QCOMPARE(serverList()->count(), 0);
        QCOMPARE(hFtpConnection, HINTERNET(0));
        QCOMPARE(hMainConnection, HINTERNET(0));
        QCOMPARE(boxesEnabled(), QStringLiteral("1111"));
        QVERIFY(!Ui::isHourglass());
        // The user can connect again at once.
        boxes()->boxes.clear();
        if (fault == QLatin1String("nobody listening"))
            return;
        fillConnectionBar(server);
        connectBy(road);
        QVERIFY(boxes()->boxes.isEmpty());
        QVERIFY(hFtpConnection != 0);
    }

    // Each connect replaces the session and closes the connection the
    // program held before, whichever road made it.
    void earlierHandlesAreClosed()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        connectBy(Road::Menu);
        const HINTERNET firstSession = hMainInternet;
        const HINTERNET first = hFtpConnection;
        QVERIFY(first != 0);

        ConnectFromMainWindow(); // the reconnect road replaces it
        const HINTERNET reconnected = hFtpConnection;
        QVERIFY(reconnected != first);

        connectBy(Road::Enter);
        const HINTERNET third = hFtpConnection;
        QVERIFY(third != 0 && third != reconnected && hMainInternet != firstSession);
        QString dir;
        QVERIFY(!FtpGetCurrentDirectory(first, dir));
        QVERIFY(!FtpGetCurrentDirectory(reconnected, dir));
        QVERIFY(FtpGetCurrentDirectory(third, dir));
        QCOMPARE(dir, QStringLiteral("/"));
        // The first session is closed: nothing can connect on it.
        QCOMPARE(InternetConnect(firstSession, server.host(), server.port(), server.user(),
                                 server.password(), INTERNET_SERVICE_FTP, 0, 0),
                 HINTERNET(0));

        // A failed connect closes the working one too, and holds nothing.
        mdiMain::instance().txtPassword->setText(QStringLiteral("wrong"));
        connectBy(Road::Menu);
        QCOMPARE(hFtpConnection, HINTERNET(0));
        QVERIFY(!FtpGetCurrentDirectory(third, dir));
        QCOMPARE(boxes()->boxes.size(), 1);
    }

    // A connect asked for while a listing yields leaves the listing its
    // connection; so does the watchdog.
    void connectWaitsForARunningListing()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        connectBy(Road::Menu);
        const HINTERNET held = hFtpConnection;
        const HINTERNET session = hMainInternet;
        LogLine(QStringLiteral("kept"));
        mdiMain &m = mdiMain::instance();
        bool ran = false;
        QTimer::singleShot(0, [&] {
            connectBy(Road::Menu);
            connectBy(Road::Enter);
            m.timIsConnected_Timer();
            ran = true;
        });
        RefreshServerList(hFtpConnection);
        QVERIFY(ran);
        QCOMPARE(hFtpConnection, held);
        QCOMPARE(hMainInternet, session);
        QCOMPARE(logLines().last(), QStringLiteral("[black]kept"));
        QVERIFY(boxes()->boxes.isEmpty());
    }

    void textBoxes()
    {
        mdiMain &m = mdiMain::instance();
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        m.txtAddress->setText(QStringLiteral("ftp.example.org"));
        m.txtUserID->setText(QStringLiteral("anna"));
        m.txtPassword->setText(QStringLiteral("secret"));
        m.txtPort->setFocus();
        QTRY_VERIFY(m.txtPort->hasFocus());

        m.txtAddress->setFocus();
        QTRY_VERIFY(m.txtAddress->hasFocus());
        QCOMPARE(baseOf(m.txtAddress), PaleYellow);
        QCOMPARE(m.txtAddress->selectedText(), QStringLiteral("ftp.example.org"));

        QTest::keyClick(m.txtAddress, Qt::Key_Tab);
        QTRY_VERIFY(m.txtUserID->hasFocus());
        QCOMPARE(baseOf(m.txtAddress), White);
        QCOMPARE(baseOf(m.txtUserID), PaleYellow);
        QCOMPARE(m.txtUserID->selectedText(), QStringLiteral("anna"));

        QTest::keyClick(m.txtUserID, Qt::Key_Tab);
        QTRY_VERIFY(m.txtPassword->hasFocus());
        QCOMPARE(baseOf(m.txtUserID), White);
        QCOMPARE(baseOf(m.txtPassword), PaleYellow);
        QCOMPARE(m.txtPassword->selectedText().size(), 6);

        m.txtPort->setFocus();
        QTRY_VERIFY(m.txtPort->hasFocus());
        QCOMPARE(baseOf(m.txtPassword), White);
        QCOMPARE(baseOf(m.txtPort), PaleYellow);
        QCOMPARE(m.txtPort->selectedText(), QStringLiteral("21"));

        // A click into the address box colours it as well.
        QTest::mouseClick(m.txtAddress, Qt::LeftButton);
        QTRY_VERIFY(m.txtAddress->hasFocus());
        QCOMPARE(baseOf(m.txtAddress), PaleYellow);
        QCOMPARE(baseOf(m.txtPort), White);
    }

    void watchdogAsksOnceWhenTheServerIsGone()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        connectBy(Road::Menu);
        mdiMain &m = mdiMain::instance();
        QVERIFY(m.timIsConnected->isActive());
        const HINTERNET held = hFtpConnection;

        server.stop();
        QTRY_COMPARE_WITH_TIMEOUT(boxes()->boxes.size(), 1, 4000);
        const RecordedBox box = boxes()->boxes[0];
        QCOMPARE(box.text, GetText("CONNECTION_CANCEL1") + CrLf + GetText("CONNECTION_CANCEL2"));
        QCOMPARE(box.buttons, MsgButtons::YesNo);
        QCOMPARE(box.title, QString());
        // No: nothing more, and no second question, as the watchdog is off.
        QVERIFY(!m.timIsConnected->isActive());
        QCOMPARE(hFtpConnection, held);
    }

    void watchdogYesReconnects()
    {
        FtpTestServer first;
        QVERIFY2(first.start(), qPrintable(first.error()));
        fillConnectionBar(first);
        connectBy(Road::Menu);
        mdiMain &m = mdiMain::instance();
        m.timIsConnected->setInterval(50);
        const HINTERNET held = hFtpConnection;
        // The server comes back on another port; the bar names it.
        FtpTestServer second;
        QVERIFY2(second.start(), qPrintable(second.error()));
        fillConnectionBar(second);
        boxes()->answers << MsgAnswer::Yes;

        first.stop();
        QTRY_COMPARE_WITH_TIMEOUT(boxes()->boxes.size(), 1, 4000);
        QVERIFY(hFtpConnection != 0 && hFtpConnection != held);
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/"));
        QVERIFY(second.receivedCommand("PASS"));
        // The reconnect road leaves the watchdog off.
        QVERIFY(!m.timIsConnected->isActive());
    }
    // The reconnect goes back into the folder the list shows: the user's
    // next command names its items, never those of "/" with the same names.
    void watchdogReconnectKeepsTheFolderShown()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/sub/f.txt")), "in sub"));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/f.txt")), "at the root"));
        fillConnectionBar(server);
        connectBy(Road::Menu);
        QVERIFY(FtpChangeDir(QStringLiteral("/sub")));
        frmServer::instance().ListServerFolder(hFtpConnection);
        mdiMain &m = mdiMain::instance();
        m.timIsConnected->setInterval(50);
        boxes()->answers << MsgAnswer::Yes;

        QVERIFY(server.restart());
        QTRY_COMPARE_WITH_TIMEOUT(boxes()->boxes.size(), 1, 4000);
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/sub"));
        QCOMPARE(frmServer::instance().ComboFolder(), QStringLiteral("/sub"));
        ListView *list = frmServer::instance().lsvServer;
        for (int i = 0; i < list->count(); ++i)
            list->setSelected(i, list->text(i) == QLatin1String("f.txt"));
        DeleteServerSelection();
        QVERIFY(!QFile::exists(server.localPath(QStringLiteral("/sub/f.txt"))));
        QVERIFY(QFile::exists(server.localPath(QStringLiteral("/f.txt"))));
    }
    // A failed connect after a working one leaves the program not connected
    // with the watchdog off: no "connection lost" question follows the
    // failure message.
    void failedConnectStopsTheWatchdog_data()
    {
        QTest::addColumn<Road>("road");
        QTest::newRow("menu") << Road::Menu;
        QTest::newRow("Enter") << Road::Enter;
    }
    void failedConnectStopsTheWatchdog()
    {
        QFETCH(Road, road);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        connectBy(road);
        mdiMain &m = mdiMain::instance();
        QVERIFY(m.timIsConnected->isActive());

        m.txtPassword->setText(QStringLiteral("wrong"));
        connectBy(road);
        QCOMPARE(boxes()->boxes.size(), 1);
        QCOMPARE(hFtpConnection, HINTERNET(0));
        QVERIFY(!m.timIsConnected->isActive());
    }

    // A connect leaves the focus in the box that had it, success or not: the
    // next keystroke must not replace the port (which takes the focus, with
    // its text selected, while the boxes are disabled).
    void connectKeepsTheFocusInItsBox_data()
    {
        QTest::addColumn<Road>("road");
        QTest::addColumn<int>("box");
        QTest::addColumn<bool>("succeeds");
        for (const bool succeeds : {true, false}) {
            const char *result = succeeds ? "connected" : "refused";
            QTest::addRow("Enter in the password box, %s", result) << Road::Enter << 2 << succeeds;
            QTest::addRow("menu from the address box, %s", result) << Road::Menu << 0 << succeeds;
            QTest::addRow("menu from the user box, %s", result) << Road::Menu << 1 << succeeds;
            QTest::addRow("toolbar from the password box, %s", result)
                << Road::Toolbar << 2 << succeeds;
        }
    }
    void connectKeepsTheFocusInItsBox()
    {
        QFETCH(Road, road);
        QFETCH(int, box);
        QFETCH(bool, succeeds);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        mdiMain &m = mdiMain::instance();
        if (!succeeds)
            m.txtPassword->setText(QStringLiteral("wrong"));
        QLineEdit *const focused =
            QList<QLineEdit *>{m.txtAddress, m.txtUserID, m.txtPassword}[box];
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        focused->setFocus();
        QTRY_VERIFY(focused->hasFocus());

        connectBy(road);
        QCOMPARE(hFtpConnection != 0, succeeds);
        QCOMPARE(boxes()->boxes.size(), succeeds ? 0 : 1);
        QTRY_COMPARE(QApplication::focusWidget(), focused);
        QCOMPARE(m.txtPort->selectedText(), QString());
    }

    // The main window's connect honours the passive box: the root listing
    // after the connect uses the data connection mode chosen.
    void connectUsesThePassiveFlag_data()
    {
        QTest::addColumn<Road>("road");
        QTest::addColumn<bool>("passive");
        QTest::newRow("menu, passive") << Road::Menu << true;
        QTest::newRow("menu, active") << Road::Menu << false;
        QTest::newRow("Enter, passive") << Road::Enter << true;
        QTest::newRow("Enter, active") << Road::Enter << false;
    }
    void connectUsesThePassiveFlag()
    {
        QFETCH(Road, road);
        QFETCH(bool, passive);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/a.txt")), "x"));
        fillConnectionBar(server);
        mdiMain &m = mdiMain::instance();
        if (m.chkPassiveTransfer->isChecked() != passive)
            m.chkPassiveTransfer->click();
        QCOMPARE(ConnectFlags, passive ? INTERNET_FLAG_PASSIVE : 0u);

        connectBy(road);
        QVERIFY(hFtpConnection != 0);
        QVERIFY(itemTexts().contains(QStringLiteral("a.txt")));
        QCOMPARE(server.receivedCommand("EPSV"), passive);
        QCOMPARE(server.receivedCommand("EPRT"), !passive);
    }

    // Every connect ends in "/", also on a server whose login lands
    // elsewhere: both connect roads and the reconnect road.
    void connectChangesToTheRoot_data()
    {
        QTest::addColumn<int>("road"); // a Road, or -1 for the reconnect road
        QTest::newRow("menu") << int(Road::Menu);
        QTest::newRow("Enter") << int(Road::Enter);
        QTest::newRow("reconnect") << -1;
    }
    void connectChangesToTheRoot()
    {
        QFETCH(int, road);
        FtpTestServer::Hostile hostile;
        hostile.loginFolder = "/home";
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, hostile);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/home/inner.txt")), "x"));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/top.txt")), "x"));
        fillConnectionBar(server);

        if (road < 0)
            ConnectFromMainWindow();
        else
            connectBy(Road(road));
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/"));
        if (road >= 0) {
            QVERIFY(itemTexts().contains(QStringLiteral("top.txt")));
            QCOMPARE(frmServer::instance().cboServer->currentText(), QStringLiteral("/"));
        }
    }

    // A failed reconnect puts the focus into the address box once its
    // message is closed.
    void failedReconnectFocusesTheAddress()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        mdiMain &m = mdiMain::instance();
        m.txtPassword->setText(QStringLiteral("wrong"));
        m.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&m));
        m.txtPort->setFocus();
        QTRY_VERIFY(m.txtPort->hasFocus());

        ConnectFromMainWindow();
        QCOMPARE(boxes()->boxes.size(), 1);
        QCOMPARE(boxes()->boxes[0].text, GetText("MPUB_NOCONN1") + CrLf + GetText("MPUB_NOCONN2") +
                                             CrLf + GetText("MPUB_NOCONN3") + CrLf);
        QCOMPARE(hFtpConnection, HINTERNET(0));
        QTRY_COMPARE(QApplication::focusWidget(), m.txtAddress);
    }

    // A server that stops answering without closing is noticed within about
    // two seconds, even with the full reply timeout: the window is not frozen
    // for thirty.
    void watchdogNoticesASilentServerQuickly()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        connectBy(Road::Menu);
        SetInternetTimeout(30000);
        mdiMain &m = mdiMain::instance();
        QVERIFY(m.timIsConnected->isActive());

        m.timIsConnected->stop();
        server.freeze();
        // The tick blocks the window; the bound is far from both times.
        QElapsedTimer blocked;
        blocked.start();
        m.timIsConnected_Timer();
        QVERIFY2(blocked.elapsed() < 10000, qPrintable(QString::number(blocked.elapsed())));
        QCOMPARE(boxes()->boxes.size(), 1);
        QCOMPARE(boxes()->boxes[0].text,
                 GetText("CONNECTION_CANCEL1") + CrLf + GetText("CONNECTION_CANCEL2"));
        QCOMPARE(InternetTimeout(), 30000);
        server.resume();
    }

    // Closing the window with a live connection and the watchdog running:
    // the server gets its QUIT, the watchdog stops and the connection handle
    // is closed once.
    void closingWithALiveConnection_data()
    {
        QTest::addColumn<bool>("byExit");
        QTest::newRow("window closed") << false;
        QTest::newRow("File > Exit") << true;
    }
    void closingWithALiveConnection()
    {
        QFETCH(bool, byExit);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        connectBy(Road::Menu);
        mdiMain &m = mdiMain::instance();
        QTimer *watchdog = m.timIsConnected;
        QVERIFY(watchdog->isActive());
        const HINTERNET held = hFtpConnection;

        QSignalSpy destroyed(&m, &QObject::destroyed);
        if (byExit)
            m.mnuFileExit->trigger();
        else
            m.close();
        QVERIFY(!watchdog->isActive());
        QCOMPARE(hFtpConnection, HINTERNET(0));
        // Closed once: the handle is no longer known.
        QVERIFY(!InternetCloseHandle(held));
        QTRY_VERIFY(server.receivedCommand("QUIT"));
        QCOMPARE(server.log().count("<- QUIT"), 1);
        QTRY_COMPARE(destroyed.size(), 1);
        QVERIFY(!frmServer::exists());
    }
};

QTEST_MAIN(TestConnectionBar)
#include "tst_connectionbar.moc"
