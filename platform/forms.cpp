#include "platform/forms.h"

#include <utility>
#include <vector>

namespace {
std::vector<std::pair<const void *, std::function<void()>>> &registry()
{
    static std::vector<std::pair<const void *, std::function<void()>>> forms;
    return forms;
}
} // namespace

namespace Forms {

void registerForm(const void *id, std::function<void()> unload)
{
    registry().emplace_back(id, std::move(unload));
}

void forgetForm(const void *id)
{
    auto &r = registry();
    for (auto it = r.begin(); it != r.end(); ++it) {
        if (it->first == id) {
            r.erase(it);
            return;
        }
    }
}

void unloadAll()
{
    // Deleting a window may delete windows it parents; each one leaves the
    // registry itself, so always take the newest that is still listed.
    while (!registry().empty()) {
        auto unload = registry().back().second;
        unload();
    }
}

} // namespace Forms
