// The `Driver` object's dispatch table and its simple properties.
#include "DriverIds.h"
#include "DriverWrapper.h"
#include "Variant.h"

using vb::DispatchCall;
using vb::MemberKind;
using W = CDriverWrapper;

namespace {

constexpr DISPID kModelId = 2;

const IID* const kInterfaceIds[] = {&vb::ids::IID_IDriver, nullptr};

}  // namespace

vb::DispatchTable<W> W::Members() {
    constexpr auto P = MemberKind::Property;
    constexpr auto M = MemberKind::Method;
    static const vb::DispatchMember<W> kMembers[] = {
        {1, L"Name", P, &W::GetName},
        {kModelId, L"Model", P, &W::GetModel},
        {3, L"Version", P, &W::GetVersion},
        {4, L"PageWidth", P, &W::GetPageWidth},
        {5, L"PageHeight", P, &W::GetPageHeight},
        {6, L"PagePerRow", P, &W::GetPagePerRow},
        {7, L"PagePerCol", P, &W::GetPagePerCol},
        {8, L"Fonts", P, &W::GetFonts},
        {9, L"Codes", P, &W::GetCodes},
        {10, L"ObjectPosition", P, &W::GetObjectPosition, &W::SetObjectPosition},
        {11, L"DateTimeCounts", P, &W::GetDateTimeCounts},
        {12, L"DIBColors", P, &W::GetDIBColors},
        {13, L"ShortName", P, &W::GetShortName},
        {14, L"OutputFile", P, &W::GetOutputFile},
        {15, L"ExternalModels", P, &W::GetExternalModelsProperty},
        {16, L"EnableEvents", P, &W::GetEnableEvents, &W::SetEnableEventsProperty},
        {17, L"17", MemberKind::Placeholder},
        {18, L"Escape", M, &W::Escape},
        {19, L"CreateDC", M, &W::CreateDC},
        {20, L"ResetDC", M, &W::ResetDC},
        {21, L"SetCountry", M, &W::SetCountry},
        {22, L"StartDoc", M, &W::StartDoc},
        {23, L"EndDoc", M, &W::EndDoc},
        {24, L"StartPage", M, &W::StartPage},
        {25, L"EndPage", M, &W::EndPage},
        {26, L"SelectPen", M, &W::SelectPen},
        {27, L"SelectBrush", M, &W::SelectBrush},
        {28, L"Rectangle", M, &W::Rectangle},
        {29, L"Ellipse", M, &W::Ellipse},
        {30, L"RoundRect", M, &W::RoundRect},
        {31, L"PrintDIB", M, &W::PrintDIB},
        {32, L"PatBlt", M, &W::PatBlt},
        {33, L"SetupDlg", M, &W::SetupDlg},
        {34, L"EnumFontFamilies", M, &W::EnumFontFamiliesMember},
        {35, L"GetFont", M, &W::GetFont},
        {36, L"SelectFont", M, &W::SelectFont},
        {37, L"TextOut", M, &W::TextOut},
        {38, L"GetTextExt", M, &W::GetTextExt},
        {39, L"EnumCodeFamilies", M, &W::EnumCodeFamiliesMember},
        {40, L"GetCode", M, &W::GetCode},
        {41, L"SelectCode", M, &W::SelectCode},
        {42, L"CodeOut", M, &W::CodeOut},
        {43, L"GetCodeExt", M, &W::GetCodeExt},
        {44, L"IsValidData", M, &W::IsValidData},
        {45, L"GetParameter", M, &W::GetParameterMember},
        {46, L"SetParameter", M, &W::SetParameterMember},
        {47, L"GetLastError", M, &W::GetLastErrorMember},
        {48, L"GetRFIDNames", M, &W::GetRFIDNames},
        {49, L"GetRFIDObject", M, &W::GetRFIDObject},
        {50, L"AddVariable", M, &W::AddVariable},
        {51, L"GetVariable", M, &W::GetVariable},
        {52, L"GetDateTime", M, &W::GetDateTimeMember},
        {53, L"GetFontGDI", M, &W::GetFontGDI},
        {54, L"TextOutGDI", M, &W::TextOutGDI},
        {55, L"GetTextExtGDI", M, &W::GetTextExtGDI},
        {56, L"GetProperty", M, &W::GetPropertyMember},
        {57, L"SetProperty", M, &W::SetPropertyMember},
        {58, L"GetPropertyValues", M, &W::GetPropertyValuesMember},
        {59, L"GetDeviceCaps", M, &W::GetDeviceCaps},
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
