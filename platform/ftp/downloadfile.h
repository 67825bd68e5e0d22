#pragma once
// The local side of a download: the bytes go into a temporary file beside
// the target, made exclusively for this download, which replaces the target
// (one rename) only when the whole file arrived. A download that fails or
// is cut never touches the target, new or existing, and leaves no temporary
// file; a program killed mid-download leaves at most its hidden temporary
// file, never a partial file under the target's name.
//
// No fsync() before the rename (QSaveFile calls it on commit, which makes a
// large download on loopback take twice as long as the transfer itself); a
// rename over an existing file is safe on the usual Linux file systems
// without it.

#include <QByteArray>
#include <QString>

#include <sys/types.h>

namespace ftp {

class DownloadFile {
public:
    explicit DownloadFile(const QString &target);
    ~DownloadFile();
    DownloadFile(const DownloadFile &) = delete;
    DownloadFile &operator=(const DownloadFile &) = delete;

    bool open();
    bool write(const char *bytes, qint64 length);
    // Renames the temporary file over the target; false leaves the target as
    // it was and removes the temporary file.
    bool commit();

    // The temporary name of `target` made from `random` (the target's name
    // hidden, with the random part and ".part"); a short hidden name where
    // the target's name is too long to take these additions.
    static QByteArray temporaryName(const QByteArray &target, const QByteArray &random);

private:
    void discard();

    QByteArray m_target;
    QByteArray m_temporary;
    int m_fd = -1;
    mode_t m_mode = 0; // the mode of the file being replaced; 0 for a new one
    bool m_failed = false;
};

} // namespace ftp
