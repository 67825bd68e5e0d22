#include "platform/ftp/downloadfile.h"

#include "platform/pure/bytename.h"

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ftp {
namespace {

// The mode of the file being replaced, or the mode a new file of this user
// gets (0666 less the umask).
mode_t targetMode(const QByteArray &target)
{
    struct stat st {};
    if (::stat(target.constData(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

// A file over an open descriptor, which it closes; nullptr (and the
// descriptor closed) when Qt does not take it.
std::unique_ptr<QFile> fileOf(int fd)
{
    auto file = std::make_unique<QFile>();
    if (file->open(fd, QIODevice::WriteOnly, QFileDevice::AutoCloseHandle))
        return file;
    ::close(fd);
    return nullptr;
}

} // namespace

DownloadFile::DownloadFile(const QString &target)
    : m_target(target), m_path(ByteName::toBytes(target))
{
}

DownloadFile::~DownloadFile()
{
    if (m_committed)
        return;
    // A new target that did not arrive whole, or the temporary file, is
    // removed here.
    if (m_new) {
        m_new->close();
        ::unlink(m_path.constData());
    }
    if (m_temporary) {
        m_temporary->close();
        ::unlink(m_temporaryPath.constData());
    }
}

QFileDevice *DownloadFile::file() const
{
    if (m_new)
        return m_new.get();
    return m_temporary.get();
}

bool DownloadFile::open()
{
    struct stat st {};
    if (m_path.isEmpty() || (::stat(m_path.constData(), &st) == 0 && S_ISDIR(st.st_mode)))
        return false;
    if (::lstat(m_path.constData(), &st) != 0) {
        const int fd = ::open(m_path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            m_new = fileOf(fd);
            if (m_new)
                return true;
            ::unlink(m_path.constData());
            return false;
        }
        // made by someone else meanwhile: replace it safely
    }
    // ".name.XXXXXX.part" tells whose download it is; a name near the
    // length limit of the file system takes a short name instead.
    const qsizetype slash = m_path.lastIndexOf('/');
    const QByteArray folder = m_path.left(slash + 1) + '.';
    for (QByteArray pattern :
         {folder + m_path.mid(slash + 1) + ".XXXXXX.part", folder + QByteArray("XXXXXX.part")}) {
        const int fd = ::mkostemps(pattern.data(), 5, O_CLOEXEC);
        if (fd < 0)
            continue;
        m_temporary = fileOf(fd);
        if (!m_temporary) {
            ::unlink(pattern.constData());
            return false;
        }
        m_temporaryPath = pattern;
        return true;
    }
    return false;
}

bool DownloadFile::write(const char *bytes, qint64 length)
{
    m_failed = m_failed || !file() || file()->write(bytes, length) != length;
    return !m_failed;
}

bool DownloadFile::commit()
{
    if (m_new) {
        if (m_failed || !m_new->flush())
            return false;
        m_new->close();
        m_committed = m_new->error() == QFileDevice::NoError;
        return m_committed;
    }
    if (m_failed || !m_temporary || !m_temporary->flush())
        return false;
    ::fchmod(m_temporary->handle(), targetMode(m_path));
    m_temporary->close();
    if (m_temporary->error() != QFileDevice::NoError)
        return false;
    // rename() replaces the target in one step.
    if (std::rename(m_temporaryPath.constData(), m_path.constData()) != 0)
        return false;
    m_committed = true;
    return true;
}

} // namespace ftp
