// The workspace as scripts see it: the named object `Me`.
#include <shlobj.h>

#include "HookLibrary.h"
#include "ProfileFile.h"
#include "Strings.h"
#include "UniqueHandle.h"
#include "WorkSpace.h"

using vb::DispatchCall;
using vb::MemberKind;
using W = CWorkSpace;

namespace {

constexpr DISPID kComputerNameId = 1;
constexpr DWORD kPathSize = 260;
constexpr DWORD kLocalServerSize = 520;

constexpr IID kApplicationId = {0x940A7F83, 0xA3CC, 0x11E5, {0xA8, 0x37, 0x08, 0x00, 0x20, 0x0C, 0x9A, 0x66}};
const IID* const kInterfaceIds[] = {&kApplicationId, nullptr};

std::wstring ComputerName() {
    wchar_t name[kPathSize] = {};
    DWORD size = kPathSize;
    return ::GetComputerNameW(name, &size) ? std::wstring(name) : std::wstring();
}

// A text argument; one that is missing or does not convert reads as empty.
std::wstring TextArgument(const DispatchCall& call, unsigned index) {
    return call.IsMissing(index) ? std::wstring() : call.Text(index).value_or(std::wstring());
}

}  // namespace

vb::DispatchTable<W> W::Members() {
    constexpr auto P = MemberKind::Property;
    constexpr auto M = MemberKind::Method;
    constexpr auto X = MemberKind::Placeholder;
    static const vb::DispatchMember<W> kMembers[] = {
        {kComputerNameId, L"ComputerName", P, &W::GetComputerNameProperty},
        {2, L"UserName", P, &W::GetUserNameProperty},
        {3, L"TempPath", P, &W::GetTempPathProperty},
        {4, L"DirectPrintMode", P, &W::GetDirectPrintMode},
        {5, L"UsesOutput", P, &W::GetUsesOutput, &W::SetUsesOutputProperty},
        {6, L"StopProcess", P, &W::GetStopProcess},
        {7, L"AppPath", P, &W::GetAppPath},
        {8, L"8", X},   {9, L"9", X},   {10, L"10", X}, {11, L"11", X}, {12, L"12", X}, {13, L"13", X},
        {14, L"14", X}, {15, L"15", X}, {16, L"16", X}, {17, L"17", X}, {18, L"18", X}, {19, L"19", X},
        {20, L"Trace", M, &W::TraceMethod},
        {21, L"UpdateDriver", M, &W::UpdateDriverMethod},
        {22, L"DoCommand", M, &W::DoCommandMethod},
    };
    return kMembers;
}

DISPID W::DefaultMember() noexcept { return kComputerNameId; }
const IID* const* W::InterfaceIds() noexcept { return kInterfaceIds; }

HRESULT W::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT W::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    vb::ComPtr<ITypeLib> library;
    HRESULT hr = GetTypeLibrary(library.Put());
    return FAILED(hr) ? hr : library->GetTypeInfoOfGuid(kApplicationId, info);
}

HRESULT W::GetComputerNameProperty(DispatchCall& call) { return call.Return(ComputerName()); }
HRESULT W::GetUserNameProperty(DispatchCall& call) { return call.Return(runContext_.UserName()); }

HRESULT W::GetTempPathProperty(DispatchCall& call) {
    wchar_t path[kPathSize] = {};
    DWORD length = ::GetTempPathW(kPathSize, path);
    return call.Return(length > 0 && length < kPathSize ? std::wstring(path, length) : std::wstring());
}

HRESULT W::GetDirectPrintMode(DispatchCall& call) { return call.ReturnBool(IsDirectPrintMode() != FALSE); }
HRESULT W::GetUsesOutput(DispatchCall& call) { return call.ReturnBool(usesOutput_ != FALSE); }

HRESULT W::SetUsesOutputProperty(DispatchCall& call) {
    VARIANT value;
    ::VariantInit(&value);
    HRESULT hr = ::VariantChangeType(&value, const_cast<VARIANT*>(&call.PutValue()), 0, VT_BOOL);
    if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
    usesOutput_ = V_BOOL(&value) ? TRUE : FALSE;
    return S_OK;
}

// The one place where a running batch lets the dialog answer: Stop acts only when read here.
HRESULT W::GetStopProcess(DispatchCall& call) {
    PumpMessages();
    return call.ReturnBool(stop_ != FALSE);
}

HRESULT W::GetAppPath(DispatchCall& call) { return call.Return(programFolder_); }

HRESULT W::TraceMethod(DispatchCall& call) { return call.ReturnBool(Log(TextArgument(call, 0)) != FALSE); }

HRESULT W::DoCommandMethod(DispatchCall& call) {
    auto code = call.Long(0);
    if (!code) return DISP_E_TYPEMISMATCH;
    OnPrintEvent(static_cast<int>(*code), TextArgument(call, 1), TextArgument(call, 2));
    return S_OK;
}

HRESULT W::UpdateDriverMethod(DispatchCall& call) {
    bool restore = !call.IsMissing(1) && call.Bool(1).value_or(false);
    return call.ReturnBool(UpdateDriver(TextArgument(call, 0), restore));
}

std::wstring CWorkSpace::LocalServerFolder(const std::wstring& commandLine) {
    std::wstring path = commandLine;
    // A quoted program path may be followed by arguments that hold backslashes of their own.
    if (!path.empty() && path.front() == L'"') {
        size_t closing = path.find(L'"', 1);
        path = path.substr(1, closing == std::wstring::npos ? std::wstring::npos : closing - 1);
    }
    size_t slash = path.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

bool CWorkSpace::UpdateDriver(const std::wstring& progId, bool restore) {
    CLSID classId{};
    if (progId.empty() || FAILED(::CLSIDFromProgID(progId.c_str(), &classId))) return false;
    wchar_t classText[64] = {};
    ::StringFromGUID2(classId, classText, 64);
    std::wstring keyName = std::wstring(L"CLSID\\") + classText + L"\\LocalServer32";
    vb::UniqueRegKey key;
    HKEY raw = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, keyName.c_str(), 0, KEY_READ, &raw) != ERROR_SUCCESS) return false;
    key.Reset(raw);
    wchar_t value[kLocalServerSize] = {};
    DWORD size = sizeof(value) - sizeof(wchar_t);
    DWORD type = 0;
    if (::RegQueryValueExW(raw, nullptr, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS) {
        value[0] = L'\0';
    }
    std::wstring folder = LocalServerFolder(value);
    EraseModelSettings(folder, driver_.Model());
    if (restore) return LatchwireStop() >= 0;
    std::wstring substitute = folder + L"Devices\\" + driver_.ShortName();
    HWND window = logWindow_ ? ::GetParent(logWindow_) : nullptr;
    return LatchwireStart(window, substitute.c_str(), driver_.DllPath().c_str(), 1) >= 0;
}

void CWorkSpace::EraseModelSettings(const std::wstring& folder, const std::wstring& model) {
    if (folder.empty() || model.empty()) return;
    wchar_t common[MAX_PATH] = {};
    if (SUCCEEDED(::SHGetFolderPathW(nullptr, CSIDL_COMMON_APPDATA, nullptr, 0, common))) {
        ::SetEnvironmentVariableW(L"COMMON_APPDATA", common);
    }
    std::wstring configFolder = ProfileFile(vb::WithTrailingBackslash(folder) + L"TOVR.INI").ReadString(L"CONFIG_FILES", L"RQ.INI");
    if (configFolder.empty()) return;
    wchar_t expanded[kPathSize] = {};
    if (!::ExpandEnvironmentStringsW(configFolder.c_str(), expanded, kPathSize)) return;
    ProfileFile settings(vb::WithTrailingBackslash(expanded) + L"RQ.INI");
    std::wstring userFolder = settings.ReadString(L"GENERAL", L"USER");
    if (userFolder.empty()) return;
    int mode = settings.ReadInt(L"GENERAL", L"SETTINGSMODE", 0);
    if (!::ExpandEnvironmentStringsW(userFolder.c_str(), expanded, kPathSize)) return;
    std::wstring baseName;
    if (mode == 0) {
        baseName = L"USER";
    } else if (mode == 1) {
        wchar_t account[kPathSize] = {};
        DWORD size = kPathSize;
        if (::GetUserNameW(account, &size)) baseName = account;
    } else if (mode == 2 || mode == 3) {
        baseName = ComputerName();
    }
    ProfileFile userFile(vb::WithTrailingBackslash(expanded) + baseName + L".INI");
    const std::wstring prefix = model + L",";
    for (const std::wstring& section : userFile.SectionNames()) {
        if (section.compare(0, prefix.size(), prefix) != 0) continue;
        userFile.DeleteSection(section.c_str());
        Log(vb::FormatTemplate(L"Erasing section [%s] in [%s].", {section, userFile.Path()}));
    }
}
