#pragma once
// Making the files and folders of a test in a real temporary folder.

#include <QDir>
#include <QFile>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>

namespace LocalFiles {

inline bool makeFile(const QString &path, std::int64_t size = 0)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly))
        return false;
    if (size > 0 && !f.resize(size)) // sparse: a 5 GiB file costs no disk
        return false;
    return true;
}

inline bool makeFolder(const QString &path)
{
    return QDir().mkpath(path);
}

// Sets the last-write time in seconds since 1970 (UTC).
inline bool setTime(const QString &path, std::int64_t seconds)
{
    const timespec times[2] = {{time_t(seconds), 0}, {time_t(seconds), 0}};
    return ::utimensat(AT_FDCWD, QFile::encodeName(path).constData(), times, 0) == 0;
}

} // namespace LocalFiles
