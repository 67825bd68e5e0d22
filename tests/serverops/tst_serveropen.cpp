// Opening server files against a real server: the file is fetched into the
// temporary folder and handed to the program of its type, or to the choice
// of a program. The desktop is the test's own (one viewer for plain text,
// nothing for other types) and the launcher records instead of starting.

#include "core/mdatabase.h"
#include "core/serverlisting.h"
#include "core/shellwindows.h"
#include "platform/toolbar.h"
#include "platform/ui.h"
#include "recordinglauncher.h"
#include "serveropshelpers.h"
#include "serverpane/frmpopupfrmserver.h"
#include "serverpane/openserverfile.h"

#include "platform/pure/bytename.h"

#include <QMenu>

#include <fcntl.h>

using namespace serveropstest;

namespace {

// One application for plain text, seen by the desktop through the system
// data and configuration folders. Set before anything asks the desktop, as
// it keeps what it found for the rest of the run.
class FakeDesktop {
public:
    FakeDesktop()
    {
        const QString root = m_dir.path();
        QDir().mkpath(root + QStringLiteral("/data/applications"));
        QDir().mkpath(root + QStringLiteral("/config"));
        QDir().mkpath(root + QStringLiteral("/bin"));
        // The type database and the icons of the system; no applications.
        QFile::link(QStringLiteral("/usr/share/mime"), root + QStringLiteral("/data/mime"));
        QFile::link(QStringLiteral("/usr/share/icons"), root + QStringLiteral("/data/icons"));
        viewer = root + QStringLiteral("/bin/qftp-test-viewer");
        writeFile(viewer, "#!/bin/sh\nprintf '%s' \"$1\" > \"$0.opened\"\n");
        QFile::setPermissions(viewer, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        writeFile(root + QStringLiteral("/data/applications/qftp-test-viewer.desktop"),
                  "[Desktop Entry]\nType=Application\nName=Test Viewer\nExec=" + viewer.toUtf8() +
                      " %f\nMimeType=text/plain;\n");
        writeFile(root + QStringLiteral("/config/mimeapps.list"),
                  "[Default Applications]\ntext/plain=qftp-test-viewer.desktop\n");
        qputenv("XDG_DATA_DIRS", (root + QStringLiteral("/data")).toUtf8());
        qputenv("XDG_CONFIG_DIRS", (root + QStringLiteral("/config")).toUtf8());
    }
    QString viewer;

private:
    QTemporaryDir m_dir;
};

FakeDesktop *desktop = nullptr;

const QString ViewerId = QStringLiteral("qftp-test-viewer.desktop");

QList<frmOpenWith *> openWithWindows()
{
    QList<frmOpenWith *> found;
    for (QWidget *w : QApplication::allWidgets())
        if (auto *d = qobject_cast<frmOpenWith *>(w))
            found << d;
    return found;
}

QString line(const char *colour, const char *key, const QString &object = QString())
{
    QString text = QLatin1Char('[') + QLatin1String(colour) + QLatin1Char(']') + GetText(key);
    if (!object.isNull())
        text += QLatin1Char(' ') + object;
    return text;
}

// The keys each Open member writes and asks with: the toolbar's own, and
// the context menu's, which the main menu shares.
const ServerOpenTexts ToolbarKeys{"FRMSERVER_STARTDOWN",   "FRMSERVER_DOWNOK",
                                  "FRMSERVER_DOWNFAILED",  "FRMSERVER_NOAPP1",
                                  "FRMSERVER_NOAPP2",      "FRMSERVER_OPENCANCEL",
                                  "FRMSERVER_OPENFILE",    "FRMSERVER_OPENOK",
                                  "FRMSERVER_ONLYONEFILE", nullptr};
const ServerOpenTexts MenuKeys{"FRMPUSERVER_STARTDOWN",  "FRMPUSERVER_DOWNOK",
                               "FRMPUSERVER_DOWNFAILED", "FRMPUSERVER_NOAPP1",
                               "FRMPUSERVER_NOAPP2",     "FRMPUSERVER_OPENCANCEL",
                               "FRMPUSERVER_OPEN",       "FRMPUSERVER_OPENOK",
                               "FRMPUSERVER_ONEFILE",    nullptr};

// The Open members and how each is started.
struct Member {
    const ServerOpenTexts *texts;
    std::function<void()> start;
};

Member member(const QString &name)
{
    if (name == QLatin1String("toolbar"))
        return {&ToolbarKeys,
                [] { frmServer::instance().tlbServerLinks->click(QStringLiteral("open")); }};
    if (name == QLatin1String("main menu"))
        return {&MenuKeys, [] { mdiMain::instance().mnuMyServerOeffnen->trigger(); }};
    return {&MenuKeys, [] { frmPopUpfrmServer::instance().mnuOeffnen->trigger(); }};
}

// Writes a file whose path is taken as bytes, not UTF-8.
bool writeByteNamed(const QByteArray &path, const QByteArray &content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool written = ::write(fd, content.constData(), size_t(content.size())) == content.size();
    return ::close(fd) == 0 && written;
}

} // namespace

class TestServerOpen : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    std::unique_ptr<FtpTestServer> m_server;
    RecordingLauncher *m_launcher = nullptr;
    ScriptedDialogs &boxes() { return *m_program->dialogs; }

    QString onServer(const QString &path) const { return m_server->localPath(path); }

    void addMembers()
    {
        QTest::addColumn<QString>("memberName");
        QTest::newRow("toolbar") << "toolbar";
        QTest::newRow("context menu") << "context menu";
        QTest::newRow("main menu") << "main menu";
    }

private Q_SLOTS:
    void init()
    {
        m_program = std::make_unique<Program>();
        m_launcher = &installRecordingLauncher();
        m_server = std::make_unique<FtpTestServer>();
        QVERIFY2(m_server->start(), qPrintable(m_server->error()));
        QVERIFY(writeFile(onServer(QStringLiteral("/view.txt")), "text to view"));
        QVERIFY(writeFile(onServer(QStringLiteral("/data.qftpnotype")), "no program"));
        QVERIFY(writeFile(onServer(QStringLiteral("/other.txt")), "other"));
        QVERIFY(QDir().mkpath(onServer(QStringLiteral("/sub"))));
        QVERIFY(connectTo(*m_server));
        ClearLog();
    }
    void cleanup()
    {
        m_program.reset();
        m_server.reset();
        Desktop::setLauncher(nullptr);
    }

    void programFound_data() { addMembers(); }
    void programFound()
    {
        QFETCH(QString, memberName);
        const Member m = member(memberName);
        selectOnly(QStringLiteral("view.txt"));
        m.start();
        const QString copy = GetTempFilePath(QStringLiteral("view.txt"));
        QCOMPARE(readFile(copy), QByteArray("text to view"));
        QCOMPARE(m_launcher->launches, (QList<QStringList>{{ViewerId, copy}}));
        // Through its desktop record: a program started by its bare path
        // would miss the record's command line.
        QVERIFY(m_launcher->detached.isEmpty());
        QCOMPARE(logLines(), (QStringList{line("black", m.texts->startDown, "view.txt"),
                                          line("green", m.texts->downOk),
                                          line("black", m.texts->openFile, "view.txt"),
                                          line("green", m.texts->openOk)}));
        QVERIFY(boxes().boxes.isEmpty());
        QVERIFY(!Ui::isHourglass());
        QVERIFY(!Ui::isBusy());
    }

    // No program for the type: the question; Yes offers the choice of a
    // program, No logs the cancel. The copy stays in the temporary folder.
    void noProgram_data()
    {
        QTest::addColumn<QString>("memberName");
        QTest::addColumn<bool>("yes");
        QTest::newRow("toolbar, yes") << "toolbar" << true;
        QTest::newRow("toolbar, no") << "toolbar" << false;
        QTest::newRow("context menu, yes") << "context menu" << true;
        QTest::newRow("context menu, no") << "context menu" << false;
        QTest::newRow("main menu, yes") << "main menu" << true;
        QTest::newRow("main menu, no") << "main menu" << false;
    }
    void noProgram()
    {
        QFETCH(QString, memberName);
        QFETCH(bool, yes);
        const Member m = member(memberName);
        selectOnly(QStringLiteral("data.qftpnotype"));
        boxes().answers << (yes ? MsgAnswer::Yes : MsgAnswer::No);
        m.start();
        const QString copy = GetTempFilePath(QStringLiteral("data.qftpnotype"));
        QCOMPARE(readFile(copy), QByteArray("no program"));
        QCOMPARE(boxes().boxes.size(), 1);
        QCOMPARE(boxes().boxes[0].text,
                 GetText(m.texts->noApp1) + QStringLiteral("\r\n") + GetText(m.texts->noApp2));
        QCOMPARE(boxes().boxes[0].buttons, MsgButtons::YesNo);
        QVERIFY(boxes().boxes[0].title.isEmpty());
        QStringList lines{line("black", m.texts->startDown, "data.qftpnotype"),
                          line("green", m.texts->downOk)};
        if (!yes)
            lines << line("red", m.texts->openCancel);
        QCOMPARE(logLines(), lines);
        const QList<frmOpenWith *> choices = openWithWindows();
        QCOMPARE(choices.size(), yes ? 1 : 0);
        if (yes)
            QCOMPARE(choices[0]->file(), copy);
        QVERIFY(m_launcher->startedNothing());
    }

    // Open with from the context menu and from the main menu: the same keys.
    void openWithOffersTheChoice_data()
    {
        QTest::addColumn<bool>("mainMenu");
        QTest::newRow("context menu") << false;
        QTest::newRow("main menu") << true;
    }
    void openWithOffersTheChoice()
    {
        QFETCH(bool, mainMenu);
        selectOnly(QStringLiteral("view.txt"));
        if (mainMenu)
            mdiMain::instance().mnuMyServerOeffnenMit->trigger();
        else
            frmPopUpfrmServer::instance().mnuOeffnenMit->trigger();
        const QString copy = GetTempFilePath(QStringLiteral("view.txt"));
        QCOMPARE(readFile(copy), QByteArray("text to view"));
        QCOMPARE(logLines(), (QStringList{line("black", "FRMPUSERVER_DOWNSTART", "view.txt"),
                                          line("green", "FRMPUSERVER_DOWNOK"),
                                          line("black", "FRMPUSERVER_OPENDIA")}));
        const QList<frmOpenWith *> choices = openWithWindows();
        QCOMPARE(choices.size(), 1);
        QCOMPARE(choices[0]->file(), copy);
        QVERIFY(m_launcher->startedNothing());
        QVERIFY(boxes().boxes.isEmpty());
    }

    void twoSelectedShowOnlyTheMessage()
    {
        selectItems(serverList(), {"view.txt", "other.txt"});
        frmServer::instance().tlbServerLinks->click(QStringLiteral("open"));
        QCOMPARE(boxes().boxes.size(), 1);
        QCOMPARE(boxes().boxes[0].text, GetText("FRMSERVER_ONLYONEFILE"));
        QCOMPARE(boxes().boxes[0].icon, MsgIcon::Information);
        QVERIFY(logLines().isEmpty());
        QVERIFY(m_launcher->startedNothing());
    }

    // What cannot be fetched fails with the red line and leaves nothing in
    // the temporary folder: the parent entry, a folder, no current item.
    void notAFile_data()
    {
        QTest::addColumn<QString>("item");
        QTest::newRow("parent") << "..";
        QTest::newRow("folder") << "sub";
        QTest::newRow("no current item") << "";
    }
    void notAFile()
    {
        QFETCH(QString, item);
        if (item.isEmpty()) {
            selectItems(serverList(), {});
            serverList()->setSelectedItem(-1);
        } else {
            selectOnly(item);
        }
        frmPopUpfrmServer::instance().mnuOeffnen->trigger();
        QCOMPARE(logLines(), (QStringList{line("black", "FRMPUSERVER_STARTDOWN", item),
                                          line("red", "FRMPUSERVER_DOWNFAILED")}));
        const QString folder = QFileInfo(GetTempFilePath(QStringLiteral("probe"))).absolutePath();
        QCOMPARE(QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot),
                 QStringList{"probe"});
        QVERIFY(m_launcher->startedNothing());
        QVERIFY(boxes().boxes.isEmpty());
    }

    void openingTwiceFetchesTheNewContents()
    {
        selectOnly(QStringLiteral("view.txt"));
        frmServer::instance().tlbServerLinks->click(QStringLiteral("open"));
        QVERIFY(writeFile(onServer(QStringLiteral("/view.txt")), "changed on the server"));
        frmServer::instance().tlbServerLinks->click(QStringLiteral("open"));
        const QString copy = GetTempFilePath(QStringLiteral("view.txt"));
        QCOMPARE(readFile(copy), QByteArray("changed on the server"));
        QCOMPARE(m_launcher->launches.size(), 2);
    }

    // The main menu's members test the connection first; the context
    // menu's do not, and their fetch fails.
    void withoutConnection()
    {
        selectOnly(QStringLiteral("view.txt"));
        CloseFtpConnection();
        OpenServerSelection(ServerOpenVariant::Open, ServerOpenKeys::Open, true);
        OpenServerSelection(ServerOpenVariant::OpenWith, ServerOpenKeys::OpenWith, true);
        QCOMPARE(boxes().boxes.size(), 2);
        for (const RecordedBox &box : boxes().boxes)
            QCOMPARE(box.text, GetText("FRMSERVER_NOCONNECTION"));
        QVERIFY(logLines().isEmpty());

        frmPopUpfrmServer::instance().mnuOeffnen->trigger();
        QCOMPARE(logLines(), (QStringList{line("black", "FRMPUSERVER_STARTDOWN", "view.txt"),
                                          line("red", "FRMPUSERVER_DOWNFAILED")}));
        QVERIFY(m_launcher->startedNothing());
    }

    // The file opened is the one picked: a name whose bytes are not UTF-8
    // beside one that decodes alike, blanks at the edges, a "\" inside.
    void pickedNameIsOpened_data()
    {
        QTest::addColumn<QByteArray>("picked");
        QTest::addColumn<QByteArray>("twin");
        QTest::newRow("bytes that are not UTF-8")
            << QByteArray("a\xe9.txt") << QByteArray("a\xef\xbf\xbd.txt");
        QTest::newRow("leading blank") << QByteArray(" lead.txt") << QByteArray("lead.txt");
        QTest::newRow("trailing blank") << QByteArray("trail.txt ") << QByteArray("trail.txt");
        QTest::newRow("backslash") << QByteArray("a\\b.txt") << QByteArray("b.txt");
    }
    void pickedNameIsOpened()
    {
        QFETCH(QByteArray, picked);
        QFETCH(QByteArray, twin);
        FtpTestServer::Hostile raw;
        raw.rawNames = true;
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, raw);
        QVERIFY2(server.start(), qPrintable(server.error()));
        const QByteArray root = server.localPath(QStringLiteral("/")).toUtf8() + '/';
        for (const QByteArray &name : {picked, twin})
            QVERIFY(writeByteNamed(root + name, name == picked ? "picked" : "twin"));
        QVERIFY(connectTo(server));
        const QString name = ByteName::fromBytes(picked);
        selectOnly(name);
        ClearLog();
        frmServer::instance().tlbServerLinks->click(QStringLiteral("open"));
        const QString copy = GetTempFilePath(ByteName::shown(name));
        QCOMPARE(readFile(copy), QByteArray("picked"));
        QVERIFY(logLines().contains(line("green", "FRMSERVER_DOWNOK")));
        // "txt " is no known type: the program is asked for instead.
        if (!picked.endsWith(' '))
            QCOMPARE(m_launcher->launches, (QList<QStringList>{{ViewerId, copy}}));
    }

    // The copy is named as the list shows the name: each byte that is not
    // UTF-8 takes three there. A shown name longer than a folder entry can
    // be cannot be fetched and fails with the red line; the longest that
    // fits is opened.
    void longNameInTheTemporaryFolder_data()
    {
        QTest::addColumn<QByteArray>("picked");
        QTest::addColumn<bool>("opens");
        QTest::newRow("255 bytes") << QByteArray(251, 'n') + ".txt" << true;
        QTest::newRow("bytes that are not UTF-8, shown longer")
            << QByteArray(90, '\xe9') + ".txt" << false;
    }
    void longNameInTheTemporaryFolder()
    {
        QFETCH(QByteArray, picked);
        QFETCH(bool, opens);
        FtpTestServer::Hostile raw;
        raw.rawNames = true;
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, raw);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(
            writeByteNamed(server.localPath(QStringLiteral("/")).toUtf8() + '/' + picked, "long"));
        QVERIFY(connectTo(server));
        const QString name = ByteName::fromBytes(picked);
        selectOnly(name);
        ClearLog();
        frmServer::instance().tlbServerLinks->click(QStringLiteral("open"));
        QVERIFY(!Ui::isHourglass());
        if (opens) {
            const QString copy = GetTempFilePath(name);
            QCOMPARE(readFile(copy), QByteArray("long"));
            QCOMPARE(m_launcher->launches, (QList<QStringList>{{ViewerId, copy}}));
            return;
        }
        QCOMPARE(logLines(),
                 (QStringList{line("black", "FRMSERVER_STARTDOWN", ByteName::shown(name)),
                              line("red", "FRMSERVER_DOWNFAILED")}));
        QVERIFY(m_launcher->startedNothing());
    }

    // Names from the server that are no plain file name never become a
    // path in the temporary folder.
    void hostileNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("climbing") << "../evil.txt";
        QTest::newRow("into a folder") << "sub/evil.txt";
        QTest::newRow("absolute") << "/tmp/qftp-open-evil.txt";
    }
    void hostileNames()
    {
        QFETCH(QString, name);
        FtpTestServer::Hostile hostile;
        hostile.listLines << "-rw-r--r-- 1 user group 5 Jan 10 12:00 " + name.toUtf8();
        FtpTestServer server(FtpTestServer::Kind::Pyftpdlib, hostile);
        QVERIFY2(server.start(), qPrintable(server.error()));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/sub/evil.txt")), "evil"));
        QVERIFY(writeFile(server.localPath(QStringLiteral("/evil.txt")), "evil"));
        QVERIFY(connectTo(server));
        if (itemIndex(name) < 0)
            QSKIP("the listing does not show this name");
        selectOnly(name);
        ClearLog();
        frmServer::instance().tlbServerLinks->click(QStringLiteral("open"));
        QCOMPARE(logLines(), (QStringList{line("black", "FRMSERVER_STARTDOWN", name),
                                          line("red", "FRMSERVER_DOWNFAILED")}));
        // The temporary folder lives in the cache folder; the server's own
        // folder is elsewhere below the test's home.
        for (const QString &path : treeOf(m_program->home() + QStringLiteral("/.cache")).keys())
            QVERIFY2(!path.endsWith(QLatin1String("evil.txt")), qPrintable(path));
        QVERIFY(QFileInfo(GetTempFilePath(QStringLiteral("probe")))
                    .absolutePath()
                    .startsWith(m_program->home() + QStringLiteral("/.cache/")));
        QVERIFY(!QFile::exists(QStringLiteral("/tmp/qftp-open-evil.txt")));
        QVERIFY(m_launcher->startedNothing());
    }
};

int main(int argc, char **argv)
{
    FakeDesktop fake;
    desktop = &fake;
    QApplication app(argc, argv);
    TestServerOpen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_serveropen.moc"
