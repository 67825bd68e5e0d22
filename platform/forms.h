#pragma once
// Every window of the program exists once: created on first use through its
// accessor (which runs its load handler) and kept until shut-down. Tests
// unload all windows between cases with Forms::unloadAll().

#include <functional>

namespace Forms {
// Called by each window when it is created; unload deletes it.
void registerForm(const void *id, std::function<void()> unload);
void forgetForm(const void *id);
// Deletes every window that is still alive, newest first.
void unloadAll();
} // namespace Forms

// Base of a single-instance window class T: T::instance() creates it (and
// runs T::Form_Load) on first use. T must be default-constructible and have
// a Form_Load() member.
template <class T> class SingleInstance {
public:
    static T &instance()
    {
        if (!s_instance) {
            s_instance = new T;
            Forms::registerForm(&s_instance, [] { delete s_instance; });
            s_instance->Form_Load();
        }
        return *s_instance;
    }
    static bool exists() { return s_instance != nullptr; }
    static void unload() { delete s_instance; }

protected:
    SingleInstance() = default;
    ~SingleInstance()
    {
        Forms::forgetForm(&s_instance);
        s_instance = nullptr;
    }

private:
    static inline T *s_instance = nullptr;
};
