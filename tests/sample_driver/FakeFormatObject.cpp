#include "FakeFormatObject.h"

namespace vb::test {

HRESULT FakeFormatObject::Call(DISPID member, WORD flags, const std::vector<VARIANT>& arguments, VARIANT& result) {
    if (member == failingMember) return E_FAIL;
    if (!(flags & DISPATCH_PROPERTYGET) || !arguments.empty()) return DISP_E_MEMBERNOTFOUND;
    const long* value = member == 3 ? &pageHeight
                        : member == 4 ? &pageWidth
                        : member == 5 ? &labelHeight
                        : member == 6 ? &labelWidth
                                      : nullptr;
    if (!value) return DISP_E_MEMBERNOTFOUND;
    V_VT(&result) = VT_I4;
    V_I4(&result) = *value;
    return S_OK;
}

}  // namespace vb::test
