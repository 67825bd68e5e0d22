#include "platform/ftp/downloadfile.h"

#include "platform/pure/bytename.h"

#include <QFileInfo>

#include <cstdio>
#include <sys/stat.h>

namespace ftp {
namespace {

// The mode a new file of this user gets (0666 less the umask), or the mode
// of the file being replaced.
QFileDevice::Permissions targetPermissions(const QString &target)
{
    if (QFileInfo::exists(target))
        return QFile::permissions(target);
    const mode_t mask = ::umask(0);
    ::umask(mask);
    const mode_t mode = 0666 & ~mask;
    QFileDevice::Permissions permissions;
    const std::pair<mode_t, QFileDevice::Permission> bits[] = {
        {S_IRUSR, QFileDevice::ReadOwner}, {S_IWUSR, QFileDevice::WriteOwner},
        {S_IRGRP, QFileDevice::ReadGroup}, {S_IWGRP, QFileDevice::WriteGroup},
        {S_IROTH, QFileDevice::ReadOther}, {S_IWOTH, QFileDevice::WriteOther}};
    for (const auto &[bit, permission] : bits)
        if (mode & bit)
            permissions |= permission;
    return permissions;
}

} // namespace

DownloadFile::DownloadFile(const QString &target) : m_target(target) {}

DownloadFile::~DownloadFile()
{
    // An uncommitted temporary file removes itself; a new target that did
    // not arrive whole is removed here.
    if (m_new && !m_committed) {
        m_new->close();
        m_new->remove();
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
    const QFileInfo info(m_target);
    if (info.isDir())
        return false;
    // QFile cannot open a name whose bytes are not UTF-8; such a target is
    // reached only by the rename, which takes the name's own bytes.
    const bool rawName = ByteName::hasRawBytes(m_target);
    if (!rawName && !info.exists() && !info.isSymLink()) {
        m_new = std::make_unique<QFile>(m_target);
        if (m_new->open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return true;
        m_new.reset(); // made by someone else meanwhile: replace it safely
    }
    // ".name.XXXXXX.part" tells whose download it is; a name near the
    // length limit of the file system takes a short name instead.
    const QString folder = info.absolutePath() + QStringLiteral("/.");
    for (const QString &name :
         {info.fileName() + QStringLiteral(".XXXXXX.part"), QStringLiteral("XXXXXX.part")}) {
        // Where a name does not fit, Qt may make a file without any name
        // (O_TMPFILE), which cannot be renamed over the target.
        m_temporary = std::make_unique<QTemporaryFile>(folder + name);
        if (m_temporary->open() && !m_temporary->fileName().isEmpty())
            return true;
    }
    m_temporary.reset();
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
    m_temporary->setPermissions(targetPermissions(m_target));
    m_temporary->close();
    // rename() replaces the target in one step; QFile::rename would refuse
    // an existing target.
    const QByteArray from = QFile::encodeName(m_temporary->fileName());
    if (std::rename(from.constData(), ByteName::toBytes(m_target).constData()) != 0)
        return false;
    m_temporary->setAutoRemove(false);
    return true;
}

} // namespace ftp
