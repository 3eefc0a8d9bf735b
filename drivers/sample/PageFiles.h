#pragma once
// The family FAM09.PRN (the driver's own file name, any case) files every page on its own while
// it prints: beside the print file, "<print file>.page<N>.txt" (N from 1 in each document) holds
// that page's commands, from PAGE to END PAGE. With the model word FILELIST the print file holds
// only the list of those files, one full path a line, each added as its page starts.
//
// Each page file is created as a driver creates any file (CreateFileW, for writing), so that a
// bench watching the driver's files sees it. The list goes into the print file already open:
// the print file is created once, as for any other family.
#include "PrintFile.h"

#include <string>

namespace vb::sample {

class PageFiles {
public:
    // Files the pages printed to `print`.
    explicit PageFiles(PrintFile& print) noexcept : print_(print) {}
    PageFiles(const PageFiles&) = delete;
    PageFiles& operator=(const PageFiles&) = delete;

    // Before a document starts on the print file `output` (empty: none); a document still open
    // is left as it is, as its print file is.
    void StartDocument(const std::wstring& output, bool list);
    // Before the page's first command: its file is created and takes the page's commands. False
    // when the file cannot be created or listed.
    bool StartPage();
    // After the page's last command.
    void EndPage();
    // After the document's last command.
    void EndDocument();

private:
    PrintFile& print_;
    PrintFile page_;
    bool filing_ = false;
    bool list_ = false;
    std::wstring printPath_;  // full path
    int pages_ = 0;           // in the document so far
};

}  // namespace vb::sample
