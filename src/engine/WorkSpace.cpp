#include "WorkSpace.h"

#include "HexString.h"
#include "HookLibrary.h"
#include "UpperCase.h"

namespace {

constexpr wchar_t kGeneral[] = L"GENERAL";
constexpr wchar_t kDrivers[] = L"DRIVERS";
constexpr wchar_t kScriptsKey[] = L"Scripts";
constexpr wchar_t kDefaultOutput[] = L"FILE";
constexpr int kSettingsVersion = 1;
// Written back to the configuration only; nothing compares it.
constexpr wchar_t kAccessCode[] = L"Pelok";

std::wstring ProgramFile(const std::wstring& given) {
    if (!given.empty()) return given;
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

// "C:\bench\Vellbrook.exe" keeps its settings in "C:\bench\Vellbrook.ini".
std::wstring IniPathOf(const std::wstring& programFile) {
    size_t dot = programFile.rfind(L'.');
    return (dot == std::wstring::npos ? programFile + L"." : programFile.substr(0, dot + 1)) + L"ini";
}

std::wstring FolderOf(const std::wstring& programFile) {
    size_t slash = programFile.rfind(L'\\');
    return slash == std::wstring::npos ? std::wstring() : programFile.substr(0, slash + 1);
}

}  // namespace

CWorkSpace::CWorkSpace(const std::wstring& programFile)
    : AutomationObject(Lifetime::Owned),
      hashCode_(vb::ConvertHexString(kAccessCode, TRUE)),
      programFolder_(FolderOf(ProgramFile(programFile))),
      settings_(IniPathOf(ProgramFile(programFile))),
      script_(this),
      driver_(this) {
    LoadSettings();
}

CWorkSpace::~CWorkSpace() {
    SaveSettings();
    // Whether hooking was started or not: a hook left behind would outlive its window.
    EndHooking();
    pipes_.CloseAll();
}

void CWorkSpace::EndHooking() {
    LatchwireStop();
    hookedFiles_.clear();
}

void CWorkSpace::LoadSettings() {
    bool corrected = false;
    version_ = settings_.ReadInt(kGeneral, L"Version", 0);
    hashCode_ = settings_.ReadString(kGeneral, L"HashCode");
    if (version_ != kSettingsVersion) {
        version_ = kSettingsVersion;
        corrected = true;
    }
    if (hashCode_.empty()) {
        hashCode_ = vb::ConvertHexString(kAccessCode, TRUE);
        corrected = true;
    }
    prnFolder_ = vb::WithTrailingBackslash(settings_.ReadString(kGeneral, L"PrnFolder", programFolder_.c_str()));
    prnFolderRef_ = vb::WithTrailingBackslash(settings_.ReadString(kGeneral, L"PrnFolderRef", programFolder_.c_str()));
    driverName_ = settings_.ReadString(kGeneral, L"DriverName");
    modelName_ = settings_.ReadString(kGeneral, L"ModelName");
    scriptName_ = settings_.ReadString(kGeneral, L"ScriptName");
    output_ = settings_.ReadString(kGeneral, L"Output", kDefaultOutput);
    OpenDeviceDatabase();
    dirty_ = corrected ? TRUE : FALSE;
}

void CWorkSpace::SaveSettings() {
    if (!dirty_) return;
    settings_.WriteString(kGeneral, L"Version", std::to_wstring(version_));
    settings_.WriteString(kGeneral, L"HashCode", hashCode_);
    settings_.WriteString(kGeneral, L"PrnFolder", prnFolder_);
    settings_.WriteString(kGeneral, L"PrnFolderRef", prnFolderRef_);
    settings_.WriteString(kGeneral, L"DriverName", driverName_);
    settings_.WriteString(kGeneral, L"ModelName", modelName_);
    settings_.WriteString(kGeneral, L"ScriptName", scriptName_);
    settings_.WriteString(kGeneral, L"Output", output_);
    dirty_ = FALSE;
}

std::wstring CWorkSpace::FamilyKey(const std::wstring& driverName) {
    size_t open = driverName.find(L'(');
    if (open == std::wstring::npos) return {};
    std::wstring key = driverName.substr(0, open);
    while (!key.empty() && key.back() == L' ') key.pop_back();
    return key;
}

void CWorkSpace::SaveSelection(const std::vector<std::wstring>& items, const std::wstring& current, BOOL models) {
    std::wstring list;
    for (const std::wstring& item : items) list += L"[" + vb::ToUpperAscii(item) + L"]";
    if (models) {
        settings_.WriteString(kDrivers, FamilyKey(driverName_).c_str(), list);
        SetModelName(current);
    } else {
        settings_.WriteString(kGeneral, kScriptsKey, list);
        SetScriptName(current);
    }
}

std::wstring CWorkSpace::GetSavedSelection(const std::wstring& key, BOOL drivers) const {
    if (key.empty()) return {};
    return settings_.ReadString(drivers ? kDrivers : kGeneral, key.c_str());
}

BOOL CWorkSpace::IsInSelectionList(const std::wstring& item, const std::wstring& list) {
    if (item.empty() || list.empty()) return FALSE;
    return list.find(L"[" + vb::ToUpperAscii(item) + L"]") != std::wstring::npos ? TRUE : FALSE;
}

void CWorkSpace::SetValue(std::wstring& member, const std::wstring& value) {
    if (member == value) return;
    member = value;
    dirty_ = TRUE;
}

// Folders are kept with their trailing '\' before they are compared, so choosing the same
// folder again changes nothing.
void CWorkSpace::SetPrnFolder(const std::wstring& folder) { SetValue(prnFolder_, vb::WithTrailingBackslash(folder)); }
void CWorkSpace::SetPrnFolderRef(const std::wstring& folder) {
    SetValue(prnFolderRef_, vb::WithTrailingBackslash(folder));
}
void CWorkSpace::SetDriverName(const std::wstring& name) { SetValue(driverName_, name); }
void CWorkSpace::SetModelName(const std::wstring& name) { SetValue(modelName_, name); }
void CWorkSpace::SetScriptName(const std::wstring& name) { SetValue(scriptName_, name); }
void CWorkSpace::SetOutput(const std::wstring& name) { SetValue(output_, name); }

HRESULT CWorkSpace::GetTypeLibrary(ITypeLib** library) {
    if (!library) return E_POINTER;
    *library = nullptr;
    // The library is the program's own resource; registering it is not needed to read it.
    if (!typeLibrary_) {
        wchar_t program[MAX_PATH] = {};
        ::GetModuleFileNameW(nullptr, program, MAX_PATH);
        HRESULT hr = ::LoadTypeLibEx(program, REGKIND_NONE, typeLibrary_.Put());
        if (FAILED(hr)) return hr;
    }
    *library = typeLibrary_.Get();
    (*library)->AddRef();
    return S_OK;
}
