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
                SendJobOutput(jobFile, text, extra);
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

std::wstring CWorkSpace::CopyNameFor(const std::wstring& jobFile, const std::wstring& subItem) {
    std::wstring text = subItem;
    for (wchar_t& c : text) {
        if (std::wstring_view(L"\\/:*?\"<>|").find(c) != std::wstring_view::npos) c = L'_';
    }
    size_t dot = jobFile.rfind(L'.');
    if (dot == std::wstring::npos) return jobFile + text;
    return jobFile.substr(0, dot) + L"_" + text + jobFile.substr(dot);
}

// A Test run stores nothing: the job goes to the output port, under a name of its own when the
// job named its output.
void CWorkSpace::SendJobOutput(const std::wstring& jobFile, const std::wstring& subItem, const std::wstring& extra) {
    std::wstring sent = jobFile;
    if (!subItem.empty()) {
        sent = CopyNameFor(jobFile, subItem);
        // A copy left by an earlier job must never go out in place of this one.
        ::DeleteFileW(sent.c_str());
        if (FileExists(jobFile)) ::CopyFileW(jobFile.c_str(), sent.c_str(), FALSE);
    }
    SendToPort(sent, TRUE);
    const std::wstring extraFile = sent + L".ext";
    if (WriteExtraData(extraFile, subItem, extra)) SendToPort(extraFile, FALSE);
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
