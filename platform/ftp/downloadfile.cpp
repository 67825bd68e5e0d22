#include "platform/ftp/downloadfile.h"

#include "platform/pure/bytename.h"

#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace ftp {
namespace {

// The longest name of one folder entry on the usual Linux file systems.
constexpr qsizetype kNameMax = 255;

QByteArray randomPart()
{
    static const char digits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
    QByteArray part(8, Qt::Uninitialized);
    for (char &c : part)
        c = digits[QRandomGenerator::global()->bounded(int(sizeof digits - 1))];
    return part;
}

} // namespace

// The target is reached by its bytes: a folder or name whose bytes are not
// valid UTF-8 would name another file through Qt's paths.
DownloadFile::DownloadFile(const QString &target) : m_target(ByteName::toBytes(target)) {}

DownloadFile::~DownloadFile()
{
    discard();
}

QByteArray DownloadFile::temporaryName(const QByteArray &target, const QByteArray &random)
{
    const qsizetype slash = target.lastIndexOf('/');
    const QByteArray folder = target.left(slash + 1);
    const QByteArray name = target.mid(slash + 1);
    const QByteArray suffix = '.' + random + ".part";
    if (1 + name.size() + suffix.size() <= kNameMax)
        return folder + '.' + name + suffix;
    return folder + '.' + random + ".part";
}

bool DownloadFile::open()
{
    if (m_fd >= 0 || m_target.isEmpty() || m_target.endsWith('/'))
        return false;
    struct stat st;
    if (::stat(m_target.constData(), &st) == 0) {
        if (S_ISDIR(st.st_mode))
            return false;
        m_mode = st.st_mode & 07777;
    }
    // O_EXCL: a name someone else holds is never written into; a new random
    // part is tried instead.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const QByteArray name = temporaryName(m_target, randomPart());
        m_fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (m_fd >= 0) {
            m_temporary = name;
            return true;
        }
        if (errno != EEXIST)
            return false;
    }
    return false;
}

bool DownloadFile::write(const char *bytes, qint64 length)
{
    while (!m_failed && length > 0) {
        const ssize_t n = m_fd < 0 ? -1 : ::write(m_fd, bytes, size_t(length));
        if (n < 0 && errno == EINTR)
            continue;
        m_failed = n <= 0;
        if (n > 0) {
            bytes += n;
            length -= n;
        }
    }
    return !m_failed;
}

bool DownloadFile::commit()
{
    if (m_fd < 0 || m_failed)
        return false;
    // The replaced file's permissions carry over; a new file has the mode
    // open() gave it (0666 less the umask).
    if (m_mode != 0)
        ::fchmod(m_fd, m_mode);
    const int fd = m_fd;
    m_fd = -1;
    // close() reports a write the file system could not complete (NFS,
    // quota): that file is not whole.
    if (::close(fd) != 0 || std::rename(m_temporary.constData(), m_target.constData()) != 0) {
        discard();
        return false;
    }
    m_temporary.clear();
    return true;
}

void DownloadFile::discard()
{
    if (m_fd >= 0) {
        ::close(m_fd);
        m_fd = -1;
    }
    if (!m_temporary.isEmpty()) {
        ::unlink(m_temporary.constData());
        m_temporary.clear();
    }
}

} // namespace ftp
