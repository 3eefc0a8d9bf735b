#include "FakeDispatch.h"

namespace vb::test {

HRESULT FakeDispatch::QueryInterface(REFIID iid, void** object) {
    if (iid != IID_IUnknown && iid != IID_IDispatch) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IDispatch*>(this);
    AddRef();
    return S_OK;
}

ULONG FakeDispatch::AddRef() { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }

ULONG FakeDispatch::Release() {
    LONG left = ::InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

HRESULT FakeDispatch::GetTypeInfoCount(UINT* count) {
    *count = 0;
    return S_OK;
}

HRESULT FakeDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
    *info = nullptr;
    return DISP_E_BADINDEX;
}

HRESULT FakeDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return DISP_E_UNKNOWNNAME; }

HRESULT FakeDispatch::Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                             EXCEPINFO*, UINT*) {
    std::vector<VARIANT> arguments(parameters->rgvarg, parameters->rgvarg + parameters->cArgs);
    std::vector<VARIANT> written(arguments.rbegin(), arguments.rend());
    VARIANT answer;
    ::VariantInit(&answer);
    HRESULT hr = Call(member, flags, written, answer);
    if (result)
        *result = answer;
    else
        ::VariantClear(&answer);
    return hr;
}

}  // namespace vb::test
