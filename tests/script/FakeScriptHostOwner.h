#pragma once
#include <windows.h>

#include "ComPtr.h"
#include "ScriptHostOwner.h"

namespace vb::test {

// Stands in for the workspace: hands out the type library embedded in the test program.
class FakeScriptHostOwner : public ScriptHostOwner {
public:
    FakeScriptHostOwner() {
        wchar_t program[MAX_PATH];
        ::GetModuleFileNameW(nullptr, program, MAX_PATH);
        ::LoadTypeLibEx(program, REGKIND_NONE, library_.Put());
    }

    HRESULT GetTypeLibrary(ITypeLib** library) override {
        if (!library) return E_POINTER;
        *library = library_.Get();
        if (!*library) return TYPE_E_CANTLOADLIBRARY;
        (*library)->AddRef();
        return S_OK;
    }

private:
    vb::ComPtr<ITypeLib> library_;
};

}  // namespace vb::test
