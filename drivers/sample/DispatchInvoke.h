#pragma once
// Calls into the bench's automation objects the way a script would: by dispid through
// IDispatch::Invoke, as a method or property get, arguments given in written order.
#include "ComPtr.h"
#include "Variant.h"

#include <oaidl.h>

#include <vector>

namespace vb::sample {

HRESULT InvokeMember(IDispatch* object, DISPID member, const std::vector<vb::Variant>& arguments,
                     vb::Variant& result);

// A member without arguments whose result converts to a 32-bit integer.
HRESULT ReadLong(IDispatch* object, DISPID member, long& value);

// A member without arguments that answers an automation object.
HRESULT ReadObject(IDispatch* object, DISPID member, vb::ComPtr<IDispatch>& value);

}  // namespace vb::sample
