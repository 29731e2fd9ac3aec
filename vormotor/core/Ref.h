#pragma once

#include <cstddef>
#include <memory>
#include <utility>

#include "vormotor/core/Error.h"

namespace vor {

[[noreturn]] inline void ThrowObjectNotSet() {
    throw Error(error_number::ObjectNotSet, "VorMotorCtl", "Object variable not set");
}

// An object reference that may be null. Using a null reference raises the "Object variable
// not set" error instead of crashing, so a missing drive object fails like any other call and
// the caller's failure style decides what happens next.
template <class T>
class Ref {
public:
    Ref() = default;
    Ref(std::nullptr_t) {}
    template <class U>
    Ref(std::shared_ptr<U> object) : m_object(std::move(object)) {}

    T& operator*() const { return Deref(); }
    T* operator->() const { return &Deref(); }

    T& Deref() const {
        if (!m_object) {
            ThrowObjectNotSet();
        }
        return *m_object;
    }

    const std::shared_ptr<T>& Get() const noexcept { return m_object; }
    explicit operator bool() const noexcept { return m_object != nullptr; }
    bool IsNothing() const noexcept { return m_object == nullptr; }

    friend bool operator==(const Ref& ref, std::nullptr_t) noexcept { return ref.m_object == nullptr; }

private:
    std::shared_ptr<T> m_object;
};

// Ref(node->AccessLock())->Level(): a call through what a library handed out, which fails at
// that call, and only there, when the library handed out null.
template <class U>
Ref(std::shared_ptr<U>) -> Ref<U>;

}  // namespace vor
