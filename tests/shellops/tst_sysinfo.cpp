// System information: registry values of every type through a fake registry,
// the registered owner and organisation, the Linux answers, and the start of
// the system-information program (through a launcher of the test's own).

#include "core/sysinfo.h"
#include "fakedialogs.h"
#include "platform/registry.h"
#include "recordinglauncher.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

namespace {
const HKEY HKLM = HKEY_LOCAL_MACHINE;
const QString Tools = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools\\MSINFO");
const QString Location = QStringLiteral("SOFTWARE\\Microsoft\\Shared Tools Location");
const QString NtKey = QStringLiteral("Software\\Microsoft\\Windows NT\\CurrentVersion");
const QString Key95 = QStringLiteral("Software\\Microsoft\\Windows\\CurrentVersion");
const QString Unavailable = QStringLiteral("Systeminformationen sind momentan nicht verfügbar");

RegistryValue raw(std::uint32_t type, const QByteArray &data)
{
    RegistryValue v;
    v.type = type;
    v.data = data;
    return v;
}

// Sets an environment variable for the life of the object.
class EnvVar {
public:
    EnvVar(const char *name, const QByteArray &value)
        : m_name(name), m_had(qEnvironmentVariableIsSet(name)), m_old(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~EnvVar()
    {
        if (m_had)
            qputenv(m_name, m_old);
        else
            qunsetenv(m_name);
    }

private:
    const char *m_name;
    bool m_had;
    QByteArray m_old;
};
} // namespace

Q_DECLARE_METATYPE(RegistryValue)

class TestSysInfo : public QObject {
    Q_OBJECT
    RecordingLauncher *m_launcher = nullptr;
    ScriptedDialogs *m_dialogs = nullptr;

private Q_SLOTS:
    void init()
    {
        m_launcher = &installRecordingLauncher();
        m_dialogs = &installScriptedDialogs();
    }
    void cleanup()
    {
        setRegistryBackend(nullptr);
        Desktop::setLauncher(nullptr);
        setDialogs(nullptr);
        QCOMPARE(RegOpenKeyCount(), 0);
    }

    void keyValue_data()
    {
        QTest::addColumn<bool>("keyExists");
        QTest::addColumn<bool>("valueExists");
        QTest::addColumn<RegistryValue>("stored");
        QTest::addColumn<QString>("askedKey");
        QTest::addColumn<bool>("ok");
        QTest::addColumn<QString>("out");
        const QString key = QStringLiteral("SOFTWARE\\Test");
        const RegistryValue none;
        QTest::newRow("text") << true << true << RegistryValue::text(QStringLiteral("/opt/x"))
                              << key << true << "/opt/x";
        QTest::newRow("text stored without NUL")
            << true << true << raw(REG_SZ, "abc") << key << true << "abc";
        QTest::newRow("only the closing NUL is dropped")
            << true << true << raw(REG_SZ, QByteArray("ab\0\0", 4)) << key << true
            << QString::fromLatin1("ab\0", 3);
        QTest::newRow("empty text")
            << true << true << RegistryValue::text(QString()) << key << true << "";
        QTest::newRow("text with umlauts")
            << true << true << RegistryValue::text(QStringLiteral("Müller & Söhne")) << key << true
            << QStringLiteral("Müller & Söhne");
        QTest::newRow("key in other case")
            << true << true << RegistryValue::text(QStringLiteral("x")) << key.toLower() << true
            << "x";
        // Bytes from the last to the first, each without leading zeros.
        QTest::newRow("dword") << true << true << RegistryValue::dword(0x0A0B0C0D) << key << true
                               << "&hABCD";
        QTest::newRow("dword with a zero byte inside")
            << true << true << RegistryValue::dword(0x01000A05) << key << true << "&h10A5";
        QTest::newRow("dword with a zero high byte loses it as a closing NUL")
            << true << true << RegistryValue::dword(0x00010A05) << key << true << "&h1A5";
        QTest::newRow("dword of bytes above 0x0F")
            << true << true << RegistryValue::dword(0xFF10EE20) << key << true << "&hFF10EE20";
        QTest::newRow("dword zero")
            << true << true << RegistryValue::dword(0) << key << true << "&h000";
        QTest::newRow("other type leaves out as it was")
            << true << true << raw(REG_BINARY, "\x01\x02") << key << true << "before";
        QTest::newRow("missing value") << true << false << none << key << false << "";
        QTest::newRow("missing key") << false << false << none << key << false << "";
        QTest::newRow("value longer than the buffer")
            << true << true << RegistryValue::text(QString(1024, QLatin1Char('x'))) << key << false
            << "";
        QTest::newRow("value filling the buffer")
            << true << true << RegistryValue::text(QString(1023, QLatin1Char('x'))) << key << true
            << QString(1023, QLatin1Char('x'));
    }

    void keyValue()
    {
        QFETCH(bool, keyExists);
        QFETCH(bool, valueExists);
        QFETCH(RegistryValue, stored);
        QFETCH(QString, askedKey);
        QFETCH(bool, ok);
        QFETCH(QString, out);
        FakeRegistry &reg = installFakeRegistry();
        const QString key = QStringLiteral("SOFTWARE\\Test");
        if (keyExists)
            reg.addKey(HKLM, key);
        if (valueExists)
            reg.setValue(HKLM, key, QStringLiteral("Value"), stored);
        QString result = QStringLiteral("before");
        QCOMPARE(GetKeyValue(HKLM, askedKey, QStringLiteral("Value"), result), ok);
        QCOMPARE(result, out);
        QCOMPARE(RegOpenKeyCount(), 0);
    }

    void registryIsReadOnly()
    {
        FakeRegistry &reg = installFakeRegistry();
        reg.setValue(HKLM, Tools, QStringLiteral("PATH"),
                     RegistryValue::text(QStringLiteral("/x")));
        HKEY key = 0;
        QCOMPARE(RegOpenKeyEx(HKLM, Tools, 0, KEY_ALL_ACCESS, key), ERROR_ACCESS_DENIED);
        QCOMPARE(key, HKEY(0));
        QCOMPARE(RegOpenKeyEx(HKLM, Tools, 0, KEY_QUERY_VALUE, key), ERROR_SUCCESS);
        QCOMPARE(RegCloseKey(key), ERROR_SUCCESS);
        QCOMPARE(RegCloseKey(key), ERROR_INVALID_HANDLE);
        std::uint32_t type = 0;
        QByteArray data;
        QCOMPARE(RegQueryValueEx(key, QStringLiteral("PATH"), type, data, 1024),
                 ERROR_INVALID_HANDLE);
        // A machine key is read although only an administrator could open it
        // for writing.
        QString path;
        QVERIFY(GetKeyValue(HKLM, Tools, QStringLiteral("PATH"), path));
        QCOMPARE(path, QStringLiteral("/x"));
    }

    void ownerAndOrganisation_data()
    {
        QTest::addColumn<uint>("platform");
        QTest::addColumn<QString>("storedIn");
        QTest::addColumn<RegistryValue>("owner");
        QTest::addColumn<QString>("expectedOwner");
        QTest::addColumn<QString>("expectedOrganisation");
        const RegistryValue erika = RegistryValue::text(QStringLiteral("Erika Mustermann"));
        QTest::newRow("NT family")
            << uint(VER_PLATFORM_WIN32_NT) << NtKey << erika << "Erika Mustermann"
            << "Beispiel GmbH";
        QTest::newRow("95 family reads its own key")
            << uint(VER_PLATFORM_WIN32_WINDOWS) << Key95 << erika << "Erika Mustermann"
            << "Beispiel GmbH";
        QTest::newRow("NT family does not read the 95 key")
            << uint(VER_PLATFORM_WIN32_NT) << Key95 << erika << ""
            << "";
        QTest::newRow("another family reads nothing") << 3u << NtKey << erika << ""
                                                      << "";
        QTest::newRow("text stored without NUL")
            << uint(VER_PLATFORM_WIN32_NT) << NtKey << raw(REG_SZ, "Erika") << "Erika"
            << "Beispiel GmbH";
        QTest::newRow("longer than its buffer")
            << uint(VER_PLATFORM_WIN32_NT) << NtKey
            << RegistryValue::text(QString(255, QLatin1Char('E'))) << ""
            << "Beispiel GmbH";
        QTest::newRow("filling its buffer") << uint(VER_PLATFORM_WIN32_NT) << NtKey
                                            << RegistryValue::text(QString(254, QLatin1Char('E')))
                                            << QString(254, QLatin1Char('E')) << "Beispiel GmbH";
    }

    void ownerAndOrganisation()
    {
        QFETCH(uint, platform);
        QFETCH(QString, storedIn);
        QFETCH(RegistryValue, owner);
        QFETCH(QString, expectedOwner);
        QFETCH(QString, expectedOrganisation);
        FakeRegistry &reg = installFakeRegistry();
        reg.setPlatformId(platform);
        reg.setValue(HKLM, storedIn, QStringLiteral("RegisteredOwner"), owner);
        reg.setValue(HKLM, storedIn, QStringLiteral("RegisteredOrganization"),
                     RegistryValue::text(QStringLiteral("Beispiel GmbH")));
        QCOMPARE(GetRegisteredOwner(), expectedOwner);
        QCOMPARE(GetRegisteredOrganization(), expectedOrganisation);
        QCOMPARE(RegOpenKeyCount(), 0);
    }

    void noOrganisationRegistered()
    {
        FakeRegistry &reg = installFakeRegistry();
        reg.setValue(HKLM, NtKey, QStringLiteral("RegisteredOwner"),
                     RegistryValue::text(QStringLiteral("Erika")));
        QCOMPARE(GetRegisteredOrganization(), QString());
        QCOMPARE(GetRegisteredOwner(), QStringLiteral("Erika"));
    }

    void fullNameFromGecos_data()
    {
        QTest::addColumn<QString>("gecos");
        QTest::addColumn<QString>("expected");
        QTest::newRow("name only") << "Erika Mustermann"
                                   << "Erika Mustermann";
        QTest::newRow("name and room") << "Erika Mustermann,R 101,555,,"
                                       << "Erika Mustermann";
        QTest::newRow("empty") << ""
                               << "erika";
        QTest::newRow("only commas") << ",,,"
                                     << "erika";
        QTest::newRow("blank name") << "  ,R 101"
                                    << "erika";
    }

    void fullNameFromGecos()
    {
        QFETCH(QString, gecos);
        QFETCH(QString, expected);
        QCOMPARE(FullNameFromGecos(gecos, QStringLiteral("erika")), expected);
    }

    void linuxOwnerOrganisationAndVersion()
    {
        OSVERSIONINFO info;
        QVERIFY(GetVersionEx(info));
        QCOMPARE(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
        QVERIFY(!GetRegisteredOwner().isEmpty());
        {
            EnvVar org("ORGANIZATION", "Beispiel GmbH");
            QCOMPARE(GetRegisteredOrganization(), QStringLiteral("Beispiel GmbH"));
        }
        {
            EnvVar org("ORGANIZATION", "");
            QCOMPARE(GetRegisteredOrganization(), QString());
        }
    }

    void linuxSysInfoProgram_data()
    {
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("expected");
        QTest::newRow("none installed") << QStringList() << "";
        QTest::newRow("one") << QStringList{"kinfocenter"} << "kinfocenter";
        QTest::newRow("the first of the list wins")
            << QStringList{"kinfocenter", "hardinfo", "hardinfo2"} << "hardinfo2";
        QTest::newRow("a file that is not executable is not a program")
            << QStringList{"-hardinfo2", "hardinfo"} << "hardinfo";
    }

    void linuxSysInfoProgram()
    {
        QFETCH(QStringList, installed);
        QFETCH(QString, expected);
        QTemporaryDir bin;
        for (QString name : installed) {
            const bool executable = !name.startsWith(QLatin1Char('-'));
            name.remove(0, executable ? 0 : 1);
            QFile f(bin.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("#!/bin/sh\nexit 0\n");
            f.close();
            if (executable)
                f.setPermissions(f.permissions() | QFile::ExeOwner);
        }
        EnvVar path("PATH", bin.path().toUtf8());
        QString found;
        QCOMPARE(GetKeyValue(HKLM, Tools, QStringLiteral("PATH"), found), !expected.isEmpty());
        QCOMPARE(found, expected.isEmpty() ? QString() : bin.filePath(expected));

        StartSysInfo();
        // Started detached, without arguments.
        QCOMPARE(m_launcher->detached,
                 expected.isEmpty() ? QList<QStringList>() : QList<QStringList>{{found}});
        QCOMPARE(m_dialogs->boxes.size(), expected.isEmpty() ? 1 : 0);
    }

    void startSysInfo_data()
    {
        QTest::addColumn<QString>("toolsPath"); // null: no value
        QTest::addColumn<int>("location"); // 0 none, 1 folder with the program, 2 folder without
        QTest::addColumn<bool>("starts");  // what the launcher answers
        QTest::addColumn<QString>("expectedStart"); // "@" stands for the location folder
        QTest::addColumn<bool>("message");
        QTest::newRow("found through the first key")
            << "/opt/tools/hardinfo2" << 0 << true << "/opt/tools/hardinfo2" << false;
        QTest::newRow("first key wins over the location")
            << "/opt/tools/hardinfo2" << 1 << true << "/opt/tools/hardinfo2" << false;
        QTest::newRow("first key found, start fails")
            << "/opt/tools/hardinfo2" << 1 << false << "/opt/tools/hardinfo2" << true;
        QTest::newRow("empty path in the first key") << "" << 1 << true << "" << true;
        QTest::newRow("only through the folder and its file")
            << QString() << 1 << true << "@/MSINFO32.EXE" << false;
        QTest::newRow("folder without the file") << QString() << 2 << true << "" << true;
        QTest::newRow("folder with the file, start fails")
            << QString() << 1 << false << "@/MSINFO32.EXE" << true;
        QTest::newRow("nothing registered") << QString() << 0 << true << "" << true;
    }

    void startSysInfo()
    {
        QFETCH(QString, toolsPath);
        QFETCH(int, location);
        QFETCH(bool, starts);
        QFETCH(QString, expectedStart);
        QFETCH(bool, message);
        QTemporaryDir folder;
        FakeRegistry &reg = installFakeRegistry();
        if (!toolsPath.isNull())
            reg.setValue(HKLM, Tools, QStringLiteral("PATH"), RegistryValue::text(toolsPath));
        if (location != 0)
            reg.setValue(HKLM, Location, QStringLiteral("MSINFO"),
                         RegistryValue::text(folder.path()));
        if (location == 1) {
            QFile program(folder.filePath(QStringLiteral("MSINFO32.EXE")));
            QVERIFY(program.open(QIODevice::WriteOnly));
        }
        m_launcher->startResult = starts;

        StartSysInfo();

        expectedStart.replace(QLatin1Char('@'), folder.path());
        QCOMPARE(m_launcher->detached, expectedStart.isEmpty()
                                           ? QList<QStringList>()
                                           : QList<QStringList>{{expectedStart}});
        const auto &boxes = m_dialogs->boxes;
        QCOMPARE(boxes.size(), message ? 1 : 0);
        if (message) {
            QCOMPARE(boxes[0].text, Unavailable);
            QCOMPARE(boxes[0].buttons, MsgButtons::Ok);
            QCOMPARE(boxes[0].icon, MsgIcon::None);
            QCOMPARE(boxes[0].title, QString());
        }
        QCOMPARE(RegOpenKeyCount(), 0);
    }
};

QTEST_MAIN(TestSysInfo)
#include "tst_sysinfo.moc"
