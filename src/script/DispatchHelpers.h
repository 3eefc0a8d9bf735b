#pragma once
// Small routines shared by the script host's COM objects.
#include <windows.h>
#include <oaidl.h>

namespace vb {

// The integer value of a VARIANT as the script host reads indexes and counts: a VARIANT by
// reference is followed, doubles are truncated, anything else is converted to a 32-bit or
// 64-bit integer (low half kept); 0 for null or when nothing converts.
long VariantToLong(const VARIANT* value) noexcept;

// IDispatch::Invoke with the user's locale and no exception record. A property write passes
// its one value as the named DISPID_PROPERTYPUT argument. The arguments stay the caller's.
HRESULT InvokeDispatch(IDispatch* object, DISPID id, WORD flags, VARIANT* args, UINT count, VARIANT* result) noexcept;

// Puts an object into `out` as VT_DISPATCH when it has IDispatch, else as VT_UNKNOWN; one new
// reference is handed to `out`. False (and `out` left empty) when it has neither.
bool SetObjectVariant(IUnknown* object, VARIANT* out) noexcept;

}  // namespace vb
