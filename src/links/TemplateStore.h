// The template store: one process-wide instance per map and template
// converter class. Setting a map or template property fills the instance
// (creating it on first use); the template methods send the instances and
// destroy them. All controls of the process share the instances, on the
// host's one thread, without a guard.
#pragma once

#include <memory>
#include <vector>

class CTemplateStore {
public:
    // The instance of T, created empty on first use.
    template <class T>
    static T& Instance() {
        std::unique_ptr<T>& slot = Slot<T>();
        if (!slot) {
            slot = std::make_unique<T>();
            Discarders().push_back(&Discard<T>);
        }
        return *slot;
    }
    // The instance of T, or null when there is none.
    template <class T>
    static T* Find() noexcept {
        return Slot<T>().get();
    }
    template <class T>
    static void Discard() noexcept {
        Slot<T>().reset();
    }

    // Destroys every instance there is.
    static void DiscardAll() noexcept {
        std::vector<void (*)()> discarders;
        discarders.swap(Discarders());
        for (auto discard : discarders) discard();
    }

private:
    static std::vector<void (*)()>& Discarders() noexcept {
        static std::vector<void (*)()> discarders;
        return discarders;
    }
    template <class T>
    static std::unique_ptr<T>& Slot() noexcept {
        static std::unique_ptr<T> slot;
        return slot;
    }
};
