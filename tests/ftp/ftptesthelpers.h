#pragma once
// Helpers of the FTP layer's tests: connecting to a test server, files on
// disk, uploads written the way the program writes them.

#include "platform/wininet.h"
#include "tests/support/ftpserver.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QRandomGenerator>

namespace ftptest {

inline HINTERNET session()
{
    static const HINTERNET handle =
        InternetOpen(QStringLiteral("ftp layer tests"), INTERNET_OPEN_TYPE_PRECONFIG, {}, {}, 0);
    return handle;
}

inline HINTERNET connect(const FtpTestServer &server, bool passive)
{
    return InternetConnect(session(), server.host(), server.port(), server.user(),
                           server.password(), INTERNET_SERVICE_FTP,
                           passive ? INTERNET_FLAG_PASSIVE : 0, 0);
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
           file.write(bytes) == bytes.size();
}

inline QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline QByteArray randomBytes(qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(quint32(size) * 2654435761u);
    for (qsizetype i = 0; i < size; ++i)
        bytes[i] = char(generator.bounded(256));
    return bytes;
}

inline QByteArray sha256(const QByteArray &bytes)
{
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
}

// Uploads as the program does: full 255-byte blocks, then one last write of
// the rest, a zero-length write when the size is a multiple of 255.
inline bool upload(HINTERNET connection, const QString &remote, const QByteArray &bytes,
                   std::uint32_t type)
{
    const HINTERNET file = FtpOpenFile(connection, remote, GENERIC_WRITE, type, 0);
    if (file == 0)
        return false;
    constexpr qsizetype block = 255;
    bool ok = true;
    qsizetype at = 0;
    for (; ok && at + block <= bytes.size(); at += block) {
        std::uint32_t written = 0;
        ok = InternetWriteFile(file, bytes.constData() + at, block, written) && written == block;
    }
    std::uint32_t written = 0;
    const auto rest = std::uint32_t(bytes.size() - at);
    ok = ok && InternetWriteFile(file, bytes.constData() + at, rest, written) && written == rest;
    return InternetCloseHandle(file) && ok;
}

// The names of the entries of the current server folder.
inline QStringList listNames(HINTERNET connection)
{
    QStringList names;
    WIN32_FIND_DATA data;
    const HINTERNET find = FtpFindFirstFile(connection, QStringLiteral("*.*"), data, 0, 0);
    if (find == 0)
        return names;
    do
        names << data.cFileName;
    while (InternetFindNextFile(find, data));
    InternetCloseHandle(find);
    names.sort();
    return names;
}

inline QStringList filesIn(const QString &folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

} // namespace ftptest
