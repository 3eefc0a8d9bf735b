// The page family files each page on its own, as the end-to-end capture tests show; with
// FILELIST its print file lists the page files instead.
#include <gtest/gtest.h>

#include "SampleDriverLibrary.h"
#include "SampleDriverSandbox.h"
#include "Strings.h"

namespace {

using vb::test::ReadFileBytes;

TEST(PageFilesTest, FileListMakesThePrintFileTheListOfThePageFamilysPageFiles) {
    vb::test::SampleDriverSandbox sandbox;
    vb::test::SampleDriverLibrary driver(sandbox.AddDriver(L"fam09.prn"));
    tagDRIVERINFO info{};
    DRIVERHANDLE h = driver.D_EnableDriverW(0, &info, L"LX FileList", L"FILE", 0);
    const std::wstring output = sandbox.OutputFile();
    DOCINFOW document{static_cast<int>(sizeof(DOCINFOW)), L"Job", output.c_str(), nullptr, 0};
    ASSERT_EQ(1, driver.D_StartDocW(h, &document));
    std::wstring list;
    for (LONG page = 1; page <= 2; ++page) {
        ASSERT_EQ(1, driver.D_StartMultiplePage(h));
        POINT at{page, page};
        driver.D_TextOutW(h, &at, L"x", 1, 0, 1, 0);
        ASSERT_EQ(1, driver.D_EndMultiplePage(h));
        list += output + L".page" + std::to_wstring(page) + L".txt\r\n";
    }
    ASSERT_EQ(1, driver.D_EndDoc(h));
    EXPECT_EQ(vb::ToUtf8(list), ReadFileBytes(output));
    EXPECT_EQ("PAGE\r\nTEXT 2,2 \"x\" color=000000 bk=1:000000\r\nEND PAGE\r\n", ReadFileBytes(output + L".page2.txt"));
}

}  // namespace
