#include "core/sysinfo.h"

#include "platform/desktop.h"
#include "platform/dialogs.h"

#include <QFileInfo>

namespace {
// The buffers the values are read into, in bytes.
constexpr int OwnerBuffer = 255;
constexpr int KeyValueBuffer = 1024;

bool startProgram(const QString &program)
{
    return !program.isEmpty() && Desktop::launcher().startDetached(program, QStringList());
}

// A stored text ends in NUL; the NUL is not part of the text.
QByteArray withoutClosingNul(QByteArray data)
{
    if (data.endsWith('\0'))
        data.chop(1);
    return data;
}

QString dwordText(const QByteArray &bytes)
{
    QString text = QStringLiteral("&h");
    for (qsizetype i = bytes.size() - 1; i >= 0; --i)
        text += QString::number(uchar(bytes.at(i)), 16).toUpper();
    return text;
}
} // namespace

QString GetRegisteredValue(const QString &valueName)
{
    OSVERSIONINFO version;
    version.dwOSVersionInfoSize = 148;
    if (!GetVersionEx(version))
        return QString();
    const char *subKey = nullptr;
    if (version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        subKey = KeyCurrentVersion95;
    else if (version.dwPlatformId == VER_PLATFORM_WIN32_NT)
        subKey = KeyCurrentVersionNT;
    else
        return QString();

    HKEY key = 0;
    if (RegOpenKeyEx(HKEY_LOCAL_MACHINE, QLatin1String(subKey), 0, KEY_QUERY_VALUE, key) !=
        ERROR_SUCCESS)
        return QString();
    std::uint32_t type = 0;
    QByteArray data;
    const long read = RegQueryValueEx(key, valueName, type, data, OwnerBuffer);
    RegCloseKey(key);
    if (read != ERROR_SUCCESS)
        return QString();
    return QString::fromUtf8(withoutClosingNul(data));
}

QString GetRegisteredOwner()
{
    return GetRegisteredValue(QStringLiteral("RegisteredOwner"));
}

QString GetRegisteredOrganization()
{
    return GetRegisteredValue(QStringLiteral("RegisteredOrganization"));
}

bool GetKeyValue(HKEY root, const QString &subKey, const QString &valueName, QString &out)
{
    // Read access is all this needs; asking for full access to a machine key
    // fails for every user who is not an administrator.
    HKEY key = 0;
    if (RegOpenKeyEx(root, subKey, 0, KEY_QUERY_VALUE, key) != ERROR_SUCCESS) {
        out.clear();
        return false;
    }
    std::uint32_t type = 0;
    QByteArray data;
    if (RegQueryValueEx(key, valueName, type, data, KeyValueBuffer) != ERROR_SUCCESS) {
        out.clear();
        RegCloseKey(key);
        return false;
    }
    data = withoutClosingNul(data);
    if (type == REG_SZ)
        out = QString::fromUtf8(data);
    else if (type == REG_DWORD)
        out = dwordText(data);
    RegCloseKey(key);
    return true;
}

void StartSysInfo()
{
    QString path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, QLatin1String(KeySharedToolsMsinfo), QStringLiteral("PATH"),
                    path)) {
        if (startProgram(path))
            return;
    } else if (GetKeyValue(HKEY_LOCAL_MACHINE, QLatin1String(KeySharedToolsLocation),
                           QStringLiteral("MSINFO"), path)) {
        const QString program = path + QLatin1String("/MSINFO32.EXE");
        if (QFileInfo(program).isFile() && startProgram(program))
            return;
    }
    dialogs().MsgBox(QStringLiteral("Systeminformationen sind momentan nicht verfügbar"),
                     MsgButtons::Ok, MsgIcon::None);
}
