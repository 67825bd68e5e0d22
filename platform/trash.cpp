#include "platform/trash.h"

#include "platform/dialogs.h"
#include "platform/localpath.h"
#include "platform/pure/bytename.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStorageInfo>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

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
    if (::lstat(LocalPath::toNative(path).constData(), &st) != 0)
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
    return ::access(LocalPath::toNative(path).constData(), W_OK | X_OK) == 0;
}

bool isOwnFolder(const QString &path)
{
    struct stat st {};
    return ::lstat(LocalPath::toNative(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           st.st_uid == ::getuid();
}

// A folder (not a link to one) with the sticky bit, as a shared trash must be.
bool isStickyFolder(const QString &path)
{
    struct stat st {};
    return ::lstat(LocalPath::toNative(path).constData(), &st) == 0 && S_ISDIR(st.st_mode) &&
           (st.st_mode & S_ISVTX);
}

// The top folder of the item's file system. Qt cannot take a folder whose
// bytes are not valid UTF-8; the nearest folder above it that it can take
// lies on the same file system (mount points have plain names).
QString topOf(const QString &path)
{
    QString folder = QFileInfo(path).absolutePath();
    while (ByteName::hasRawBytes(folder) && folder.size() > 1)
        folder = QFileInfo(folder).absolutePath();
    return QStorageInfo(folder).rootPath();
}

// A trash at the top of the item's own file system: $top/.Trash/$uid below a
// shared sticky .Trash folder, or $top/.Trash-$uid.
bool topTrashAvailable(const QString &path)
{
    const QString top = topOf(path);
    if (top.isEmpty())
        return false;
    const QString uid = QString::number(::getuid());
    const QString shared = top + QLatin1String("/.Trash");
    if (isStickyFolder(shared)) {
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

// The trash folder for an item on another file system than the home trash:
// $top/.Trash/$uid, else $top/.Trash-$uid, made when missing.
QString topTrashFolder(const QString &path)
{
    const QString top = topOf(path);
    if (top.isEmpty())
        return QString();
    const QString uid = QString::number(::getuid());
    const QString shared = top + QLatin1String("/.Trash");
    if (isStickyFolder(shared)) {
        const QString mine = shared + QLatin1Char('/') + uid;
        if (isOwnFolder(mine) ||
            (isWritableFolder(shared) && ::mkdir(LocalPath::toNative(mine).constData(), 0700) == 0))
            return mine;
    }
    const QString own = top + QLatin1String("/.Trash-") + uid;
    if (isOwnFolder(own) || ::mkdir(LocalPath::toNative(own).constData(), 0700) == 0)
        return own;
    return QString();
}

// Writes the record of the item into info/ and moves it into files/ under
// the same free name. Qt's own move cannot take a name whose bytes are not
// valid UTF-8: it would look for another file or none.
bool moveToTrashByBytes(const QString &path, const QString &trash)
{
    const QByteArray files = LocalPath::toNative(trash + QLatin1String("/files/"));
    const QByteArray info = LocalPath::toNative(trash + QLatin1String("/info/"));
    ::mkdir(files.constData(), 0700);
    ::mkdir(info.constData(), 0700);
    const QByteArray source = LocalPath::toNative(path);
    const QByteArray name = source.mid(source.lastIndexOf('/') + 1);
    const QByteArray record =
        "[Trash Info]\nPath=" + source.toPercentEncoding("/") +
        "\nDeletionDate=" + QDateTime::currentDateTime().toString(Qt::ISODate).toLatin1() + '\n';
    for (int n = 1; n < 10000; ++n) {
        const QByteArray free = n == 1 ? name : name + '.' + QByteArray::number(n);
        const QByteArray infoFile = info + free + ".trashinfo";
        // The record is made first and exclusively: it reserves the name.
        const int fd = ::open(infoFile.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST)
                continue;
            return false;
        }
        const bool written =
            ::write(fd, record.constData(), size_t(record.size())) == ssize_t(record.size());
        ::close(fd);
        const QByteArray target = files + free;
        struct stat st {};
        // rename() would replace an item left in files/ without its record.
        const bool taken = ::lstat(target.constData(), &st) == 0;
        if (written && !taken && ::rename(source.constData(), target.constData()) == 0)
            return true;
        ::unlink(infoFile.constData());
        if (!written || !taken)
            return false;
    }
    return false;
}

bool isLink(const QString &path)
{
    struct stat st {};
    return ::lstat(LocalPath::toNative(path).constData(), &st) == 0 && S_ISLNK(st.st_mode);
}

bool moveToTrash(const QString &path)
{
    // Qt's move follows a link: one that leads nowhere (or to itself) is
    // "not there", one to a device looks for the device's trash. The link
    // itself is what goes, so links take the move by bytes too.
    if (!ByteName::hasRawBytes(path) && !isLink(path))
        return QFile::moveToTrash(path);
    const QString trash = onHomeTrashDevice(path) ? homeTrash() : topTrashFolder(path);
    return !trash.isEmpty() && moveToTrashByBytes(path, trash);
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
        return moveToTrash(path) ? Outcome::Trashed : Outcome::Failed;
    }
    if (dialogs().MsgBox(permanentQuestion, MsgButtons::YesNo, MsgIcon::Exclamation) !=
        MsgAnswer::Yes)
        return Outcome::Kept;
    return LocalPath::removeForGood(path) ? Outcome::Deleted : Outcome::Failed;
}

void setNoTrashFolderForTests(const QString &folder)
{
    QString f = folder;
    while (f.size() > 1 && f.endsWith(QLatin1Char('/')))
        f.chop(1);
    noTrashFolder() = f;
}

} // namespace Trash
