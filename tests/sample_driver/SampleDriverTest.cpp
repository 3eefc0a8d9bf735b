#include "SampleDriverTest.h"

#include <sstream>

namespace vb::test {

LONG SampleDriverTest::StartDoc(DRIVERHANDLE h, const wchar_t* output, const wchar_t* name) {
    DOCINFOW info{};
    info.cbSize = sizeof info;
    info.lpszDocName = name;
    info.lpszOutput = output;
    return driver_.D_StartDocW(h, &info);
}

DRIVERHANDLE SampleDriverTest::StartPrinting(const std::wstring& model) {
    DRIVERHANDLE h = Enable(model);
    EXPECT_EQ(1, StartDoc(h, PrintFile().c_str()));
    return h;
}

std::vector<std::string> SampleDriverTest::Commands(DRIVERHANDLE h) {
    EXPECT_EQ(1, driver_.D_EndDoc(h));
    std::vector<std::string> lines;
    std::istringstream printed(Printed());
    for (std::string line; std::getline(printed, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    // DOC, SETUP ... END DOC frame every document.
    if (lines.size() < 3) return {};
    return std::vector<std::string>(lines.begin() + 2, lines.end() - 1);
}

}  // namespace vb::test
