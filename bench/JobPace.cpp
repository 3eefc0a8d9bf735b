#include "JobPace.h"

#include <cwchar>

namespace bench {

namespace {

constexpr wchar_t kJobMark[] = L"bench job done";

}  // namespace

std::wstring JobPace::MarkStatement() { return std::wstring(L"Me.Trace \"") + kJobMark + L"\""; }

// The pane's user data carry the watch while it runs, and are given back afterwards.
JobPace::JobPace(HWND logPane, std::function<void(int)> onJob)
    : pane_(logPane),
      paneProc_(reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(logPane, GWLP_WNDPROC))),
      paneData_(::SetWindowLongPtrW(logPane, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this))),
      onJob_(std::move(onJob)) {
    ::SetWindowLongPtrW(pane_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Watch));
}

JobPace::~JobPace() {
    ::SetWindowLongPtrW(pane_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(paneProc_));
    ::SetWindowLongPtrW(pane_, GWLP_USERDATA, paneData_);
}

LRESULT CALLBACK JobPace::Watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* pace = reinterpret_cast<JobPace*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    LRESULT result = ::CallWindowProcW(pace->paneProc_, window, message, wParam, lParam);
    if (message == EM_REPLACESEL && lParam && std::wcsstr(reinterpret_cast<const wchar_t*>(lParam), kJobMark)) {
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
