#pragma once
// A small read-only registry: the few values the program reads about its
// system (registered owner and organisation, the system-information program)
// and the operating system's version. The calls work on key handles as the
// calling code expects; the answers come from a back-end, the Linux one
// unless a test installs a fake.

#include <QByteArray>
#include <QMap>
#include <QString>

#include <cstdint>
#include <memory>
#include <optional>

using HKEY = std::uintptr_t;

constexpr HKEY HKEY_CURRENT_USER = 0x80000001;
constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002;

constexpr std::uint32_t KEY_QUERY_VALUE = 0x1;
constexpr std::uint32_t KEY_ALL_ACCESS = 0x2003F;

constexpr std::uint32_t REG_SZ = 1;
constexpr std::uint32_t REG_BINARY = 3;
constexpr std::uint32_t REG_DWORD = 4;

constexpr long ERROR_SUCCESS = 0;
constexpr long ERROR_FILE_NOT_FOUND = 2;
constexpr long ERROR_ACCESS_DENIED = 5;
constexpr long ERROR_INVALID_HANDLE = 6;
constexpr long ERROR_MORE_DATA = 234;

constexpr std::uint32_t VER_PLATFORM_WIN32_WINDOWS = 1;
constexpr std::uint32_t VER_PLATFORM_WIN32_NT = 2;

// The keys the program reads.
inline constexpr const char *KeyCurrentVersion95 = "Software\\Microsoft\\Windows\\CurrentVersion";
inline constexpr const char *KeyCurrentVersionNT =
    "Software\\Microsoft\\Windows NT\\CurrentVersion";
inline constexpr const char *KeySharedToolsMsinfo = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
inline constexpr const char *KeySharedToolsLocation = "SOFTWARE\\Microsoft\\Shared Tools Location";

// A stored value: its type and its bytes as stored (a REG_SZ text in UTF-8
// with its closing NUL, a REG_DWORD as four bytes, lowest first).
struct RegistryValue {
    std::uint32_t type = REG_SZ;
    QByteArray data;

    static RegistryValue text(const QString &s);
    static RegistryValue dword(std::uint32_t v);
};

// Where the answers come from. Key paths are compared without regard to
// case, as the registry does.
class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;
    virtual bool hasKey(HKEY root, const QString &subKey) const = 0;
    virtual std::optional<RegistryValue> value(HKEY root, const QString &subKey,
                                               const QString &name) const = 0;
    // The platform family GetVersionEx reports.
    virtual std::uint32_t platformId() const = 0;
};

// The Linux answers: RegisteredOwner is the user's full name (the password
// database's GECOS field up to its first comma), else the login name;
// RegisteredOrganization the environment's ORGANIZATION; the system
// information program the first installed of a few Linux tools.
class LinuxRegistry : public RegistryBackend {
public:
    bool hasKey(HKEY root, const QString &subKey) const override;
    std::optional<RegistryValue> value(HKEY root, const QString &subKey,
                                       const QString &name) const override;
    std::uint32_t platformId() const override { return VER_PLATFORM_WIN32_NT; }

    // The tools tried for the system information, in this order.
    static const QStringList &sysInfoTools();
};

// A registry of fixed keys and values for tests.
class FakeRegistry : public RegistryBackend {
public:
    void setValue(HKEY root, const QString &subKey, const QString &name, const RegistryValue &v);
    // A key that exists without values.
    void addKey(HKEY root, const QString &subKey);
    void setPlatformId(std::uint32_t id) { m_platform = id; }

    bool hasKey(HKEY root, const QString &subKey) const override;
    std::optional<RegistryValue> value(HKEY root, const QString &subKey,
                                       const QString &name) const override;
    std::uint32_t platformId() const override { return m_platform; }

private:
    static QString keyOf(HKEY root, const QString &subKey);
    QMap<QString, QMap<QString, RegistryValue>> m_keys; // lower-case key path -> name -> value
    std::uint32_t m_platform = VER_PLATFORM_WIN32_NT;
};

// The full name of a password-database entry: its GECOS field up to the
// first comma, else the login name.
QString FullNameFromGecos(const QString &gecos, const QString &login);

// Installs a back-end (a test's fake); nullptr restores the Linux one.
void setRegistryBackend(std::unique_ptr<RegistryBackend> backend);
// Installs a fresh fake and returns it.
FakeRegistry &installFakeRegistry();

// Opens a key for reading. Only read access is granted: asking for more
// fails with ERROR_ACCESS_DENIED.
long RegOpenKeyEx(HKEY root, const QString &subKey, std::uint32_t options, std::uint32_t access,
                  HKEY &result);
// Reads a value into data, at most bufferSize bytes; a longer value fails
// with ERROR_MORE_DATA. type receives the value's type.
long RegQueryValueEx(HKEY key, const QString &valueName, std::uint32_t &type, QByteArray &data,
                     int bufferSize);
long RegCloseKey(HKEY key);
// Keys opened and not yet closed.
int RegOpenKeyCount();

struct OSVERSIONINFO {
    std::uint32_t dwOSVersionInfoSize = 148;
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;
};

bool GetVersionEx(OSVERSIONINFO &info);
