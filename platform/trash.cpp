#include "platform/trash.h"

#include "platform/dialogs.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <sys/stat.h>
#include <unistd.h>

namespace Trash {

namespace {

QString &noTrashFolder()
{
    static QString folder;
    return folder;
}

bool deviceOf(const QString &path, dev_t &device)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    device = st.st_dev;
    return true;
}

QString homeTrash()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QLatin1String("/Trash");
}

// The device of the home trash, or of the nearest folder above it that
// exists, since the trash is made on first use.
bool homeTrashDevice(dev_t &device)
{
    QString dir = homeTrash();
    while (!dir.isEmpty()) {
        if (deviceOf(dir, device))
            return true;
        const int slash = dir.lastIndexOf(QLatin1Char('/'));
        if (slash <= 0)
            return deviceOf(QStringLiteral("/"), device);
        dir.truncate(slash);
    }
    return false;
}

bool isWritableFolder(const QString &path)
{
    return ::access(QFile::encodeName(path).constData(), W_OK | X_OK) == 0;
}

bool isOwnFolder(const QString &path)
{
    struct stat st {};
    return ::lstat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid();
}

// A trash at the top of the item's own file system: $top/.Trash/$uid below a
// shared sticky .Trash folder, or $top/.Trash-$uid.
bool topTrashAvailable(const QString &path)
{
    const QString top = QStorageInfo(QFileInfo(path).absolutePath()).rootPath();
    if (top.isEmpty())
        return false;
    const QString uid = QString::number(::getuid());
    const QString shared = top + QLatin1String("/.Trash");
    struct stat st {};
    if (::lstat(QFile::encodeName(shared).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
        (st.st_mode & S_ISVTX)) {
        const QString mine = shared + QLatin1Char('/') + uid;
        if (isOwnFolder(mine) || isWritableFolder(shared))
            return true;
    }
    const QString own = top + QLatin1String("/.Trash-") + uid;
    return isOwnFolder(own) || (!QFileInfo::exists(own) && isWritableFolder(top));
}

// Makes the home trash with its two folders. Qt makes only the last level
// itself and, when the data folder above it is missing, moves the item into
// "files" below the current directory instead.
bool makeHomeTrash()
{
    const QString trash = homeTrash();
    if (!QDir().mkpath(trash + QLatin1String("/files")) ||
        !QDir().mkpath(trash + QLatin1String("/info")))
        return false;
    return QFile::setPermissions(trash, QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                            QFileDevice::ExeOwner);
}

bool onHomeTrashDevice(const QString &path)
{
    dev_t item = 0, home = 0;
    return deviceOf(path, item) && homeTrashDevice(home) && home == item;
}

bool deleteForGood(const QString &path)
{
    const QFileInfo info(path);
    if (info.isDir() && !info.isSymLink())
        return QDir(path).removeRecursively();
    return QFile::remove(path);
}

} // namespace

bool available(const QString &path)
{
    const QString &excluded = noTrashFolder();
    if (!excluded.isEmpty() && (path == excluded || path.startsWith(excluded + QLatin1Char('/'))))
        return false;
    dev_t item = 0;
    if (!deviceOf(path, item))
        return false;
    return onHomeTrashDevice(path) || topTrashAvailable(path);
}

Outcome remove(const QString &path, const QString &permanentQuestion)
{
    dev_t device = 0;
    if (!deviceOf(path, device))
        return Outcome::Failed;
    if (available(path)) {
        if (onHomeTrashDevice(path) && !makeHomeTrash())
            return Outcome::Failed;
        return QFile::moveToTrash(path) ? Outcome::Trashed : Outcome::Failed;
    }
    if (dialogs().MsgBox(permanentQuestion, MsgButtons::YesNo, MsgIcon::Exclamation) !=
        MsgAnswer::Yes)
        return Outcome::Kept;
    return deleteForGood(path) ? Outcome::Deleted : Outcome::Failed;
}

void setNoTrashFolderForTests(const QString &folder)
{
    QString f = folder;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    noTrashFolder() = f;
}

} // namespace Trash
