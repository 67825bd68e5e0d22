#include "localpane/localfileops.h"

#include "platform/localpath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <vector>

namespace {

QByteArray native(const QString &path)
{
    return LocalPath::toNative(path);
}

bool copyLink(const QByteArray &from, const QByteArray &to)
{
    std::vector<char> target(4096);
    const ssize_t n = ::readlink(from.constData(), target.data(), target.size());
    if (n < 0 || size_t(n) >= target.size())
        return false;
    target[size_t(n)] = '\0';
    // symlink() fails for a path that exists: nothing is replaced.
    return ::symlink(target.data(), to.constData()) == 0;
}

bool copyBytes(int in, int out)
{
    std::vector<char> buffer(1 << 16);
    for (;;) {
        const ssize_t n = ::read(in, buffer.data(), buffer.size());
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t done = 0; done < n;) {
            const ssize_t w = ::write(out, buffer.data() + done, size_t(n - done));
            if (w < 0 && errno == EINTR)
                continue;
            if (w <= 0)
                return false;
            done += w;
        }
    }
}

} // namespace

bool CopyFileNoReplace(const QString &from, const QString &to)
{
    const QByteArray src = native(from), dst = native(to);
    struct stat st {};
    if (from.isEmpty() || to.isEmpty() || ::lstat(src.constData(), &st) != 0)
        return false;
    if (S_ISLNK(st.st_mode))
        return copyLink(src, dst);
    if (!S_ISREG(st.st_mode))
        return false;
    // Non-blocking and not through a link: should a FIFO or a link take the
    // file's place after the check above, the open returns at once and the
    // check of what was opened refuses it.
    const int in = ::open(src.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (in < 0)
        return false;
    if (::fstat(in, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(in);
        return false;
    }
    ::fcntl(in, F_SETFL, ::fcntl(in, F_GETFL) & ~O_NONBLOCK);
    // O_EXCL: the copy is made only where nothing is, so an existing file is
    // never touched, and whatever is there on failure is our own.
    const int out = ::open(dst.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (out < 0) {
        ::close(in);
        return false;
    }
    const timespec times[2] = {st.st_atim, st.st_mtim};
    bool ok = copyBytes(in, out);
    ok = ok && ::fchmod(out, st.st_mode & 07777) == 0;
    ok = ok && ::futimens(out, times) == 0;
    ok = ::close(out) == 0 && ok;
    ::close(in);
    if (!ok)
        ::unlink(dst.constData());
    return ok;
}

bool KillFile(const QString &path)
{
    const QByteArray p = native(path);
    struct stat st {};
    if (path.isEmpty() || ::lstat(p.constData(), &st) != 0 || S_ISDIR(st.st_mode))
        return false;
    // A read-only file is not deleted, as its attribute letter R promises,
    // also for a user (root) whom the file system would let delete it.
    if (S_ISREG(st.st_mode) &&
        ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(p.constData(), W_OK) != 0))
        return false;
    return ::unlink(p.constData()) == 0;
}

RenameOutcome RenameByCopy(const QString &from, const QString &to)
{
    if (!CopyFileNoReplace(from, to))
        return RenameOutcome::CopyFailed;
    if (!KillFile(from)) {
        ::unlink(native(to).constData());
        return RenameOutcome::DeleteFailed;
    }
    return RenameOutcome::Renamed;
}

bool IsPlainLocalName(const QString &name)
{
    return !name.isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0));
}

bool LocalPathExists(const QString &path)
{
    struct stat st {};
    return !path.isEmpty() && ::lstat(native(path).constData(), &st) == 0;
}

bool MakeLocalSubfolder(const QString &folder, const QString &name)
{
    // A name is a name in this folder: "../x" or "a/b" would make a folder
    // elsewhere.
    const QString created = folder + name;
    return IsPlainLocalName(name) && !LocalPathExists(created) && LocalPath::makeFolder(created);
}
