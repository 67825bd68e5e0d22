#include "platform/localfs.h"

#include "platform/localpath.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace LocalFs {

namespace {
// Seconds between 1601-01-01 and 1970-01-01.
constexpr std::int64_t EpochDifference = 11644473600LL;
constexpr std::int64_t TicksPerSecond = 10000000LL;

// Whether an entry is a folder (or a link to one). The folder's own listing
// names the type of most entries, so a stat is needed only for links and
// file systems that do not tell.
bool isFolderEntry(int dirFd, const dirent *e)
{
    if (e->d_type == DT_DIR)
        return true;
    if (e->d_type != DT_LNK && e->d_type != DT_UNKNOWN)
        return false;
    struct stat st {};
    return ::fstatat(dirFd, e->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}
} // namespace

std::uint32_t attributesOf(bool folder, bool hidden, bool writable)
{
    std::uint32_t a = 0;
    if (folder)
        a |= AttrFolder;
    if (hidden)
        a |= AttrHidden;
    if (!writable)
        a |= AttrReadOnly;
    return a ? a : AttrNormal;
}

std::int64_t fileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds)
{
    return (seconds + EpochDifference) * TicksPerSecond + nanoseconds / 100;
}

FolderSearch::FolderSearch(const QString &folder, Mode mode) : m_mode(mode)
{
    const QByteArray path = LocalPath::toNative(folder.isEmpty() ? QStringLiteral(".") : folder);
    m_fd = ::open(path.constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m_fd < 0)
        return;
    m_dir = ::fdopendir(m_fd);
    if (!m_dir) {
        ::close(m_fd);
        m_fd = -1;
    }
}

FolderSearch::~FolderSearch()
{
    if (m_dir)
        ::closedir(static_cast<DIR *>(m_dir)); // closes m_fd too
}

bool FolderSearch::next(FindData &found)
{
    if (!m_dir)
        return false;
    for (;;) {
        const dirent *e = ::readdir(static_cast<DIR *>(m_dir));
        if (!e)
            return false;
        const bool hidden = e->d_name[0] == '.';
        if (m_mode == FoldersOnly) {
            if (!isFolderEntry(m_fd, e))
                continue;
            found.name = LocalPath::fromNative(QByteArray(e->d_name));
            found.attributes = attributesOf(true, hidden, true);
            found.size = 0;
            found.lastWrite = 0;
            return true;
        }
        struct stat st {};
        bool known = ::fstatat(m_fd, e->d_name, &st, 0) == 0;
        if (!known) // a link that leads nowhere is shown as the link itself
            known = ::fstatat(m_fd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0;
        const bool folder = known ? S_ISDIR(st.st_mode) : e->d_type == DT_DIR;
        const bool writable = ::faccessat(m_fd, e->d_name, W_OK, AT_EACCESS) == 0;
        found.name = LocalPath::fromNative(QByteArray(e->d_name));
        found.attributes = attributesOf(folder, hidden, writable);
        found.size = known && !folder ? std::int64_t(st.st_size) : 0;
        found.lastWrite = known ? fileTimeFromUnix(st.st_mtim.tv_sec, st.st_mtim.tv_nsec) : 0;
        return true;
    }
}

} // namespace LocalFs
