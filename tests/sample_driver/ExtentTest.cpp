// Extents as the bench reads them are checked through the wrapper in the driver tests; here,
// that they stay within 16 bits whatever the selections and lengths.
#include <climits>
#include <cstring>

#include "SampleDriverTest.h"

namespace {

// "<width>x<height>" of an extent.
std::string Size(DWORD extent) { return std::to_string(LOWORD(extent)) + "x" + std::to_string(HIWORD(extent)); }

class ExtentTest : public vb::test::SampleDriverTest {
protected:
    DRIVERHANDLE h_ = Enable(L"LX");
};

TEST_F(ExtentTest, TextFollowsTheSelectedFontWithinBounds) {
    EXPECT_EQ("15x10", Size(driver_.D_GetTextExtW(h_, L"text", 3)));  // no font yet
    const struct {
        LONG height, length;
        const char* size;
    } cases[] = {{0, -7, "0x10"},  {0, LONG_MAX, "65535x10"},
                 {-24, 5, "60x24"}, {1, 4, "4x1"} /* half a dot a letter still takes one */,
                 {LONG_MIN, 1, "65535x65535"}};
    for (const auto& c : cases) {
        LOGFONTW font{};
        font.lfHeight = c.height;
        ASSERT_EQ(1, driver_.D_SelectFontW(h_, &font));
        EXPECT_EQ(c.size, Size(driver_.D_GetTextExtW(h_, L"text", c.length))) << c.height << " " << c.length;
    }
}

TEST_F(ExtentTest, BarcodeFollowsTheSelectedCodeWithinBounds) {
    EXPECT_EQ("44x100", Size(driver_.D_GetCodeExtW(h_, L"1234", 4)));  // no code yet
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
        ASSERT_EQ(1, driver_.D_SelectCodeW(h_, description));
        EXPECT_EQ(c.size, Size(driver_.D_GetCodeExtW(h_, L"1234", c.length))) << c.moduleX << " " << c.length;
    }
    EXPECT_EQ(0u, driver_.D_GetCodeExtW(42, L"1234", 4));
    EXPECT_EQ(1, driver_.D_GetLastError());
}

}  // namespace
