#pragma once
// Local paths byte for byte. A listed name keeps the bytes the file system
// gave it (see ByteName); Qt's file classes encode a path as UTF-8 and turn
// such bytes into U+FFFD, which names another file or none. Every command on
// a listed name reaches the file system through these calls, which pass the
// exact bytes, or hands Qt a path it can take (QtPath).

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

class QFile;

namespace LocalPath {

// The bytes of a carried path.
QByteArray toNative(const QString &path);
// The carried path of bytes the file system gave.
QString fromNative(const QByteArray &bytes);

// stat() (following links) or lstat(); false when there is nothing there.
bool status(const QString &path, struct stat &st, bool followLinks = true);
bool isDir(const QString &path);                   // a folder or a link to one
bool sameFile(const QString &a, const QString &b); // one file by device and inode

// mkdir with the user's default mode; false when anything is there.
bool makeFolder(const QString &path);
// Deletes an item for good: a folder with everything in it. Links are
// removed as links, never followed.
bool removeForGood(const QString &path);

enum class OpenResult { Opened, NotRegular, Failed };
// Opens a regular file (or a link to one) for reading into file. Anything
// else (a FIFO, a socket, a device, a folder) is never opened: a FIFO would
// block until a writer appears.
OpenResult openForReading(const QString &path, QFile &file);

// A path to an existing item that Qt's own classes (QFileInfo, QMimeDatabase,
// QFileIconProvider, QFile) can take: the path itself where its bytes are
// valid UTF-8, else the item held open and reached through /proc/self/fd.
// Links are followed, as QFileInfo follows them. Empty when the path's bytes
// are not valid UTF-8 and nothing is there.
class QtPath {
public:
    explicit QtPath(const QString &path);
    ~QtPath();
    QtPath(const QtPath &) = delete;
    QtPath &operator=(const QtPath &) = delete;
    const QString &path() const { return m_path; }

private:
    QString m_path;
    int m_fd = -1;
};

} // namespace LocalPath
