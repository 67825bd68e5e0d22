// A file's properties: the rows of the program's own window, and the road
// over D-Bus to a file manager on a private bus of the test's own, with the
// program's window where no file manager answers, refuses or is too slow.

#include "bytefiles.h"
#include "core/fileproperties.h"
#include "core/mdatabase.h"
#include "core/shellservices.h"
#include "core/shellwindows.h"
#include "localopshelpers.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QLabel>
#include <QPushButton>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace localopstest;

namespace {

// A dbus-daemon of the test's own, without any service it could start, made
// the session bus before anything connects to one.
class PrivateBus {
public:
    PrivateBus()
    {
        const QByteArray config = m_dir.filePath(QStringLiteral("bus.conf")).toUtf8();
        const QByteArray text =
            "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
            "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
            "<busconfig><type>session</type><listen>unix:dir=" +
            m_dir.path().toUtf8() +
            "</listen><auth>EXTERNAL</auth><policy context=\"default\">"
            "<allow send_destination=\"*\" eavesdrop=\"true\"/><allow eavesdrop=\"true\"/>"
            "<allow own=\"*\"/></policy></busconfig>\n";
        QFile f(QString::fromUtf8(config));
        if (!f.open(QIODevice::WriteOnly) || f.write(text) != text.size())
            return;
        f.close();
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        const QByteArray option = "--config-file=" + config;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::dup2(fds[1], 1);
            ::close(fds[0]);
            ::execlp("dbus-daemon", "dbus-daemon", option.constData(), "--nofork",
                     "--print-address=1", static_cast<char *>(nullptr));
            ::_exit(127);
        }
        ::close(fds[1]);
        QByteArray line;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (m_pid > 0 && ::poll(&p, 1, 10000) > 0 && ::read(fds[0], &c, 1) == 1 && c != '\n')
            line += c;
        ::close(fds[0]);
        address = line.trimmed();
        if (!address.isEmpty())
            qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    }
    ~PrivateBus()
    {
        if (m_pid > 0) {
            ::kill(m_pid, SIGTERM);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    QByteArray address;

private:
    QTemporaryDir m_dir;
    pid_t m_pid = -1;
};

PrivateBus *bus = nullptr;

// The file manager's side of the call, on a connection of its own.
class FakeFileManager : public QObject, protected QDBusContext {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")
public:
    enum Mode { Answer, Refuse, Silent };
    Mode mode = Answer;
    QList<QStringList> calls;

public Q_SLOTS:
    void ShowItemProperties(const QStringList &uris, const QString &startupId)
    {
        Q_UNUSED(startupId);
        calls << uris;
        if (mode == Refuse) {
            sendErrorReply(QDBusError::Failed, QStringLiteral("cannot show that"));
        } else if (mode == Silent) {
            setDelayedReply(true); // and never answered
            m_unanswered << message();
        }
    }

private:
    QList<QDBusMessage> m_unanswered;
};

QList<frmProperties *> propertyWindows()
{
    QList<frmProperties *> found;
    for (QWidget *w : QApplication::allWidgets())
        if (auto *window = qobject_cast<frmProperties *>(w))
            found << window;
    return found;
}

} // namespace

class TestFileProperties : public QObject {
    Q_OBJECT
    std::unique_ptr<Program> m_program;
    QString m_home;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(!bus->address.isEmpty(),
                 "dbus-daemon (Debian package dbus-daemon) could not be started");
    }
    void init()
    {
        m_program = std::make_unique<Program>();
        m_home = m_program->home();
    }
    void cleanup()
    {
        Desktop::setLauncher(nullptr);
        m_program.reset();
    }

    void permissionText_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("text");
        QTest::newRow("a plain file") << 0644 << "rw-r--r-- (644)";
        QTest::newRow("a program") << 0755 << "rwxr-xr-x (755)";
        QTest::newRow("private") << 0600 << "rw------- (600)";
        QTest::newRow("nothing") << 0 << "--------- (000)";
        QTest::newRow("everything") << 0777 << "rwxrwxrwx (777)";
        QTest::newRow("group only") << 0070 << "---rwx--- (070)";
    }
    void permissionText()
    {
        QFETCH(int, mode);
        QFETCH(QString, text);
        const QString file = m_home + QStringLiteral("/mode");
        QVERIFY(writeFile(file));
        QVERIFY(::chmod(QFile::encodeName(file).constData(), mode_t(mode)) == 0);
        QCOMPARE(PermissionText(QFileInfo(file).permissions()), text);
    }

    void sizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("nothing") << qint64(0) << "0 Byte";
        // In the number format of the tests' locale (C.UTF-8).
        QTest::newRow("below 1 KB") << qint64(1023) << "1,023 Byte";
        QTest::newRow("1 KB") << qint64(1024) << "1.0 kB (1,024 Byte)";
        QTest::newRow("1.5 MB") << qint64(1572864) << "1.5 MB (1,572,864 Byte)";
        QTest::newRow("beyond 4 GiB")
            << qint64(5) * 1024 * 1024 * 1024 << "5.0 GB (5,368,709,120 Byte)";
    }
    void sizeText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(PropertySizeText(bytes, QStringLiteral("Byte")), text);
    }

    void rows_data()
    {
        QTest::addColumn<QString>("what");
        QTest::addColumn<QStringList>("values"); // name, type, folder, size; "*" any non-empty
        QTest::newRow("a file") << "file" << QStringList{"notes.txt", "*", "<home>", "11 Byte"};
        QTest::newRow("a folder") << "folder" << QStringList{"sub", "Dateiordner", "<home>", ""};
        QTest::newRow("a folder with its separator")
            << "folder/" << QStringList{"sub", "Dateiordner", "<home>", ""};
        QTest::newRow("the root") << "root" << QStringList{"/", "Dateiordner", "", ""};
        QTest::newRow("nothing there") << "missing" << QStringList{"gone.txt", "", "<home>", ""};
    }
    void rows()
    {
        QFETCH(QString, what);
        QFETCH(QStringList, values);
        QVERIFY(writeFile(m_home + QStringLiteral("/notes.txt"), "hello world"));
        QVERIFY(QDir().mkpath(m_home + QStringLiteral("/sub")));
        const QString path = what == QLatin1String("file") ? m_home + QStringLiteral("/notes.txt")
                             : what == QLatin1String("folder")  ? m_home + QStringLiteral("/sub")
                             : what == QLatin1String("folder/") ? m_home + QStringLiteral("/sub/")
                             : what == QLatin1String("root")    ? QStringLiteral("/")
                                                             : m_home + QStringLiteral("/gone.txt");
        const std::vector<FileProperty> rows = FileProperties(path);
        const char *keys[] = {
            "FRMPROPERTIES_NAME",    "FRMPROPERTIES_TYPE",    "FRMPROPERTIES_FOLDER",
            "FRMPROPERTIES_SIZE",    "FRMPROPERTIES_CHANGED", "FRMPROPERTIES_ACCESSED",
            "FRMPROPERTIES_CREATED", "FRMPROPERTIES_RIGHTS",  "FRMPROPERTIES_OWNER"};
        QCOMPARE(rows.size(), std::size(keys));
        for (size_t i = 0; i < rows.size(); ++i)
            QCOMPARE(QLatin1String(rows[i].labelKey), QLatin1String(keys[i]));
        values.replaceInStrings(QStringLiteral("<home>"), m_home);
        for (int i = 0; i < 4; ++i) {
            if (values[i] == QLatin1String("*"))
                QVERIFY(!rows[size_t(i)].value.isEmpty());
            else
                QCOMPARE(rows[size_t(i)].value, values[i]);
        }
        const bool exists = what != QLatin1String("missing");
        QCOMPARE(rows[4].value,
                 exists ? QLocale::system().toString(QFileInfo(path).lastModified().toLocalTime(),
                                                     QLocale::ShortFormat)
                        : QString());
        QCOMPARE(rows[7].value.isEmpty(), !exists);
        QCOMPARE(rows[8].value.isEmpty(), !exists);
    }

    void windowShowsTheRows()
    {
        const QString file = m_home + QStringLiteral("/<b>bold<b>.txt");
        QVERIFY(writeFile(file, "x"));
        frmProperties *w = frmProperties::showFor(file);
        QCOMPARE(w->windowTitle(),
                 GetText("FRMPROPERTIES_CAPTION") + QStringLiteral(" <b>bold<b>.txt"));
        QCOMPARE(w->value("FRMPROPERTIES_NAME"), QStringLiteral("<b>bold<b>.txt"));
        QCOMPARE(w->value("FRMPROPERTIES_SIZE"), QStringLiteral("1 Byte"));
        for (QLabel *label : w->findChildren<QLabel *>())
            if (label->text() == QLatin1String("<b>bold<b>.txt"))
                QCOMPARE(label->textFormat(), Qt::PlainText); // a name is never markup
        QVERIFY(!w->isModal());
        w->cmdSchliessen->click();
        QTRY_VERIFY(propertyWindows().isEmpty());
    }

    // Two names a lossy decoding would take for one: the rows are those of
    // the file named, and its name is shown with U+FFFD.
    void byteNameShowsItsOwnFile()
    {
        using namespace ByteFiles;
        const QByteArray home = QFile::encodeName(m_home) + '/';
        QVERIFY(writeBytes(home + Latin1Name, "latin1"));
        QVERIFY(writeBytes(home + ReplacementName, "replacement"));
        const timespec times[2] = {{1'300'000'000, 0}, {1'300'000'000, 0}};
        QVERIFY(::utimensat(AT_FDCWD, home + Latin1Name, times, 0) == 0);
        const std::vector<FileProperty> rows =
            FileProperties(m_home + QLatin1Char('/') + carried(Latin1Name));
        QCOMPARE(rows[0].value, QStringLiteral("a\uFFFD.txt"));
        QCOMPARE(rows[2].value, m_home);
        QCOMPARE(rows[3].value, QStringLiteral("6 Byte"));
        QCOMPARE(rows[4].value, QLocale::system().toString(
                                    QDateTime::fromSecsSinceEpoch(1'300'000'000).toLocalTime(),
                                    QLocale::ShortFormat));
    }

    // The file manager gets the name's bytes, percent-encoded where they
    // are not valid UTF-8.
    void fileManagerGetsTheNamesBytes()
    {
        const QString file = m_home + QLatin1Char('/') + ByteFiles::carried(ByteFiles::Latin1Name);
        FakeFileManager manager;
        QDBusConnection side =
            QDBusConnection::connectToBus(QString::fromUtf8(bus->address), QStringLiteral("fm"));
        QVERIFY(side.isConnected());
        QVERIFY(side.registerObject(QLatin1String(Desktop::FileManagerPath), &manager,
                                    QDBusConnection::ExportAllSlots));
        QVERIFY(side.registerService(QLatin1String(Desktop::FileManagerService)));
        Desktop::setLauncher(Desktop::makeDesktopLauncher(500));
        ShowFileProperties(file);
        const QString url = QStringLiteral("file://") +
                            QString::fromLatin1(QFile::encodeName(m_home).toPercentEncoding("/")) +
                            QStringLiteral("/a%E9.txt");
        QTRY_COMPARE(manager.calls, (QList<QStringList>{{url}}));
        side.unregisterService(QLatin1String(Desktop::FileManagerService));
        side.unregisterObject(QLatin1String(Desktop::FileManagerPath));
        QDBusConnection::disconnectFromBus(QStringLiteral("fm"));
    }

    void fileManagerOverDBus_data()
    {
        QTest::addColumn<bool>("registered");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("ownWindow");
        QTest::newRow("the file manager shows them")
            << true << int(FakeFileManager::Answer) << false;
        QTest::newRow("the file manager refuses") << true << int(FakeFileManager::Refuse) << true;
        QTest::newRow("the file manager does not answer in time")
            << true << int(FakeFileManager::Silent) << true;
        QTest::newRow("no file manager") << false << int(FakeFileManager::Answer) << true;
    }
    void fileManagerOverDBus()
    {
        QFETCH(bool, registered);
        QFETCH(int, mode);
        QFETCH(bool, ownWindow);
        const QString file = m_home + QStringLiteral("/with blank#1.txt");
        QVERIFY(writeFile(file, "x"));
        FakeFileManager manager;
        manager.mode = FakeFileManager::Mode(mode);
        QDBusConnection side =
            QDBusConnection::connectToBus(QString::fromUtf8(bus->address), QStringLiteral("fm"));
        QVERIFY(side.isConnected());
        QVERIFY(side.registerObject(QLatin1String(Desktop::FileManagerPath), &manager,
                                    QDBusConnection::ExportAllSlots));
        if (registered)
            QVERIFY(side.registerService(QLatin1String(Desktop::FileManagerService)));
        Desktop::setLauncher(Desktop::makeDesktopLauncher(500));

        ShowFileProperties(file);
        QCOMPARE(propertyWindows().size(), 0); // the program goes on; the answer comes later
        if (registered)
            QTRY_COMPARE(
                manager.calls,
                (QList<QStringList>{{QUrl::fromLocalFile(file).toString(QUrl::FullyEncoded)}}));
        if (ownWindow) {
            QTRY_COMPARE(propertyWindows().size(), 1);
            QCOMPARE(propertyWindows()[0]->file(), file);
        } else {
            // The answers come in the order of the calls: once a later call
            // without a file manager has its window, the first answer was
            // seen, and it made none.
            side.unregisterService(QLatin1String(Desktop::FileManagerService));
            const QString later = m_home + QStringLiteral("/later.txt");
            ShowFileProperties(later);
            QTRY_COMPARE(propertyWindows().size(), 1);
            QCOMPARE(propertyWindows()[0]->file(), later);
        }
        side.unregisterService(QLatin1String(Desktop::FileManagerService));
        side.unregisterObject(QLatin1String(Desktop::FileManagerPath));
        QDBusConnection::disconnectFromBus(QStringLiteral("fm"));
    }
};

int main(int argc, char **argv)
{
    // The bus is the session bus before the application, or anything in it,
    // connects to one.
    PrivateBus privateBus;
    bus = &privateBus;
    QApplication app(argc, argv);
    TestFileProperties test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_fileproperties.moc"
