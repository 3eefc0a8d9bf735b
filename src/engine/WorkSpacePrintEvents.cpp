// What the driver wrapper reports while a script prints, and what it asks of the engine.
#include "HookLibrary.h"
#include "SqlQuoting.h"
#include "Strings.h"
#include "WorkSpace.h"

namespace {

constexpr wchar_t kProfileSubItem[] = L"#FILE_PROFILE#";
constexpr wchar_t kHookFamily[] = L"FAM09.PRN";
constexpr wchar_t kFileOutput[] = L"FILE";

}  // namespace

BOOL CWorkSpace::OnPrintEvent(int code, const std::wstring& text, const std::wstring& extra) {
    if (LatchwireState(0) >= 0) {
        if (code == kJobStarted) hookedFiles_.clear();
        if (vb::EqualsNoCase(driver_.ShortName(), kHookFamily) && (code == kJobStarted || code == kJobEnded)) {
            OnPrintEvent(kHookSwitch, code == kJobStarted ? L"ON" : L"OFF", {});
        }
    }
    switch (code) {
        case kJobStarted:
            ::DeleteFileW(driver_.OutputFile().c_str());
            runContext_.StartJobClock();
            runContext_.TakeSnapshot();
            if (!text.empty()) Log(text);
            return FALSE;
        case kJobEnded: {
            const bool profile = vb::EqualsNoCase(text, kProfileSubItem);
            const std::wstring& jobFile = profile ? driver_.SettingsFile() : driver_.OutputFile();
            runContext_.key.SetSubItem(text.c_str());
            // The settings file is no printer output: the pipe is only made ready for the next
            // job, and its data wait for that job's print file.
            if (!pipes_.IsEmpty() && !jobFile.empty()) pipes_.Flush(profile ? std::wstring() : driver_.OutputFile());
            if (runContext_.key.KEY == -1) {
                // Test run: the job (and its extra data) go to the output port; nothing is stored.
            } else {
                StoreJobOutput(jobFile, text, extra);
            }
            return FALSE;
        }
        case kHookSwitch:
            return SwitchHooking(vb::EqualsNoCase(text, L"ON"));
        default:
            return FALSE;
    }
}

BOOL CWorkSpace::SwitchHooking(bool on) {
    BOOL result = TRUE;
    if (on) {
        if (LatchwireState(0) < 0) {
            HWND window = logWindow_ ? ::GetParent(logWindow_) : nullptr;
            result = LatchwireStart(window, L"", driver_.DllPath().c_str(), 0) >= 0 ? TRUE : FALSE;
        }
        hookedFiles_.clear();
        return result;
    }
    if (LatchwireState(1) >= 0) result = LatchwireStop() >= 0 ? TRUE : FALSE;
    // Files the driver created and removed again, or left empty, are no output.
    for (size_t i = hookedFiles_.size(); i-- > 0;) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        bool kept = ::GetFileAttributesExW(hookedFiles_[i].c_str(), GetFileExInfoStandard, &data) &&
                    (data.nFileSizeLow != 0 || data.nFileSizeHigh != 0);
        if (!kept) hookedFiles_.erase(hookedFiles_.begin() + static_cast<std::ptrdiff_t>(i));
    }
    return result;
}

std::wstring CWorkSpace::GetModelCatalog(const std::wstring& model) {
    if (model.empty()) return {};
    std::map<std::wstring, std::wstring> catalogs;
    QueryTextColumns(catalogs, FamilyModelsQuery(), {});
    auto found = catalogs.find(model);
    // Read back once: the database already holds single apostrophes.
    return found == catalogs.end() ? std::wstring() : vb::TextFromDatabase(found->second);
}

BOOL CWorkSpace::OpenPipe(const std::wstring& pipeName) {
    return pipes_.Open(pipeName) != INVALID_HANDLE_VALUE ? TRUE : FALSE;
}

BOOL CWorkSpace::IsDirectPrintMode() {
    return runContext_.key.KEY == -1 && !vb::EqualsNoCase(output_, kFileOutput) ? TRUE : FALSE;
}
