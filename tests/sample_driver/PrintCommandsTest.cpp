// The commands the bench's own print files never show: counts, lengths and images it would not
// send. The ordinary commands are compared whole in the bench's print-file tests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SampleDriverTest.h"
#include "TestDib.h"

namespace {

using Lines = std::vector<std::string>;

using PrintCommandsTest = vb::test::SampleDriverTest;

TEST_F(PrintCommandsTest, TextAndBarcodesTakeTheLengthGiven) {
    DRIVERHANDLE h = StartPrinting();
    POINT at{-5, 7};
    EXPECT_EQ(1, driver_.D_TextOutW(h, &at, L"ABCDEF", 3, 0x123456, 1, 0xABCDEF));
    EXPECT_EQ(1, driver_.D_TextOutW(h, &at, L"ignored", -1, 0, 2, 0));
    EXPECT_EQ(1, driver_.D_CodeOutW(h, &at, nullptr, 4, 0, 2, 0));
    EXPECT_EQ(0, driver_.D_TextOutW(h, nullptr, L"A", 1, 0, 2, 0));
    EXPECT_EQ(2, driver_.D_GetLastError());
    EXPECT_EQ((Lines{"TEXT -5,7 \"ABC\" color=123456 bk=1:ABCDEF", "TEXT -5,7 \"\" color=000000 bk=2:000000",
                     "BARCODE -5,7 \"\" color=000000 bk=2:000000"}),
              Commands(h));
}

TEST_F(PrintCommandsTest, ShapesWithOtherCountsListTheirPoints) {
    DRIVERHANDLE h = StartPrinting();
    POINT points[] = {{1, 2}, {30, 40}, {5, 6}};
    EXPECT_EQ(1, driver_.D_Output(h, 6, 3, points, 13));  // one point more than a rectangle has
    EXPECT_EQ(1, driver_.D_Output(h, 72, 2, points, 13));
    EXPECT_EQ(1, driver_.D_Output(h, 9, 0, nullptr, -1));
    EXPECT_EQ(0, driver_.D_Output(h, 6, 2, nullptr, 13));
    EXPECT_EQ((Lines{"SHAPE style=6 1,2 30,40 5,6 rop=13", "SHAPE style=72 1,2 30,40 rop=13", "SHAPE style=9 rop=-1"}),
              Commands(h));
}

// The points lie at the very end of readable memory: reading one point more than the count
// allows would fault.
TEST_F(PrintCommandsTest, ShapesNeverReadPastTheirCount) {
    SYSTEM_INFO system{};
    ::GetSystemInfo(&system);
    const size_t page = system.dwPageSize;
    auto* pages = static_cast<BYTE*>(::VirtualAlloc(nullptr, 2 * page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    ASSERT_NE(nullptr, pages);
    DWORD previous = 0;
    ASSERT_TRUE(::VirtualProtect(pages + page, page, PAGE_NOACCESS, &previous));
    auto* points = reinterpret_cast<POINT*>(pages + page) - 16;
    for (LONG i = 0; i < 16; ++i) points[i] = POINT{i, -i};

    DRIVERHANDLE h = StartPrinting();
    EXPECT_EQ(1, driver_.D_Output(h, 5, 16, points, 13));
    for (LONG count : {17L, -1L, 0x7FFFFFFFL, static_cast<LONG>(0x80000000u)}) {
        EXPECT_EQ(0, driver_.D_Output(h, 5, count, points, 13)) << count;
        EXPECT_EQ(2, driver_.D_GetLastError());
    }
    Lines commands = Commands(h);
    ASSERT_EQ(1u, commands.size());
    EXPECT_EQ(0u, commands[0].find("SHAPE style=5 0,0 1,-1 "));
    EXPECT_NE(std::string::npos, commands[0].find(" 15,-15 rop=13"));
    ::VirtualFree(pages, 0, MEM_RELEASE);
}

// Well-formed images are compared whole in the driver's golden files.
TEST_F(PrintCommandsTest, ImagesThatDoNotHoldTheirBitmapAreInvalid) {
    DRIVERHANDLE h = StartPrinting();
    std::vector<BYTE> dib = vb::test::MakeDib(10, 4, 1, 2);
    vb::test::GlobalBlock broken(std::vector<BYTE>(dib.begin(), dib.end() - 1));
    POINT at{12, 34};
    SIZE size{100, 40};
    EXPECT_EQ(1, driver_.D_PrintDIB(h, &at, &size, broken.Get(), 0xCC0020));
    EXPECT_EQ(0, driver_.D_PrintDIB(h, nullptr, &size, nullptr, 0));
    EXPECT_EQ((Lines{"IMAGE 12,34 size=100x40 rop=0xCC0020 bitmap=invalid"}), Commands(h));
    EXPECT_EQ(0u, broken.LockCount());  // the block stays the caller's, unlocked
}

}  // namespace
