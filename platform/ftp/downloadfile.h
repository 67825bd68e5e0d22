#pragma once
// The local side of a download: the bytes go into a temporary file beside
// the target, which replaces the target (one rename) only when the whole
// file arrived. A download that fails or is cut never touches an existing
// target and leaves no temporary file.
//
// A target that does not exist yet is written under its own name, made
// exclusively for this download and removed again when it fails: there is
// no good file to protect, and a file system spends a fraction of the work
// on one new file that it spends on a temporary file, a link and a rename.
//
// QSaveFile does the same but calls fsync() on commit, which makes a large
// download on loopback take twice as long as the transfer itself; a rename
// over an existing file is safe on the usual Linux file systems without it.
//
// The target is reached by its bytes (ByteName): a folder or name whose
// bytes are not valid UTF-8 would name another file through Qt's paths.

#include <QByteArray>
#include <QFile>
#include <QString>

#include <memory>

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

private:
    QString m_target;
    QByteArray m_path; // the target's bytes
    QFileDevice *file() const;

    std::unique_ptr<QFile> m_temporary;
    QByteArray m_temporaryPath;
    std::unique_ptr<QFile> m_new; // the target itself, made by this download
    bool m_committed = false;
    bool m_failed = false;
};

} // namespace ftp
