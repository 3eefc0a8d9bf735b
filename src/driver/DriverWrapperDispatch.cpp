// The `Driver` object's dispatch table and its simple properties.
#include "DriverIds.h"
#include "DriverWrapper.h"
#include "Variant.h"

using vb::DispatchCall;
using vb::MemberKind;
using W = CDriverWrapper;

namespace {

constexpr DISPID kModelId = 2;

const IID* const kInterfaceIds[] = {&IID_IDriver, nullptr};

}  // namespace

vb::DispatchTable<W> W::Members() {
    static const vb::DispatchMember<W> kMembers[] = {
        {1, L"Name", MemberKind::Property, &W::GetName},
        {kModelId, L"Model", MemberKind::Property, &W::GetModel},
        {3, L"Version", MemberKind::Property, &W::GetVersion},
        {4, L"PageWidth", MemberKind::Property, &W::GetPageWidth},
        {5, L"PageHeight", MemberKind::Property, &W::GetPageHeight},
        {6, L"PagePerRow", MemberKind::Property, &W::GetPagePerRow},
        {7, L"PagePerCol", MemberKind::Property, &W::GetPagePerCol},
        {8, L"Fonts", MemberKind::Property, &W::GetFonts},
        {9, L"Codes", MemberKind::Property, &W::GetCodes},
        {10, L"ObjectPosition", MemberKind::Property, &W::GetObjectPosition, &W::SetObjectPosition},
        {13, L"ShortName", MemberKind::Property, &W::GetShortName},
        {14, L"OutputFile", MemberKind::Property, &W::GetOutputFile},
        {15, L"ExternalModels", MemberKind::Property, &W::GetExternalModelsProperty},
        {16, L"EnableEvents", MemberKind::Property, &W::GetEnableEvents, &W::SetEnableEventsProperty},
        {17, L"17", MemberKind::Placeholder},
    };
    return kMembers;
}
DISPID W::DefaultMember() noexcept { return kModelId; }
const IID* const* W::InterfaceIds() noexcept { return kInterfaceIds; }

HRESULT W::GetName(DispatchCall& call) { return call.Return(dllPath_); }
HRESULT W::GetModel(DispatchCall& call) { return call.Return(model_); }
HRESULT W::GetVersion(DispatchCall& call) { return call.Return(version_); }
HRESULT W::GetPageWidth(DispatchCall& call) { return call.Return(pageWidth_); }
HRESULT W::GetPageHeight(DispatchCall& call) { return call.Return(pageHeight_); }
HRESULT W::GetPagePerRow(DispatchCall& call) { return call.Return(pagesPerRow_); }
HRESULT W::GetPagePerCol(DispatchCall& call) { return call.Return(pagesPerColumn_); }
HRESULT W::GetFonts(DispatchCall& call) { return call.Return(static_cast<long>(fonts_.size())); }
HRESULT W::GetCodes(DispatchCall& call) { return call.Return(static_cast<long>(codes_.size())); }
HRESULT W::GetObjectPosition(DispatchCall& call) { return call.Return(objectPosition_); }
HRESULT W::GetShortName(DispatchCall& call) { return call.Return(shortName_); }
HRESULT W::GetOutputFile(DispatchCall& call) { return call.Return(outputFile_); }
HRESULT W::GetExternalModelsProperty(DispatchCall& call) { return call.Return(GetExternalModels()); }
HRESULT W::GetEnableEvents(DispatchCall& call) { return call.ReturnBool(eventsWindow_ != nullptr); }

HRESULT W::SetObjectPosition(DispatchCall& call) {
    auto value = vb::ToLong(call.PutValue());
    if (!value) return DISP_E_TYPEMISMATCH;
    objectPosition_ = *value;
    return S_OK;
}

HRESULT W::SetEnableEventsProperty(DispatchCall& call) {
    auto value = vb::ToBool(call.PutValue());
    if (!value) return DISP_E_TYPEMISMATCH;
    SetEnableEvents(*value);
    return S_OK;
}
