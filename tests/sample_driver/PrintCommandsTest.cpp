// The calls the bench's own print files never show: counts and lengths it would not send, extents
// that must stay within 16 bits, and who holds the callback object. The ordinary commands are
// compared whole in the bench's print-file tests.
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "SampleDriverTest.h"
#include "TestHostObject.h"

namespace {

using Lines = std::vector<std::string>;
using vb::test::TestHostObject;

// "<width>x<height>" of an extent.
std::string Size(DWORD extent) { return std::to_string(LOWORD(extent)) + "x" + std::to_string(HIWORD(extent)); }

using PrintCommandsTest = vb::test::SampleDriverTest;

TEST_F(PrintCommandsTest, TextAndBarcodesTakeTheLengthGiven) {
    DRIVERHANDLE h = StartPrinting();
    POINT at{-5, 7};
    EXPECT_EQ(1, driver_.D_TextOutW(h, &at, L"ABCDEF", 3, 0x123456, 1, 0xABCDEF));
    EXPECT_EQ(1, driver_.D_CodeOutW(h, &at, nullptr, 4, 0, 2, 0));
    EXPECT_EQ(0, driver_.D_TextOutW(h, nullptr, L"A", 1, 0, 2, 0));
    EXPECT_EQ(2, driver_.D_GetLastError());
    EXPECT_EQ((Lines{"TEXT -5,7 \"ABC\" color=123456 bk=1:ABCDEF", "BARCODE -5,7 \"\" color=000000 bk=2:000000"}),
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
    EXPECT_EQ(0, driver_.D_Output(h, 6, 2, nullptr, 13));
    EXPECT_EQ(0, driver_.D_PrintDIB(h, nullptr, nullptr, nullptr, 0));
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

TEST_F(PrintCommandsTest, TextExtentFollowsTheSelectedFontWithinBounds) {
    DRIVERHANDLE h = Enable(L"LX");
    const struct {
        LONG height, length;
        const char* size;
    } cases[] = {{0, -7, "0x10"},  {0, LONG_MAX, "65535x10"},
                 {-24, 5, "60x24"}, {1, 4, "4x1"} /* half a dot a letter still takes one */,
                 {LONG_MIN, 1, "65535x65535"}};
    for (const auto& c : cases) {
        LOGFONTW font{};
        font.lfHeight = c.height;
        ASSERT_EQ(1, driver_.D_SelectFontW(h, &font));
        EXPECT_EQ(c.size, Size(driver_.D_GetTextExtW(h, L"text", c.length))) << c.height << " " << c.length;
    }
}

TEST_F(PrintCommandsTest, BarcodeExtentFollowsTheSelectedCodeWithinBounds) {
    DRIVERHANDLE h = Enable(L"LX");
    const struct {
        LONG moduleX, vertical, length;
        const char* size;
    } cases[] = {{3, 118, 5, "165x118"},
                 {-4, -50, 1, "11x0"},
                 {LONG_MAX, 0, LONG_MAX, "65535x100"},
                 {LONG_MAX, 0, LONG_MIN, "0x100"}};
    for (const auto& c : cases) {
        BYTE description[144] = {};
        std::memcpy(description + 12, &c.moduleX, 4);
        std::memcpy(description + 4, &c.vertical, 4);
        ASSERT_EQ(1, driver_.D_SelectCodeW(h, description));
        EXPECT_EQ(c.size, Size(driver_.D_GetCodeExtW(h, L"1234", c.length))) << c.moduleX << " " << c.length;
    }
    EXPECT_EQ(0u, driver_.D_GetCodeExtW(42, L"1234", 4));
    EXPECT_EQ(1, driver_.D_GetLastError());
}

// Hands the callback object over with a reference of its own, as the bench does.
LONG HandOver(vb::test::SampleDriverLibrary& driver, DRIVERHANDLE h, TestHostObject& callback) {
    callback.AddRef();
    return driver.D_EscapeW(h, 0x203F, 0, nullptr, callback.AsDispatch());
}

// The driver keeps the one reference it is handed until a new object or D_Disable replaces it,
// and lets it go at once on an unknown handle.
TEST_F(PrintCommandsTest, DriverOwnsTheReferenceItIsGivenAndLetsItGo) {
    TestHostObject first, second, unknown;
    DRIVERHANDLE h = Enable(L"LX");
    EXPECT_EQ(1, HandOver(driver_, h, first));
    EXPECT_EQ(2u, first.References());  // the test's and the driver's: no extra one taken
    EXPECT_EQ(1, HandOver(driver_, h, second));
    EXPECT_EQ(1u, first.References());
    EXPECT_TRUE(driver_.D_Disable(h));
    EXPECT_EQ(1u, second.References());

    EXPECT_EQ(0, HandOver(driver_, 7, unknown));
    EXPECT_EQ(1u, unknown.References());
    EXPECT_EQ(1, driver_.D_GetLastError());
}

}  // namespace
