#pragma once
#include <string>
#include <vector>

#include "CIScriptBase.h"
#include "CIScriptProcedure.h"
#include "ComPtr.h"
#include "ScriptControlInterfaces.h"

// The procedures of one script module, read once from the type information of the module's
// script dispatch. Without type information the collection is empty.
class CIScriptProcedureCollection
    : public CIScriptBase<MSSCtrl::IScriptProcedureCollection, MSSCtrl::IID_IScriptProcedureCollection> {
public:
    CIScriptProcedureCollection(ITypeInfo* typeInfo, std::wstring module);

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** enumerator) override;
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT index, MSSCtrl::IScriptProcedure** procedure) override;
    HRESULT STDMETHODCALLTYPE get_Count(long* count) override;

    const std::wstring& Module() const noexcept { return module_; }

private:
    vb::ComPtr<ITypeInfo> typeInfo_;
    std::vector<tagVBSPROC> procedures_;
    std::wstring module_;
};
