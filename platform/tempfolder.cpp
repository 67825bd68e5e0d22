#include "platform/tempfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace TempFolder {

namespace {
const QString FolderName = QStringLiteral("tempqvenk");

QString cacheFolder()
{
    const QString xdg = qEnvironmentVariable("XDG_CACHE_HOME");
    if (!xdg.isEmpty() && QDir::isAbsolutePath(xdg))
        return xdg;
    const QString home = QDir::homePath();
    return home.isEmpty() ? QString() : home + QLatin1String("/.cache");
}

// A folder of this user, not a link, that neither its group nor others may
// write.
bool isPrivateFolder(const QByteArray &path)
{
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() &&
           (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}
} // namespace

QStringList candidates()
{
    QStringList list;
    const QString cache = cacheFolder();
    if (!cache.isEmpty())
        list << cache + QLatin1Char('/') + FolderName;
    list << QDir::tempPath() + QLatin1Char('/') + FolderName + QLatin1Char('-') +
                QString::number(::geteuid());
    return list;
}

bool prepare(const QString &folder)
{
    const QByteArray path = QFile::encodeName(folder);
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST) {
        // The cache folder itself may be missing on a fresh account.
        const QString parent = QFileInfo(folder).absolutePath();
        if (!QDir().mkpath(parent) || ::mkdir(path.constData(), 0700) != 0)
            return false;
    }
    if (!isPrivateFolder(path))
        return false;
    // A folder of ours that others may read is made private.
    return ::chmod(path.constData(), 0700) == 0;
}

bool isPlainFileName(const QString &name)
{
    // 255 bytes: the longest name of one folder entry on the usual Linux
    // file systems.
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0)) &&
           QFile::encodeName(name).size() <= 255;
}

bool touch(const QString &folder, const QString &name)
{
    if (!isPlainFileName(name))
        return false;
    const QByteArray path = QFile::encodeName(folder + QLatin1Char('/') + name);
    // No O_TRUNC: an existing file keeps its contents; never through a link.
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
    if (fd < 0)
        return false;
    return ::close(fd) == 0;
}

void removeIfEmpty(const QString &folder)
{
    ::rmdir(QFile::encodeName(folder).constData());
}

} // namespace TempFolder
