// A counted pointer to an automation interface.
//
// Building one from a raw pointer adds a reference; Attach takes over a
// reference without adding one; Detach hands the reference back without
// releasing it. The destructor releases, so references are released on every
// path, including when a ComponentError passes through.
#pragma once

#include <cstddef>
#include <type_traits>
#include <utility>

#include "platform/ComponentError.h"
#include "platform/InterfaceTraits.h"

template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    explicit ComPtr(T* p) noexcept : p_(p) {
        if (p_) p_->AddRef();
    }
    ComPtr(const ComPtr& other) noexcept : ComPtr(other.p_) {}
    ComPtr(ComPtr&& other) noexcept : p_(std::exchange(other.p_, nullptr)) {}
    // From a pointer to a derived interface (an upcast, not a query).
    template <class U>
        requires std::is_convertible_v<U*, T*>
    ComPtr(const ComPtr<U>& other) noexcept : ComPtr(static_cast<T*>(other.Get())) {}
    ~ComPtr() { Reset(); }

    ComPtr& operator=(const ComPtr& other) noexcept {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }
    ComPtr& operator=(std::nullptr_t) noexcept {
        Reset();
        return *this;
    }

    // Takes over a reference the caller owns; releases the one held before.
    void Attach(T* p) noexcept {
        T* old = std::exchange(p_, p);
        if (old) old->Release();
    }
    // Hands the reference to the caller, who must release it.
    [[nodiscard]] T* Detach() noexcept { return std::exchange(p_, nullptr); }
    void Reset() noexcept { Attach(nullptr); }
    // For out-parameters: releases what is held and returns the slot to fill.
    T** Receive() noexcept {
        Reset();
        return &p_;
    }
    void** ReceiveVoid() noexcept { return reinterpret_cast<void**>(Receive()); }

    T* Get() const noexcept { return p_; }
    T* operator->() const noexcept { return p_; }
    T& operator*() const noexcept { return *p_; }
    explicit operator bool() const noexcept { return p_ != nullptr; }
    void Swap(ComPtr& other) noexcept { std::swap(p_, other.p_); }

    // QueryInterface for U; returns the call's code and fills out (null on
    // failure, also when a misbehaving object answers success with null).
    template <class U>
    HRESULT As(ComPtr<U>& out) const noexcept {
        out.Reset();
        if (!p_) return E_POINTER;
        HRESULT hr = p_->QueryInterface(InterfaceTraits<U>::Iid(), out.ReceiveVoid());
        if (FAILED(hr)) out.Reset();
        return hr;
    }
    // QueryInterface for U; a failure or a null answer raises E_NOINTERFACE
    // or the call's own code, naming U.
    template <class U>
    ComPtr<U> Query() const {
        ComPtr<U> out;
        HRESULT hr = As(out);
        if (FAILED(hr) || !out) RaiseError(FAILED(hr) ? hr : E_NOINTERFACE, InterfaceTraits<U>::Id());
        return out;
    }
    // QueryInterface for U; null when it is not offered.
    template <class U>
    ComPtr<U> TryQuery() const noexcept {
        ComPtr<U> out;
        (void)As(out);
        return out;
    }

private:
    T* p_ = nullptr;
};

template <class T>
bool operator==(const ComPtr<T>& a, const ComPtr<T>& b) noexcept {
    return a.Get() == b.Get();
}
