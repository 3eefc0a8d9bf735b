#include "SampleDriverTest.h"

#include <algorithm>

namespace vb::test {

SampleDriverTest::SampleDriverTest(const std::wstring& build) : driver_(sandbox_.AddDriver(L"FAM01.PRN", build)) {}

DRIVERHANDLE SampleDriverTest::Enable(const std::wstring& model) {
    auto* bytes = reinterpret_cast<BYTE*>(&info_);
    for (size_t i = 0; i < sizeof info_; ++i) bytes[i] = static_cast<BYTE>(i + 1);
    return driver_.D_EnableDriverW(0, &info_, model.c_str(), L"FILE", 0);
}

bool SampleDriverTest::Logged(const std::string& line) const {
    auto calls = sandbox_.Calls();
    return std::find(calls.begin(), calls.end(), "FAM01.PRN: " + line) != calls.end();
}

}  // namespace vb::test
