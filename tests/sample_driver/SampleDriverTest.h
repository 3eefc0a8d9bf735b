#pragma once
// The fixture of the sample driver's own tests: a build copied into a sandbox as FAM01.PRN with
// its call log on, loaded directly.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "SampleDriverLibrary.h"
#include "SampleDriverSandbox.h"

namespace vb::test {

class SampleDriverTest : public ::testing::Test {
protected:
    explicit SampleDriverTest(const std::wstring& build = L"sample_driver.dll");

    // An instance for the model; the info block starts as a byte pattern so a test can see what
    // the driver changed.
    DRIVERHANDLE Enable(const std::wstring& model);

    // Whether the log holds "FAM01.PRN: <line>".
    bool Logged(const std::string& line) const;

    template <class T>
    static T Field(const BYTE* record, size_t offset) {
        T value;
        std::memcpy(&value, record + offset, sizeof value);
        return value;
    }

    SampleDriverSandbox sandbox_;
    SampleDriverLibrary driver_;
    tagDRIVERINFO info_{};
};

}  // namespace vb::test
