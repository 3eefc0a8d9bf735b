#pragma once
#include <windows.h>
#include <oleauto.h>

#include <optional>
#include <string>

namespace vb {

// Owns one VARIANT and converts it the way automation callers expect.
class Variant {
public:
    Variant() noexcept { ::VariantInit(&value_); }
    explicit Variant(long value) noexcept;
    explicit Variant(const std::wstring& text);
    ~Variant() { ::VariantClear(&value_); }

    Variant(const Variant& other);
    Variant& operator=(const Variant& other);
    Variant(Variant&& other) noexcept;
    Variant& operator=(Variant&& other) noexcept;

    static Variant Copy(const VARIANT& source);
    static Variant Bool(bool value) noexcept;
    // The value automation callers pass for an argument they left out.
    static Variant Missing() noexcept;

    VARIANT* Get() noexcept { return &value_; }
    const VARIANT* Get() const noexcept { return &value_; }
    VARIANT* Put() noexcept;
    VARIANT Detach() noexcept;
    VARTYPE Type() const noexcept { return V_VT(&value_); }

private:
    VARIANT value_;
};

// Conversions of one VARIANT (possibly by reference); nothing when it does not convert,
// which also covers a missing optional argument.
bool IsMissing(const VARIANT& value) noexcept;
std::optional<long> ToLong(const VARIANT& value) noexcept;
std::optional<SHORT> ToShort(const VARIANT& value) noexcept;
std::optional<unsigned long> ToULong(const VARIANT& value) noexcept;
std::optional<bool> ToBool(const VARIANT& value) noexcept;
std::optional<std::wstring> ToText(const VARIANT& value);
// The object a value holds (directly or by reference), without adding a reference; null for
// anything else.
IDispatch* ToDispatch(const VARIANT& value) noexcept;

}  // namespace vb
