#pragma once
// A minimal automation object for tests that stand in for the bench's objects: it counts its
// references, so a test can see who holds it, and answers Invoke through Call.
#include <windows.h>
#include <oaidl.h>

#include <vector>

namespace vb::test {

class FakeDispatch : public IDispatch {
public:
    FakeDispatch() = default;
    FakeDispatch(const FakeDispatch&) = delete;
    FakeDispatch& operator=(const FakeDispatch&) = delete;

    // References held by anyone, including the creator's first one.
    LONG References() const noexcept { return references_; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO*, UINT*) override;

protected:
    virtual ~FakeDispatch() = default;
    // Arguments in written order.
    virtual HRESULT Call(DISPID member, WORD flags, const std::vector<VARIANT>& arguments, VARIANT& result) = 0;

private:
    LONG references_ = 1;
};

}  // namespace vb::test
