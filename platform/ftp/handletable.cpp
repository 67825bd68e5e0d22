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

std::optional<HandleObject> HandleTable::take(HINTERNET handle)
{
    QMutexLocker lock(&m_mutex);
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
