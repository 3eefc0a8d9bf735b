#include "GoldenFile.h"

#include <windows.h>

#include "Strings.h"
#include "TestFiles.h"

::testing::AssertionResult MatchesGoldenFile(const std::wstring& goldenName, const std::string& actual) {
    const std::wstring expectedPath = vb::test::BinDir() + L"golden\\" + goldenName;
    const std::string expected = vb::test::ReadFileBytes(expectedPath);
    if (!expected.empty() && expected == actual) return ::testing::AssertionSuccess();

    const std::wstring actualFolder = vb::test::BinDir() + L"golden-actual";
    ::CreateDirectoryW(actualFolder.c_str(), nullptr);
    vb::test::WriteFileBytes(actualFolder + L"\\" + goldenName, actual);
    return ::testing::AssertionFailure() << vb::ToUtf8(goldenName) << " differs; expected:\n"
                                         << expected << "\nproduced (left in golden-actual):\n" << actual;
}
