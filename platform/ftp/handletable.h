#pragma once
// The table behind the integer handles of the FTP layer. Handles count up
// from 1 and are never reused within a run, so a stale handle can never
// reach an object made later; a closed or unknown handle finds nothing.

#include "platform/wininet.h"

#include <QMutex>
#include <QString>

#include <atomic>
#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <variant>
#include <vector>

namespace ftp {

class FtpConnection;
class FtpUpload;

struct InternetSession {
    QString agent;
};

struct FindWalk {
    std::vector<WIN32_FIND_DATA> entries;
    std::size_t next = 0;
};

using HandleObject = std::variant<std::shared_ptr<InternetSession>, std::shared_ptr<FtpConnection>,
                                  std::shared_ptr<FindWalk>, std::shared_ptr<FtpUpload>>;

class HandleTable {
public:
    // 0 when the handles of this run are used up.
    HINTERNET add(HandleObject object);

    // The object of `handle` when it is of type T, else null.
    template <typename T> std::shared_ptr<T> find(HINTERNET handle) const
    {
        QMutexLocker lock(&m_mutex);
        const auto it = m_objects.find(handle);
        if (it == m_objects.end())
            return nullptr;
        const auto *object = std::get_if<std::shared_ptr<T>>(&it->second);
        return object ? *object : nullptr;
    }

    // The upload of `handle`, or null: find<FtpUpload> for InternetWriteFile,
    // which the program calls per 255 bytes. The object found is kept per
    // thread and found again without a lock or a count, until any handle
    // is taken; it stays valid until the next call on this thread.
    FtpUpload *findUpload(HINTERNET handle);
    // Removes the handle; the object, if any, is handed back to be closed.
    std::optional<HandleObject> take(HINTERNET handle);

private:
    mutable QMutex m_mutex;
    std::map<HINTERNET, HandleObject> m_objects;
    std::atomic<std::uint64_t> m_taken{0}; // counts take(): a kept upload is stale
    HINTERNET m_next = 1;
};

HandleTable &handleTable();

} // namespace ftp
