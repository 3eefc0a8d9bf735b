#pragma once
#include <windows.h>
#include <oleauto.h>

#include <string>
#include <utility>

namespace vb {

// Owns one BSTR. Texts may hold embedded nulls, so lengths come from SysStringLen.
class Bstr {
public:
    Bstr() noexcept = default;
    explicit Bstr(const std::wstring& text)
        : value_(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()))) {}
    ~Bstr() { ::SysFreeString(value_); }

    Bstr(const Bstr& other) : value_(other.value_ ? ::SysAllocStringLen(other.value_, other.Length()) : nullptr) {}
    Bstr& operator=(const Bstr& other) {
        Bstr(other).Swap(*this);
        return *this;
    }
    Bstr(Bstr&& other) noexcept : value_(other.Detach()) {}
    Bstr& operator=(Bstr&& other) noexcept {
        Bstr(std::move(other)).Swap(*this);
        return *this;
    }

    static Bstr Attach(BSTR value) noexcept {
        Bstr result;
        result.value_ = value;
        return result;
    }
    BSTR Detach() noexcept { return std::exchange(value_, nullptr); }
    void Swap(Bstr& other) noexcept { std::swap(value_, other.value_); }

    BSTR Get() const noexcept { return value_; }
    BSTR* Put() noexcept {
        ::SysFreeString(std::exchange(value_, nullptr));
        return &value_;
    }
    UINT Length() const noexcept { return ::SysStringLen(value_); }
    std::wstring Str() const { return value_ ? std::wstring(value_, Length()) : std::wstring(); }

private:
    BSTR value_ = nullptr;
};

}  // namespace vb
