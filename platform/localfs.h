#pragma once
// Enumerating a local folder the way the listing code expects a folder search
// to behave: every entry including "." and "..", with attribute bits, the
// whole 64-bit size and the last-write time in UTC. Built on opendir/readdir
// and fstatat relative to the open folder, so that a folder of 100,000
// entries is read without a path lookup per entry.

#include <QString>

#include <cstdint>

namespace LocalFs {

// Attribute bits of a found entry.
constexpr std::uint32_t AttrReadOnly = 0x1; // the user may not write it
constexpr std::uint32_t AttrHidden = 0x2;   // its name begins with "."
constexpr std::uint32_t AttrFolder = 0x10;
constexpr std::uint32_t AttrNormal = 0x80; // a plain file with none of the bits above

struct FindData {
    QString name; // the bytes of the name as ByteName carries them
    std::uint32_t attributes = 0;
    std::int64_t size = 0;
    // Last write in 100-ns ticks since 1601-01-01 UTC.
    std::int64_t lastWrite = 0;
};

// The attribute bits of an entry from what the file system says of it.
std::uint32_t attributesOf(bool folder, bool hidden, bool writable);
// Seconds and nanoseconds since 1970 (UTC) as 100-ns ticks since 1601.
std::int64_t fileTimeFromUnix(std::int64_t seconds, std::int64_t nanoseconds);

// One search over one folder; the folder is closed when the search ends.
class FolderSearch {
public:
    enum Mode {
        Everything,
        // Only folders are wanted: other entries are skipped without a stat
        // where the folder's own listing already tells their type, and the
        // found folders carry no size or time.
        FoldersOnly,
    };
    explicit FolderSearch(const QString &folder, Mode mode = Everything);
    ~FolderSearch();
    FolderSearch(const FolderSearch &) = delete;
    FolderSearch &operator=(const FolderSearch &) = delete;

    // False when the folder could not be opened.
    bool isOpen() const { return m_dir != nullptr; }
    // The next entry; false at the end.
    bool next(FindData &found);

private:
    void *m_dir = nullptr; // the open DIR stream
    int m_fd = -1;
    Mode m_mode;
};

} // namespace LocalFs
