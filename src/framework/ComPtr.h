#pragma once
#include <windows.h>
#include <unknwn.h>

#include <utility>

namespace vb {

// Owns one COM reference.
template <class T>
class ComPtr {
public:
    ComPtr() noexcept = default;
    ComPtr(std::nullptr_t) noexcept {}
    // Takes a new reference on the pointer; use Attach to adopt one that is already counted.
    explicit ComPtr(T* pointer) noexcept : pointer_(pointer) {
        if (pointer_) pointer_->AddRef();
    }
    ~ComPtr() { Reset(); }

    ComPtr(const ComPtr& other) noexcept : ComPtr(other.pointer_) {}
    ComPtr& operator=(const ComPtr& other) noexcept {
        ComPtr(other).Swap(*this);
        return *this;
    }
    ComPtr(ComPtr&& other) noexcept : pointer_(other.Detach()) {}
    ComPtr& operator=(ComPtr&& other) noexcept {
        ComPtr(std::move(other)).Swap(*this);
        return *this;
    }

    static ComPtr Attach(T* pointer) noexcept {
        ComPtr result;
        result.pointer_ = pointer;
        return result;
    }
    T* Detach() noexcept { return std::exchange(pointer_, nullptr); }
    void Reset() noexcept {
        if (T* old = std::exchange(pointer_, nullptr)) old->Release();
    }
    void Swap(ComPtr& other) noexcept { std::swap(pointer_, other.pointer_); }

    T* Get() const noexcept { return pointer_; }
    T* operator->() const noexcept { return pointer_; }
    explicit operator bool() const noexcept { return pointer_ != nullptr; }

    // For out parameters: releases what is held and hands out the slot.
    T** Put() noexcept {
        Reset();
        return &pointer_;
    }

    template <class U>
    ComPtr<U> As(REFIID iid) const noexcept {
        ComPtr<U> result;
        if (pointer_) pointer_->QueryInterface(iid, reinterpret_cast<void**>(result.Put()));
        return result;
    }

private:
    T* pointer_ = nullptr;
};

}  // namespace vb
