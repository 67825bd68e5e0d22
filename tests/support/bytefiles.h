#pragma once
// Files whose names are bytes that need not be valid UTF-8, made and looked
// at without the program's own path layer, so that a test sees the bytes
// the file system holds.

#include "platform/pure/bytename.h"

#include <QByteArray>
#include <QString>

#include <QFile>

#include <fcntl.h>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ByteFiles {

// "a\xe9.txt" is Latin-1 and not valid UTF-8; "a\xef\xbf\xbd.txt" is the
// UTF-8 of "a\uFFFD.txt", the text a lossy decoding makes of the first.
inline const QByteArray Latin1Name("a\xe9.txt");
inline const QByteArray ReplacementName("a\xef\xbf\xbd.txt");

// The name as the program carries it.
inline QString carried(const QByteArray &bytes)
{
    return ByteName::fromBytes(bytes);
}

inline bool writeBytes(const QByteArray &path, const QByteArray &content)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return false;
    const bool ok =
        ::write(fd, content.constData(), size_t(content.size())) == ssize_t(content.size());
    return ::close(fd) == 0 && ok;
}

inline QByteArray readBytes(const QByteArray &path)
{
    QByteArray content;
    const int fd = ::open(path.constData(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return "<missing>";
    char buffer[4096];
    for (ssize_t n; (n = ::read(fd, buffer, sizeof buffer)) > 0;)
        content.append(buffer, n);
    ::close(fd);
    return content;
}

inline bool present(const QByteArray &path)
{
    struct stat st {};
    return ::lstat(path.constData(), &st) == 0;
}

// Removes a folder with everything in it, whatever the bytes of the names
// (Qt's own removal leaves such names behind); links are not followed.
inline void removeTree(const QString &folder)
{
    const auto remove = [](const char *path, const struct stat *, int type, struct FTW *) {
        return type == FTW_DP ? ::rmdir(path) : ::unlink(path);
    };
    ::nftw(QFile::encodeName(folder).constData(), remove, 16, FTW_DEPTH | FTW_PHYS);
}

} // namespace ByteFiles
