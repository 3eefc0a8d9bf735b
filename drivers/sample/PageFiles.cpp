#include "PageFiles.h"

#include "CallLog.h"
#include "Strings.h"

#include <windows.h>

namespace vb::sample {

namespace {

bool FilesPages() { return EqualsNoCase(ModuleFileName(), L"FAM09.PRN"); }

// The list names each page file by its full path, whatever the bench called the print file.
std::wstring FullPath(const std::wstring& path) {
    const DWORD size = ::GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
    if (size == 0) return path;
    std::wstring full(size, L'\0');
    const DWORD length = ::GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return path;
    full.resize(length);
    return full;
}

}  // namespace

void PageFiles::StartDocument(const std::wstring& output, bool list) {
    EndPage();
    filing_ = !output.empty() && FilesPages();
    list_ = filing_ && list;
    printPath_ = filing_ ? FullPath(output) : std::wstring();
    pages_ = 0;
    print_.TakeCommands(!list_);
}

bool PageFiles::StartPage() {
    if (!filing_ || !print_.IsOpen()) return true;
    EndPage();
    const std::wstring path = printPath_ + L".page" + std::to_wstring(++pages_) + L".txt";
    if (!page_.Create(path) || (list_ && !print_.Line(path))) return false;
    print_.CopyCommandsTo(&page_);
    return true;
}

void PageFiles::EndPage() {
    print_.CopyCommandsTo(nullptr);
    page_.Close();
}

void PageFiles::EndDocument() {
    EndPage();
    filing_ = list_ = false;
    print_.TakeCommands(true);
}

}  // namespace vb::sample
