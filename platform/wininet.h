#pragma once
// The program's FTP layer: the small set of Internet calls the FTP code uses,
// on integer handles (0 = none). Every call is synchronous and bounded by a
// timeout; no exception leaves this layer, every failure is false, an empty
// text or a 0 handle.

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

using HINTERNET = std::uint32_t;

constexpr std::uint32_t INTERNET_OPEN_TYPE_PRECONFIG = 0;
constexpr std::uint32_t INTERNET_SERVICE_FTP = 1;
constexpr std::uint32_t INTERNET_FLAG_PASSIVE = 0x08000000;
constexpr std::uint32_t INTERNET_FLAG_RELOAD = 0x80000000;
constexpr std::uint32_t GENERIC_WRITE = 0x40000000;
constexpr std::uint32_t FTP_TRANSFER_TYPE_UNKNOWN = 0;
constexpr std::uint32_t FTP_TRANSFER_TYPE_ASCII = 1;
constexpr std::uint32_t FTP_TRANSFER_TYPE_BINARY = 2;

// FtpFindFirstFile flag: a link is listed as a file, never as the folder
// it points to, also where the server's MLSD describes it by its target
// (one LIST more for a folder that holds folders). The walks over folder
// trees ask for it, so that they never go through a link.
constexpr std::uint32_t FIND_FLAG_LINKS_AS_FILES = 0x1;

// GetLastError after FtpFindFirstFile returned no handle.
constexpr std::uint32_t ERROR_NO_MORE_FILES = 18;
constexpr std::uint32_t ERROR_INTERNET_EXTENDED_ERROR = 12003;

constexpr std::uint32_t FILE_ATTRIBUTE_READONLY = 0x1;
constexpr std::uint32_t FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr std::uint32_t FILE_ATTRIBUTE_SYSTEM = 0x4;
constexpr std::uint32_t FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr std::uint32_t FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr std::uint32_t FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr std::uint32_t FILE_ATTRIBUTE_TEMPORARY = 0x100;
constexpr std::uint32_t FILE_ATTRIBUTE_COMPRESSED = 0x800;

// One entry of a server folder listing.
struct WIN32_FIND_DATA {
    std::uint32_t dwFileAttributes = 0; // 0x10 folder, 0x80 plain file, +0x1 not writable
    QDateTime ftLastWriteTime;          // UTC, as the server gives it; invalid when unknown
    std::uint64_t nFileSize = 0;        // all 64 bits
    QString cFileName;
};

// Session: carries the agent text only. Closing a session does not close the
// connections made on it.
HINTERNET InternetOpen(const QString &agent, std::uint32_t accessType, const QString &proxy,
                       const QString &proxyBypass, std::uint32_t flags);

// TCP connect and login. port 0 means 21. flags: INTERNET_FLAG_PASSIVE or 0 (active).
HINTERNET InternetConnect(HINTERNET session, const QString &host, int port, const QString &user,
                          const QString &password, std::uint32_t service, std::uint32_t flags,
                          std::uintptr_t context);

bool FtpSetCurrentDirectory(HINTERNET connection, const QString &directory);
// FtpSetCurrentDirectory for each folder in turn, the commands sent at once
// and every reply read before the call returns: true only when every step
// succeeded. After false the server's current folder is unknown (later
// steps ran from wherever a failed one left it), so the caller acts in no
// folder before an absolute change.
bool FtpSetCurrentDirectoryChain(HINTERNET connection, const QStringList &directories);
bool FtpGetCurrentDirectory(HINTERNET connection, QString &directory);

// The whole listing is read at the first call; the handle walks it.
HINTERNET FtpFindFirstFile(HINTERNET connection, const QString &pattern, WIN32_FIND_DATA &data,
                           std::uint32_t flags, std::uintptr_t context);
bool InternetFindNextFile(HINTERNET find, WIN32_FIND_DATA &data);
// Why the last FtpFindFirstFile gave no handle: ERROR_NO_MORE_FILES when
// the folder was listed and nothing in it matched (an empty folder), any
// other value when the listing failed.
std::uint32_t GetLastError();

// RETR in binary into a temporary file beside localPath, renamed over it only
// when the transfer completed.
bool FtpGetFile(HINTERNET connection, const QString &remoteFile, const QString &localPath,
                bool failIfExists, std::uint32_t attributes, std::uint32_t flags,
                std::uintptr_t context);

// Called between the blocks FtpGetFile receives (none by default), e.g. to
// yield to the window; returning false gives the download up.
void SetInternetReceiveHook(std::function<bool()> hook);

// STOR as a stream. flags: FTP_TRANSFER_TYPE_ASCII (line ends sent as CR LF)
// or FTP_TRANSFER_TYPE_BINARY (bytes unchanged).
HINTERNET FtpOpenFile(HINTERNET connection, const QString &remoteFile, std::uint32_t access,
                      std::uint32_t flags, std::uintptr_t context);
bool InternetWriteFile(HINTERNET file, const char *buffer, std::uint32_t length,
                       std::uint32_t &written);

bool FtpRenameFile(HINTERNET connection, const QString &existing, const QString &newName);
bool FtpDeleteFile(HINTERNET connection, const QString &file);
bool FtpCreateDirectory(HINTERNET connection, const QString &directory);
bool FtpRemoveDirectory(HINTERNET connection, const QString &directory);

// Closes any handle: QUIT and close for a connection, the upload's end for a
// file, the walk for a find. Never blocks for long. Unknown or closed: false.
bool InternetCloseHandle(HINTERNET handle);

// The last reply line(s) a server sent on any connection, for diagnostics.
QString InternetGetLastResponseInfo();

// Timeout of connect, replies and data in milliseconds (30000 by default).
void SetInternetTimeout(int milliseconds);
int InternetTimeout();
