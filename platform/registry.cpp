#include "platform/registry.h"

#include <QStandardPaths>
#include <QStringList>

#include <pwd.h>
#include <unistd.h>

#include <map>
#include <vector>

namespace {

struct OpenKey {
    HKEY root;
    QString subKey;
};

std::unique_ptr<RegistryBackend> &backendSlot()
{
    static std::unique_ptr<RegistryBackend> backend;
    return backend;
}

RegistryBackend &backend()
{
    auto &slot = backendSlot();
    if (!slot)
        slot = std::make_unique<LinuxRegistry>();
    return *slot;
}

std::map<HKEY, OpenKey> &openKeys()
{
    static std::map<HKEY, OpenKey> keys;
    return keys;
}

// Handles of open keys are small numbers, never reused within a run.
HKEY nextHandle()
{
    static HKEY next = 0x100;
    return next++;
}

bool isRoot(HKEY key)
{
    return key == HKEY_LOCAL_MACHINE || key == HKEY_CURRENT_USER;
}

bool sameKey(const QString &a, const char *b)
{
    return a.compare(QLatin1String(b), Qt::CaseInsensitive) == 0;
}

// The user's full name: the GECOS field up to its first comma, else the
// login name.
QString ownerName()
{
    std::vector<char> buffer(16384);
    passwd entry{};
    passwd *found = nullptr;
    if (getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found) != 0 || !found)
        return QString::fromLocal8Bit(qgetenv("USER"));
    return FullNameFromGecos(QString::fromLocal8Bit(found->pw_gecos ? found->pw_gecos : ""),
                             QString::fromLocal8Bit(found->pw_name));
}

QString sysInfoProgram()
{
    for (const QString &tool : LinuxRegistry::sysInfoTools()) {
        const QString path = QStandardPaths::findExecutable(tool);
        if (!path.isEmpty())
            return path;
    }
    return QString();
}

} // namespace

QString FullNameFromGecos(const QString &gecos, const QString &login)
{
    const QString fullName = gecos.section(QLatin1Char(','), 0, 0).trimmed();
    return fullName.isEmpty() ? login : fullName;
}

RegistryValue RegistryValue::text(const QString &s)
{
    RegistryValue v;
    v.type = REG_SZ;
    v.data = s.toUtf8();
    v.data.append('\0');
    return v;
}

RegistryValue RegistryValue::dword(std::uint32_t n)
{
    RegistryValue v;
    v.type = REG_DWORD;
    for (int i = 0; i < 4; ++i)
        v.data.append(char((n >> (8 * i)) & 0xFF));
    return v;
}

const QStringList &LinuxRegistry::sysInfoTools()
{
    static const QStringList tools = {QStringLiteral("hardinfo2"), QStringLiteral("hardinfo"),
                                      QStringLiteral("kinfocenter"), QStringLiteral("lshw-gtk")};
    return tools;
}

bool LinuxRegistry::hasKey(HKEY root, const QString &subKey) const
{
    if (root != HKEY_LOCAL_MACHINE)
        return false;
    if (sameKey(subKey, KeyCurrentVersionNT))
        return true;
    if (sameKey(subKey, KeySharedToolsMsinfo))
        return !sysInfoProgram().isEmpty();
    return false;
}

std::optional<RegistryValue> LinuxRegistry::value(HKEY root, const QString &subKey,
                                                  const QString &name) const
{
    if (root != HKEY_LOCAL_MACHINE)
        return std::nullopt;
    if (sameKey(subKey, KeyCurrentVersionNT)) {
        if (name.compare(QLatin1String("RegisteredOwner"), Qt::CaseInsensitive) == 0)
            return RegistryValue::text(ownerName());
        if (name.compare(QLatin1String("RegisteredOrganization"), Qt::CaseInsensitive) == 0) {
            const QString org = qEnvironmentVariable("ORGANIZATION");
            if (org.isEmpty())
                return std::nullopt;
            return RegistryValue::text(org);
        }
        return std::nullopt;
    }
    if (sameKey(subKey, KeySharedToolsMsinfo) &&
        name.compare(QLatin1String("PATH"), Qt::CaseInsensitive) == 0) {
        const QString program = sysInfoProgram();
        if (program.isEmpty())
            return std::nullopt;
        return RegistryValue::text(program);
    }
    return std::nullopt;
}

QString FakeRegistry::keyOf(HKEY root, const QString &subKey)
{
    return QString::number(root, 16) + QLatin1Char('\\') + subKey.toLower();
}

void FakeRegistry::setValue(HKEY root, const QString &subKey, const QString &name,
                            const RegistryValue &v)
{
    m_keys[keyOf(root, subKey)][name.toLower()] = v;
}

void FakeRegistry::addKey(HKEY root, const QString &subKey)
{
    m_keys[keyOf(root, subKey)];
}

bool FakeRegistry::hasKey(HKEY root, const QString &subKey) const
{
    return m_keys.contains(keyOf(root, subKey));
}

std::optional<RegistryValue> FakeRegistry::value(HKEY root, const QString &subKey,
                                                 const QString &name) const
{
    const auto key = m_keys.constFind(keyOf(root, subKey));
    if (key == m_keys.constEnd())
        return std::nullopt;
    const auto v = key->constFind(name.toLower());
    if (v == key->constEnd())
        return std::nullopt;
    return *v;
}

void setRegistryBackend(std::unique_ptr<RegistryBackend> replacement)
{
    backendSlot() = std::move(replacement);
}

FakeRegistry &installFakeRegistry()
{
    auto fake = std::make_unique<FakeRegistry>();
    FakeRegistry &ref = *fake;
    setRegistryBackend(std::move(fake));
    return ref;
}

long RegOpenKeyEx(HKEY root, const QString &subKey, std::uint32_t /*options*/, std::uint32_t access,
                  HKEY &result)
{
    result = 0;
    if (!isRoot(root))
        return ERROR_INVALID_HANDLE;
    // Nothing here is ever written: a request for more than reading is refused.
    if ((access & ~KEY_QUERY_VALUE) != 0)
        return ERROR_ACCESS_DENIED;
    if (!backend().hasKey(root, subKey))
        return ERROR_FILE_NOT_FOUND;
    result = nextHandle();
    openKeys()[result] = OpenKey{root, subKey};
    return ERROR_SUCCESS;
}

long RegQueryValueEx(HKEY key, const QString &valueName, std::uint32_t &type, QByteArray &data,
                     int bufferSize)
{
    data.clear();
    const auto open = openKeys().find(key);
    if (open == openKeys().end())
        return ERROR_INVALID_HANDLE;
    const auto v = backend().value(open->second.root, open->second.subKey, valueName);
    if (!v)
        return ERROR_FILE_NOT_FOUND;
    type = v->type;
    if (v->data.size() > bufferSize)
        return ERROR_MORE_DATA;
    data = v->data;
    return ERROR_SUCCESS;
}

long RegCloseKey(HKEY key)
{
    return openKeys().erase(key) == 1 ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

int RegOpenKeyCount()
{
    return int(openKeys().size());
}

bool GetVersionEx(OSVERSIONINFO &info)
{
    if (info.dwOSVersionInfoSize != 148)
        return false;
    info.dwPlatformId = backend().platformId();
    return true;
}
