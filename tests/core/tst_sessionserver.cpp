// The session's reconnect road and one-call wrappers against real servers.

#include "apphelpers.h"
#include "core/mdatabase.h"
#include "core/mpublic.h"
#include "core/session.h"
#include "fakedialogs.h"
#include "shell/mdimain.h"
#include "tests/support/ftpserver.h"

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>

Q_DECLARE_METATYPE(FtpTestServer::Kind)

namespace {
void fillConnectionBar(const FtpTestServer &server)
{
    mdiMain &m = mdiMain::instance();
    m.txtAddress->setText(server.host());
    m.txtPort->setText(QString::number(server.port()));
    m.txtUserID->setText(server.user());
    m.txtPassword->setText(server.password());
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}
} // namespace

class TestSessionServer : public QObject {
    Q_OBJECT
    std::unique_ptr<TestProgram> m_program;
    ScriptedDialogs *m_dialogs = nullptr;

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<TestProgram>();
        m_dialogs = m_program->dialogs;
        SetInternetTimeout(3000);
        mdiMain::instance();
    }
    void cleanup()
    {
        resetApplication();
        SetInternetTimeout(30000);
        m_program.reset();
    }

    void wrappers_data()
    {
        QTest::addColumn<FtpTestServer::Kind>("kind");
        QTest::addColumn<bool>("passive");
        for (auto kind : {FtpTestServer::Kind::Pyftpdlib, FtpTestServer::Kind::Vsftpd})
            for (bool passive : {true, false})
                QTest::addRow("%s %s", qPrintable(FtpTestServer::kindName(kind)),
                              passive ? "passive" : "active")
                    << kind << passive;
    }

    // The one-call wrappers as a user's session uses them, with relative
    // and absolute paths, on both servers and in both modes.
    void wrappers()
    {
        QFETCH(FtpTestServer::Kind, kind);
        QFETCH(bool, passive);
        FtpTestServer server(kind);
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        ConnectFlags = passive ? INTERNET_FLAG_PASSIVE : 0;
        ConnectFromMainWindow();
        QVERIFY(hFtpConnection != 0);
        QVERIFY(m_dialogs->boxes.isEmpty());
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/"));

        const QString work = server.workFolder();
        QVERIFY(FtpChangeDir(work));
        QVERIFY(FtpMakeDir(QStringLiteral("docs")));  // relative
        QVERIFY(!FtpMakeDir(QStringLiteral("docs"))); // exists
        QVERIFY(FtpChangeDir(QStringLiteral("docs")));
        QCOMPARE(FtpCurrentDir(), QDir::cleanPath(work + QStringLiteral("/docs")));
        QVERIFY(FtpChangeDir(QStringLiteral("..")));
        QCOMPARE(FtpCurrentDir(), work);
        QVERIFY(!FtpChangeDir(QStringLiteral("nowhere")));

        const QString sub = QDir::cleanPath(work + QStringLiteral("/docs"));
        QVERIFY(writeFile(server.localPath(sub + QStringLiteral("/a.txt")), "alpha"));
        // Rename takes the old name first; absolute paths act from the root.
        QVERIFY(FtpRename(sub + QStringLiteral("/a.txt"), sub + QStringLiteral("/b.txt")));
        QVERIFY(!QFile::exists(server.localPath(sub + QStringLiteral("/a.txt"))));
        QVERIFY(!FtpRename(sub + QStringLiteral("/a.txt"), sub + QStringLiteral("/c.txt")));

        // Download takes the local path first; it replaces an existing file.
        const QString local = m_program->home.path() + QStringLiteral("/b.txt");
        QVERIFY(writeFile(local, "old contents, longer than the new"));
        QVERIFY(FtpChangeDir(sub));
        QVERIFY(FtpDownload(local, QStringLiteral("b.txt")));
        QCOMPARE(readFile(local), QByteArray("alpha"));
        QVERIFY(!FtpDownload(m_program->home.path() + QStringLiteral("/x"),
                             QStringLiteral("missing.txt")));
        QVERIFY(!QFile::exists(m_program->home.path() + QStringLiteral("/x")));

        QVERIFY(!FtpRemoveDir(sub)); // not empty
        QVERIFY(FtpDelete(QStringLiteral("b.txt")));
        QVERIFY(!FtpDelete(QStringLiteral("b.txt")));
        QVERIFY(FtpChangeDir(QStringLiteral("/")));
        QVERIFY(FtpRemoveDir(sub));
        QVERIFY(!QDir(server.localPath(sub)).exists());
        if (passive)
            QVERIFY(server.receivedCommand("EPSV") || server.receivedCommand("PASV"));
        else
            QVERIFY(server.receivedCommand("EPRT") || server.receivedCommand("PORT"));
    }

    void reconnectKeepsOnlyTheNewestHandle()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        ConnectFromMainWindow();
        const HINTERNET first = hFtpConnection;
        const HINTERNET firstSession = hInternetSession;
        QVERIFY(first != 0);
        ConnectFromMainWindow();
        const HINTERNET second = hFtpConnection;
        QVERIFY(second != 0 && second != first);
        QVERIFY(hInternetSession != firstSession);
        // The replaced handles are closed: calls on them fail at once.
        QString dir;
        QVERIFY(!FtpGetCurrentDirectory(first, dir));
        QVERIFY(!InternetCloseHandle(first));
        QVERIFY(!InternetCloseHandle(firstSession));
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/"));
    }

    void failedReconnect_data()
    {
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("password");
        QTest::newRow("wrong password") << QString() << "wrong";
        QTest::newRow("port is no number") << "ftp" << QString();
        QTest::newRow("port above 32767") << "40000" << QString();
        QTest::newRow("nobody listens") << "1" << QString();
    }

    void failedReconnect()
    {
        QFETCH(QString, port);
        QFETCH(QString, password);
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        ConnectFromMainWindow();
        QVERIFY(hFtpConnection != 0);
        mdiMain &m = mdiMain::instance();
        if (!port.isEmpty())
            m.txtPort->setText(port);
        if (!password.isEmpty())
            m.txtPassword->setText(password);
        ConnectFromMainWindow();
        QCOMPARE(hFtpConnection, HINTERNET(0));
        QCOMPARE(m_dialogs->boxes.size(), 1);
        const RecordedBox box = m_dialogs->boxes.first();
        QCOMPARE(box.text, GetText("MPUB_NOCONN1") + "\r\n" + GetText("MPUB_NOCONN2") + "\r\n" +
                               GetText("MPUB_NOCONN3") + "\r\n");
        QCOMPARE(box.icon, MsgIcon::Exclamation);
        QCOMPARE(box.buttons, MsgButtons::Ok);
        QVERIFY(box.title.isEmpty());
        QVERIFY(!FtpChangeDir(QStringLiteral("/")));
        QVERIFY(!FtpMakeDir(QStringLiteral("x")));
        QVERIFY(FtpCurrentDir().isEmpty());
    }

    void currentDirOfAStoppedServerIsEmpty()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        ConnectFromMainWindow();
        QCOMPARE(FtpCurrentDir(), QStringLiteral("/"));
        server.stop();
        QElapsedTimer t;
        t.start();
        QVERIFY(FtpCurrentDir().isEmpty());
        QVERIFY(t.elapsed() < 3000 + 2000);
        // Not renewed behind the user's back.
        QVERIFY(FtpCurrentDir().isEmpty());
    }

    void exitClosesTheConnectionOnce()
    {
        FtpTestServer server;
        QVERIFY2(server.start(), qPrintable(server.error()));
        fillConnectionBar(server);
        ConnectFromMainWindow();
        const HINTERNET h = hFtpConnection;
        QVERIFY(h != 0);
        mdiMain::instance().mnuFileExit_Click();
        QCOMPARE(hFtpConnection, HINTERNET(0));
        QVERIFY(!InternetCloseHandle(h)); // already closed
        QTRY_VERIFY(server.receivedCommand("QUIT"));
    }
};

QTEST_MAIN(TestSessionServer)
#include "tst_sessionserver.moc"
