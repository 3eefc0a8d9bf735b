#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "Stopwatch.h"

namespace bench {

// Times every job of a run: the job script writes a mark into the run log after each job
// (`MarkStatement`), and the log pane is watched for it. The watch replaces the pane's window
// procedure itself: the common controls' subclassing looks up a window property for every
// message, which under Wine is a round trip to the server that would be counted as the
// bench's own cost of each line it logs.
class JobPace {
public:
    static std::wstring MarkStatement();

    // `onJob` is called with the job's number as each mark arrives.
    explicit JobPace(HWND logPane, std::function<void(int)> onJob = {});
    ~JobPace();
    JobPace(const JobPace&) = delete;
    JobPace& operator=(const JobPace&) = delete;

    int Jobs() const noexcept { return static_cast<int>(ends_.size()); }
    const std::vector<double>& Ends() const noexcept { return ends_; }

private:
    static LRESULT CALLBACK Watch(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND pane_;
    WNDPROC paneProc_;
    LONG_PTR paneData_;
    std::function<void(int)> onJob_;
    Stopwatch clock_;
    std::vector<double> ends_;  // seconds into the run at the end of each job
};

// The mean time in milliseconds of jobs `first` to `last` (counted from 1, `first` at least 2),
// each timed from the end of the job before it; -1 when the run had fewer jobs.
double MeanJobMs(const std::vector<double>& ends, int first, int last);

}  // namespace bench
