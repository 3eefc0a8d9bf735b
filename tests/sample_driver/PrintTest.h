#pragma once
// The fixture of the tests that print through the sample driver directly: documents on the
// sandbox's print file and what they left in it.
#include "SampleDriverTest.h"

#include <string>
#include <vector>

namespace vb::test {

class PrintTest : public SampleDriverTest {
protected:
    // D_StartDocW with a document name and output file (either may be null).
    LONG StartDoc(DRIVERHANDLE h, const wchar_t* output, const wchar_t* name = L"Job");

    // An instance of `model` with a document open on the sandbox's print file.
    DRIVERHANDLE StartPrinting(const std::wstring& model = L"LX");

    // D_EndDoc, then the lines written between the SETUP line and END DOC.
    std::vector<std::string> Commands(DRIVERHANDLE h);

    std::string Printed() const { return ReadFileBytes(PrintFile()); }
    std::wstring PrintFile() const { return sandbox_.OutputFile(); }
};

}  // namespace vb::test
