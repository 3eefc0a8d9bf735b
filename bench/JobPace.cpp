#include "JobPace.h"

#include <commctrl.h>

#include <cwchar>

namespace bench {

namespace {

constexpr wchar_t kJobMark[] = L"bench job done";

}  // namespace

std::wstring JobPace::MarkStatement() { return std::wstring(L"Me.Trace \"") + kJobMark + L"\""; }

JobPace::JobPace(HWND logPane, std::function<void(int)> onJob) : pane_(logPane), onJob_(std::move(onJob)) {
    ::SetWindowSubclass(pane_, Watch, 1, reinterpret_cast<DWORD_PTR>(this));
}

JobPace::~JobPace() { ::RemoveWindowSubclass(pane_, Watch, 1); }

LRESULT CALLBACK JobPace::Watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR data) {
    LRESULT result = ::DefSubclassProc(window, message, wParam, lParam);
    if (message == EM_REPLACESEL && lParam && std::wcsstr(reinterpret_cast<const wchar_t*>(lParam), kJobMark)) {
        auto* pace = reinterpret_cast<JobPace*>(data);
        pace->ends_.push_back(pace->clock_.Seconds());
        if (pace->onJob_) pace->onJob_(pace->Jobs());
    }
    return result;
}

double MeanJobMs(const std::vector<double>& ends, int first, int last) {
    if (first < 2 || last < first || static_cast<size_t>(last) > ends.size()) return -1;
    return (ends[static_cast<size_t>(last) - 1] - ends[static_cast<size_t>(first) - 2]) * 1000 / (last - first + 1);
}

}  // namespace bench
