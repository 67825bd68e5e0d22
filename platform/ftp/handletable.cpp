#include "platform/ftp/handletable.h"

#include <limits>

namespace ftp {

HINTERNET HandleTable::add(HandleObject object)
{
    QMutexLocker lock(&m_mutex);
    if (m_next == std::numeric_limits<HINTERNET>::max())
        return 0;
    const HINTERNET handle = m_next++;
    m_objects.emplace(handle, std::move(object));
    return handle;
}

namespace {

struct KeptUpload {
    HINTERNET handle = 0;
    std::uint64_t taken = 0;
    std::shared_ptr<FtpUpload> upload;
};
thread_local KeptUpload kept;

} // namespace

FtpUpload *HandleTable::findUpload(HINTERNET handle)
{
    // Read before the look-up: a take() after it makes the kept one stale.
    const std::uint64_t taken = m_taken.load(std::memory_order_acquire);
    if (kept.handle != handle || kept.taken != taken) {
        kept.upload = find<FtpUpload>(handle);
        kept.handle = handle;
        kept.taken = taken;
    }
    return kept.upload.get();
}

std::optional<HandleObject> HandleTable::take(HINTERNET handle)
{
    if (kept.handle == handle)
        kept = KeptUpload(); // a closed upload is not kept alive here
    QMutexLocker lock(&m_mutex);
    m_taken.fetch_add(1, std::memory_order_acq_rel);
    const auto it = m_objects.find(handle);
    if (it == m_objects.end())
        return std::nullopt;
    HandleObject object = std::move(it->second);
    m_objects.erase(it);
    return object;
}

HandleTable &handleTable()
{
    static HandleTable table;
    return table;
}

} // namespace ftp
