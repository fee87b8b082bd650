#pragma once

#include <unknwn.h>

#include <utility>

namespace win {

/// Move-only owner of one counted COM reference. `copy()` makes a second
/// owner with its own reference; `query()` asks for another interface.
template <typename T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    ~ComPtr() { reset(); }

    ComPtr(const ComPtr&) = delete;
    ComPtr& operator=(const ComPtr&) = delete;
    ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        if (this != &other) attach(std::exchange(other.ptr_, nullptr));
        return *this;
    }

    /// Takes over a reference the caller already owns.
    static ComPtr adopt(T* p) noexcept {
        ComPtr r;
        r.ptr_ = p;
        return r;
    }
    /// Adds a reference of its own to `p`.
    static ComPtr share(T* p) noexcept {
        if (p) p->AddRef();
        return adopt(p);
    }

    T* get() const noexcept { return ptr_; }
    T* operator->() const noexcept { return ptr_; }
    explicit operator bool() const noexcept { return ptr_ != nullptr; }

    ComPtr copy() const noexcept { return share(ptr_); }
    void reset() noexcept { attach(nullptr); }
    T* detach() noexcept { return std::exchange(ptr_, nullptr); }
    /// Releases the current reference and hands out the slot for a callee
    /// that returns a new reference.
    T** put() noexcept {
        reset();
        return &ptr_;
    }
    /// The slot as `void**`, for QueryInterface and CoCreateInstance.
    void** putVoid() noexcept { return reinterpret_cast<void**>(put()); }

    /// QueryInterface for `U`; `hr` receives the call's result when given.
    template <typename U>
    ComPtr<U> query(const IID& iid, HRESULT* hr = nullptr) const noexcept {
        ComPtr<U> r;
        HRESULT result = ptr_ ? ptr_->QueryInterface(iid, r.putVoid()) : E_POINTER;
        if (hr) *hr = result;
        return r;
    }

private:
    void attach(T* p) noexcept {
        T* old = std::exchange(ptr_, p);
        if (old) old->Release();
    }
    T* ptr_ = nullptr;
};

}  // namespace win
