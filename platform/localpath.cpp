#include "platform/localpath.h"

#include "platform/pure/bytename.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <ftw.h>
#include <unistd.h>

namespace LocalPath {

namespace {

int removeEntry(const char *path, const struct stat *, int type, struct FTW *)
{
    const int result = type == FTW_DP ? ::rmdir(path) : ::unlink(path);
    return result == 0 ? 0 : -1;
}

} // namespace

QByteArray toNative(const QString &path)
{
    return ByteName::toBytes(path);
}

QString fromNative(const QByteArray &bytes)
{
    return ByteName::fromBytes(bytes);
}

bool status(const QString &path, struct stat &st, bool followLinks)
{
    if (path.isEmpty())
        return false;
    const QByteArray p = toNative(path);
    return (followLinks ? ::stat(p.constData(), &st) : ::lstat(p.constData(), &st)) == 0;
}

bool isDir(const QString &path)
{
    struct stat st {};
    return status(path, st) && S_ISDIR(st.st_mode);
}

bool sameFile(const QString &a, const QString &b)
{
    struct stat sa {
    }, sb{};
    return status(a, sa) && status(b, sb) && sa.st_dev == sb.st_dev && sa.st_ino == sb.st_ino;
}

bool makeFolder(const QString &path)
{
    return !path.isEmpty() && ::mkdir(toNative(path).constData(), 0777) == 0;
}

bool removeForGood(const QString &path)
{
    struct stat st {};
    if (!status(path, st, false))
        return false;
    const QByteArray p = toNative(path);
    if (!S_ISDIR(st.st_mode))
        return ::unlink(p.constData()) == 0;
    // Depth first, on the physical tree: a link inside is removed as a link.
    return ::nftw(p.constData(), removeEntry, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

OpenResult openForReading(const QString &path, QFile &file)
{
    struct stat st {};
    if (!status(path, st))
        return OpenResult::Failed;
    if (!S_ISREG(st.st_mode))
        return OpenResult::NotRegular;
    // O_NONBLOCK: should a FIFO take the file's place meanwhile, the open
    // returns at once and the check below refuses it.
    const int fd = ::open(toNative(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        return OpenResult::Failed;
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return OpenResult::NotRegular;
    }
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (!file.open(fd, QIODevice::ReadOnly, QFileDevice::AutoCloseHandle)) {
        ::close(fd);
        return OpenResult::Failed;
    }
    return OpenResult::Opened;
}

QtPath::QtPath(const QString &path)
{
    if (!ByteName::hasRawBytes(path)) {
        m_path = path;
        return;
    }
    m_fd = ::open(toNative(path).constData(), O_PATH | O_CLOEXEC);
    if (m_fd >= 0)
        m_path = QStringLiteral("/proc/self/fd/") + QString::number(m_fd);
}

QtPath::~QtPath()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

} // namespace LocalPath
