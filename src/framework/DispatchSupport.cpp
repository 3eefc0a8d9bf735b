#include "AutomationObject.h"

#include <string>

#include "Resources.h"
#include "ResourceIds.h"
#include "Strings.h"

namespace vb {

HRESULT DispatchSupport::NotSupported(HRESULT code, EXCEPINFO* info) noexcept {
    if (info) {
        *info = EXCEPINFO{};
        info->scode = code;
        try {
            std::wstring source = LoadResString(IDS_APP_TITLE);
            std::wstring text = LoadResString(code == kSetNotSupported ? IDS_SET_NOT_SUPPORTED : IDS_GET_NOT_SUPPORTED);
            info->bstrSource = ::SysAllocString(source.c_str());
            info->bstrDescription = ::SysAllocString(text.c_str());
        } catch (...) {
            // The code alone still tells the caller what went wrong.
        }
    }
    return DISP_E_EXCEPTION;
}

bool DispatchSupport::NameMatches(const wchar_t* memberName, const OLECHAR* requested) noexcept {
    return requested && EqualsNoCase(memberName, requested);
}

}  // namespace vb
