// The page family files each page on its own, and with FILELIST lists the files in the print file.
#include <gtest/gtest.h>

#include <string>

#include "SampleDriverLibrary.h"
#include "SampleDriverSandbox.h"
#include "Strings.h"

namespace {

using vb::test::ReadFileBytes;

class PageFilesTest : public ::testing::Test {
protected:
    // A document of two pages with a text on each, printed by the family's copy of the driver.
    void PrintTwoPages(const std::wstring& family, const std::wstring& model) {
        vb::test::SampleDriverLibrary driver(sandbox_.AddDriver(family));
        tagDRIVERINFO info{};
        DRIVERHANDLE h = driver.D_EnableDriverW(0, &info, model.c_str(), L"FILE", 0);
        const std::wstring output = sandbox_.OutputFile();
        DOCINFOW document{static_cast<int>(sizeof(DOCINFOW)), L"Job", output.c_str(), nullptr, 0};
        ASSERT_EQ(1, driver.D_StartDocW(h, &document));
        for (LONG page = 1; page <= 2; ++page) {
            ASSERT_EQ(1, driver.D_StartMultiplePage(h));
            POINT at{page, page};
            driver.D_TextOutW(h, &at, L"x", 1, 0, 1, 0);
            ASSERT_EQ(1, driver.D_EndMultiplePage(h));
        }
        ASSERT_EQ(1, driver.D_EndDoc(h));
    }
    std::wstring PageFile(int page) const { return sandbox_.OutputFile() + L".page" + std::to_wstring(page) + L".txt"; }
    static std::string PageCommands(int page) {
        const std::string at = std::to_string(page);
        return "PAGE\r\nTEXT " + at + "," + at + " \"x\" color=000000 bk=1:000000\r\nEND PAGE\r\n";
    }

    vb::test::SampleDriverSandbox sandbox_;
};

TEST_F(PageFilesTest, EachPageGetsAFileWithItsCommands) {
    PrintTwoPages(L"fam09.prn", L"LX");
    EXPECT_EQ(PageCommands(1), ReadFileBytes(PageFile(1)));
    EXPECT_EQ(PageCommands(2), ReadFileBytes(PageFile(2)));
    const std::string printed = ReadFileBytes(sandbox_.OutputFile());
    EXPECT_NE(std::string::npos, printed.find(PageCommands(1) + PageCommands(2) + "END DOC\r\n"));
}

TEST_F(PageFilesTest, FileListMakesThePrintFileTheListOfPageFiles) {
    PrintTwoPages(L"FAM09.PRN", L"LX FileList");
    EXPECT_EQ(vb::ToUtf8(PageFile(1) + L"\r\n" + PageFile(2) + L"\r\n"), ReadFileBytes(sandbox_.OutputFile()));
    EXPECT_EQ(PageCommands(2), ReadFileBytes(PageFile(2)));
}

TEST_F(PageFilesTest, OtherFamiliesFileNoPages) {
    PrintTwoPages(L"FAM01.PRN", L"LX FILELIST");
    EXPECT_FALSE(vb::test::FileExists(PageFile(1)));
    EXPECT_NE(std::string::npos, ReadFileBytes(sandbox_.OutputFile()).find(PageCommands(1)));
}

}  // namespace
