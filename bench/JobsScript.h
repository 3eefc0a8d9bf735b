#pragma once
#include <string>

namespace bench {

constexpr int kLinesPerJob = 490;  // about 64 KB of printer commands

// N jobs of one page, each ended under its own sub-item so that each is its own stored item;
// `afterJob` is a statement run after each job (with the job's number in j).
inline std::wstring JobsScript(int jobs, const std::wstring& afterJob = {}) {
    return L"Dim j, i\r\nFor j = 1 To " + std::to_wstring(jobs) +
           L"\r\n  Driver.StartDoc\r\n  Driver.StartPage\r\n  For i = 1 To " + std::to_wstring(kLinesPerJob) +
           L"\r\n    Driver.TextOut 100, 100 + i, \"The quick brown fox jumps over the lazy dog 0123456789\", 0"
           L"\r\n  Next\r\n  Driver.EndPage\r\n  Driver.EndDoc \"J\" & j\r\n" +
           (afterJob.empty() ? L"" : L"  " + afterJob + L"\r\n") + L"Next";
}

}  // namespace bench
