// The Internet calls of platform/wininet.h on the handle table and the FTP
// connection. Every call catches whatever its parts throw: no exception
// leaves this layer, a failure is false, an empty text or a 0 handle.

#include "platform/wininet.h"

#include "platform/ftp/controlchannel.h"
#include "platform/ftp/ftpconnection.h"
#include "platform/ftp/ftpupload.h"
#include "platform/ftp/handletable.h"

#include <QRegularExpression>

using ftp::FindWalk;
using ftp::FtpConnection;
using ftp::FtpUpload;
using ftp::handleTable;
using ftp::InternetSession;

namespace {

// The error of the last FtpFindFirstFile (the program's one thread lists).
std::uint32_t g_lastError = 0;

template <typename Result, typename Call> Result guarded(Result failure, Call call)
{
    try {
        return call();
    } catch (...) {
        return failure;
    }
}

std::shared_ptr<FtpConnection> connectionOf(HINTERNET handle)
{
    return handleTable().find<FtpConnection>(handle);
}

WIN32_FIND_DATA findData(const ftp::ListEntry &entry, ftp::NameEncoding encoding)
{
    WIN32_FIND_DATA data;
    data.cFileName = ftp::decodeName(entry.name, encoding);
    data.dwFileAttributes = entry.attributes;
    data.nFileSize = entry.size;
    data.ftLastWriteTime = entry.time;
    return data;
}

bool listsEverything(const QString &pattern)
{
    return pattern.isEmpty() || pattern == u"*" || pattern == u"*.*";
}

// The entries a find pattern asks for: everything for "*.*" (as the program
// always asks), wildcard patterns matched on the names of their folder, and
// a plain path handed to the server as it is.
std::optional<std::vector<WIN32_FIND_DATA>> listMatching(FtpConnection &connection,
                                                         const QString &pattern, bool linksAsFiles)
{
    QString folder = pattern;
    QString mask;
    const qsizetype slash = pattern.lastIndexOf(u'/');
    const QString last = pattern.mid(slash + 1);
    if (last.contains(u'*') || last.contains(u'?')) {
        folder = slash < 0 ? QString() : pattern.left(std::max<qsizetype>(slash, 1));
        mask = listsEverything(last) ? QString() : last;
    }
    const auto entries = connection.list(folder, linksAsFiles);
    if (!entries)
        return std::nullopt;
    const QRegularExpression match = QRegularExpression::fromWildcard(mask, Qt::CaseInsensitive);
    std::vector<WIN32_FIND_DATA> result;
    for (const ftp::ListEntry &entry : *entries) {
        WIN32_FIND_DATA data = findData(entry, connection.encoding());
        if (mask.isEmpty() || match.match(data.cFileName).hasMatch())
            result.push_back(std::move(data));
    }
    return result;
}

} // namespace

HINTERNET InternetOpen(const QString &agent, std::uint32_t, const QString &, const QString &,
                       std::uint32_t)
{
    return guarded<HINTERNET>(0, [&] {
        return handleTable().add(std::make_shared<InternetSession>(InternetSession{agent}));
    });
}

HINTERNET InternetConnect(HINTERNET session, const QString &host, int port, const QString &user,
                          const QString &password, std::uint32_t service, std::uint32_t flags,
                          std::uintptr_t)
{
    return guarded<HINTERNET>(0, [&]() -> HINTERNET {
        if (!handleTable().find<InternetSession>(session) || service != INTERNET_SERVICE_FTP)
            return 0;
        auto connection = std::make_shared<FtpConnection>();
        const bool passive = (flags & INTERNET_FLAG_PASSIVE) != 0;
        if (!connection->open(host, port, user, password, passive))
            return 0;
        const HINTERNET handle = handleTable().add(connection);
        if (handle == 0)
            connection->quit();
        return handle;
    });
}

bool FtpSetCurrentDirectory(HINTERNET connection, const QString &directory)
{
    return guarded(false, [&] {
        const auto c = connectionOf(connection);
        return c && c->changeDirectory(directory);
    });
}

bool FtpSetCurrentDirectoryChain(HINTERNET connection, const QStringList &directories)
{
    return guarded(false, [&] {
        const auto c = connectionOf(connection);
        return c && c->changeDirectories(directories);
    });
}

bool FtpGetCurrentDirectory(HINTERNET connection, QString &directory)
{
    directory.clear();
    return guarded(false, [&] {
        const auto c = connectionOf(connection);
        const std::optional<QString> path = c ? c->currentDirectory() : std::nullopt;
        if (!path)
            return false;
        directory = *path;
        return true;
    });
}

HINTERNET FtpFindFirstFile(HINTERNET connection, const QString &pattern, WIN32_FIND_DATA &data,
                           std::uint32_t flags, std::uintptr_t)
{
    g_lastError = ERROR_INTERNET_EXTENDED_ERROR;
    return guarded<HINTERNET>(0, [&]() -> HINTERNET {
        const auto c = connectionOf(connection);
        if (!c)
            return 0;
        auto entries = listMatching(*c, pattern, (flags & FIND_FLAG_LINKS_AS_FILES) != 0);
        if (!entries)
            return 0;
        if (entries->empty()) {
            g_lastError = ERROR_NO_MORE_FILES;
            return 0;
        }
        auto walk = std::make_shared<FindWalk>();
        walk->entries = std::move(*entries);
        data = walk->entries.front();
        walk->next = 1;
        return handleTable().add(walk);
    });
}

std::uint32_t GetLastError()
{
    return g_lastError;
}

bool InternetFindNextFile(HINTERNET find, WIN32_FIND_DATA &data)
{
    return guarded(false, [&] {
        const auto walk = handleTable().find<FindWalk>(find);
        if (!walk || walk->next >= walk->entries.size())
            return false;
        data = walk->entries[walk->next++];
        return true;
    });
}

bool FtpGetFile(HINTERNET connection, const QString &remoteFile, const QString &localPath,
                bool failIfExists, std::uint32_t, std::uint32_t, std::uintptr_t)
{
    return guarded(false, [&] {
        const auto c = connectionOf(connection);
        return c && c->retrieve(remoteFile, localPath, failIfExists);
    });
}

HINTERNET FtpOpenFile(HINTERNET connection, const QString &remoteFile, std::uint32_t access,
                      std::uint32_t flags, std::uintptr_t)
{
    return guarded<HINTERNET>(0, [&]() -> HINTERNET {
        const auto c = connectionOf(connection);
        if (!c || (access & GENERIC_WRITE) == 0)
            return 0;
        const bool ascii = (flags & 0x3) == FTP_TRANSFER_TYPE_ASCII;
        std::shared_ptr<FtpUpload> upload = c->store(remoteFile, ascii);
        if (!upload)
            return 0;
        const HINTERNET handle = handleTable().add(upload);
        if (handle == 0)
            upload->finish();
        return handle;
    });
}

bool InternetWriteFile(HINTERNET file, const char *buffer, std::uint32_t length,
                       std::uint32_t &written)
{
    written = 0;
    return guarded(false, [&] {
        FtpUpload *const upload = handleTable().findUpload(file);
        if (!upload || (buffer == nullptr && length > 0) || !upload->write(buffer, length))
            return false;
        written = length;
        return true;
    });
}

bool FtpRenameFile(HINTERNET connection, const QString &existing, const QString &newName)
{
    return guarded(false, [&] {
        const auto c = connectionOf(connection);
        return c && c->rename(existing, newName);
    });
}

bool FtpDeleteFile(HINTERNET connection, const QString &file)
{
    return guarded(false, [&] {
        const auto c = connectionOf(connection);
        return c && c->deleteFile(file);
    });
}

bool FtpCreateDirectory(HINTERNET connection, const QString &directory)
{
    return guarded(false, [&] {
        const auto c = connectionOf(connection);
        return c && c->createDirectory(directory);
    });
}

bool FtpRemoveDirectory(HINTERNET connection, const QString &directory)
{
    return guarded(false, [&] {
        const auto c = connectionOf(connection);
        return c && c->removeDirectory(directory);
    });
}

bool InternetCloseHandle(HINTERNET handle)
{
    return guarded(false, [&] {
        std::optional<ftp::HandleObject> object = handleTable().take(handle);
        if (!object)
            return false;
        if (auto *connection = std::get_if<std::shared_ptr<FtpConnection>>(&*object))
            (*connection)->quit();
        if (auto *upload = std::get_if<std::shared_ptr<FtpUpload>>(&*object))
            return (*upload)->finish();
        return true;
    });
}

QString InternetGetLastResponseInfo()
{
    return guarded(QString(), [] { return ftp::lastResponse(); });
}

void SetInternetReceiveHook(std::function<bool()> hook)
{
    ftp::setReceiveHook(std::move(hook));
}

void SetInternetTimeout(int milliseconds)
{
    ftp::setTimeoutMs(milliseconds);
}

int InternetTimeout()
{
    return ftp::timeoutMs();
}
