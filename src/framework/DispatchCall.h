#pragma once
#include <windows.h>
#include <oaidl.h>

#include <optional>
#include <string>

namespace vb {

// The arguments and result slot of one IDispatch::Invoke call. Arguments are numbered in the
// order the caller wrote them (rgvarg holds them last-first); an argument the caller left out,
// or one past the end, reads as the "missing" error value.
class DispatchCall {
public:
    DispatchCall(const DISPPARAMS& params, VARIANT* result) noexcept;

    unsigned Count() const noexcept { return positional_; }
    const VARIANT& Arg(unsigned index) const noexcept;
    bool IsMissing(unsigned index) const noexcept;
    // The value of a property assignment.
    const VARIANT& PutValue() const noexcept;

    std::optional<long> Long(unsigned index) const noexcept;
    std::optional<unsigned long> ULong(unsigned index) const noexcept;
    std::optional<bool> Bool(unsigned index) const noexcept;
    std::optional<std::wstring> Text(unsigned index) const;

    VARIANT* Result() noexcept { return result_; }
    HRESULT Return(long value) noexcept;
    HRESULT ReturnShort(SHORT value) noexcept;
    HRESULT Return(const std::wstring& text) noexcept;
    // BOOL results travel as VT_BOOL so that scripts see True and False.
    HRESULT ReturnBool(bool value) noexcept;
    // Takes over one reference of `object`; null returns Nothing.
    HRESULT Return(IDispatch* object) noexcept;

private:
    const DISPPARAMS& params_;
    unsigned positional_;
    VARIANT* result_;
};

}  // namespace vb
