#pragma once
#include <windows.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vb {

// Text of a string-table entry of the program; empty when there is none.
std::wstring LoadResString(UINT id);
// A string-table entry with its "%s" filled in turn.
std::wstring FormatResString(UINT id, std::initializer_list<std::wstring_view> args);

// The window that owns the program's boxes and receives the driver's events; the main dialog
// registers itself here.
HWND MainWindow() noexcept;
void SetMainWindow(HWND window) noexcept;

// Every message box of the program goes through here, so tests can capture the boxes.
int ShowMessageBox(const std::wstring& text, UINT flags, const std::wstring& caption = {});

// A box as it would have been shown.
struct CapturedBox {
    std::wstring caption;
    std::wstring text;
    UINT flags = 0;
};

// While one exists, boxes are recorded instead of shown and answered with `answer`.
class MessageBoxCapture {
public:
    explicit MessageBoxCapture(int answer = IDOK);
    ~MessageBoxCapture();
    MessageBoxCapture(const MessageBoxCapture&) = delete;
    MessageBoxCapture& operator=(const MessageBoxCapture&) = delete;

    const std::vector<CapturedBox>& Boxes() const noexcept { return boxes_; }
    void Clear() noexcept { boxes_.clear(); }
    void SetAnswer(int answer) noexcept { answer_ = answer; }
    // Answers for the next boxes in turn, for a handler that asks more than once; the answer
    // set above comes again once they are used up.
    void QueueAnswers(std::initializer_list<int> answers) { queued_.assign(answers); }

private:
    friend int ShowMessageBox(const std::wstring&, UINT, const std::wstring&);
    int NextAnswer();

    std::vector<CapturedBox> boxes_;
    int answer_;
    std::deque<int> queued_;
    MessageBoxCapture* previous_;
};

// The system's text for an error code as the system words it, its line end included; empty when
// the system has none.
std::wstring SystemMessageText(DWORD code);
// "%d: %s": a system error code (0: the calling thread's last error) as a signed number, with
// the system's text for it.
std::wstring FormatWin32Error(DWORD code);

}  // namespace vb
