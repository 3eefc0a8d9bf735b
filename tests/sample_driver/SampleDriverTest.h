#pragma once
// The fixture of the sample driver's own tests: a build copied into a sandbox as FAM01.PRN with
// its call log on, loaded directly, printing on the sandbox's print file.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SampleDriverLibrary.h"
#include "SampleDriverSandbox.h"

namespace vb::test {

class SampleDriverTest : public ::testing::Test {
protected:
    SampleDriverTest() : driver_(sandbox_.AddDriver(L"FAM01.PRN")) {}

    DRIVERHANDLE Enable(const std::wstring& model) { return driver_.D_EnableDriverW(0, &info_, model.c_str(), L"FILE", 0); }

    // D_StartDocW with a document name and output file (either may be null).
    LONG StartDoc(DRIVERHANDLE h, const wchar_t* output, const wchar_t* name = L"Job");
    // An instance of `model` with a document open on the print file.
    DRIVERHANDLE StartPrinting(const std::wstring& model = L"LX");
    // D_EndDoc, then the lines written between the SETUP line and END DOC.
    std::vector<std::string> Commands(DRIVERHANDLE h);

    std::string Printed() const { return ReadFileBytes(PrintFile()); }
    std::wstring PrintFile() const { return sandbox_.OutputFile(); }

    SampleDriverSandbox sandbox_;
    SampleDriverLibrary driver_;
    tagDRIVERINFO info_{};
};

}  // namespace vb::test
