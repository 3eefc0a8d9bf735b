#include "OpenDeviceFixture.h"

namespace {

using Calls = std::vector<std::string>;

class DeviceContextTest : public OpenDeviceFixture {
protected:
    const DevmodeBuffer& Devmode() const { return wrapper_.Devmode(); }
    std::wstring Folder() const { return sandbox_.Path(L""); }
};

TEST_F(DeviceContextTest, OpeningSendsTheSetUpInItsOrder) {
    HWND parent = ::CreateWindowW(L"STATIC", L"parent", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    std::wstring path = sandbox_.AddDriver(L"FAM03.PRN");
    ASSERT_TRUE(wrapper_.Load(path, sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE));
    vb::test::WriteFileBytes(sandbox_.SettingsFile(), "[stale]\r\n");
    sandbox_.ClearCalls();
    ASSERT_TRUE(wrapper_.CreateDriverDC(L"Model 300", parent));

    std::string folder = vb::ToUtf8(Folder());
    std::string window = std::to_string(reinterpret_cast<UINT_PTR>(parent));
    EXPECT_EQ((Calls{"D_Disable(0)",
                     "D_EnableDriverW(Model 300, FILE)",
                     "D_RealizeDMW(1, Model 300)",
                     "D_SaveDMW(1, Model 300, " + vb::ToUtf8(sandbox_.SettingsFile()) + ")",
                     "D_EscapeW(1, 0x2064, 0, " + folder + ", 0)",
                     "D_EscapeW(1, 0x2065, 0, " + folder + ", 0)",
                     "D_EscapeW(1, 0x2013, 0, 0, 0)",
                     "D_EscapeW(1, 0x2014, 0, 0, 0)",
                     "D_EscapeW(1, 0x200E, 5000, 0, 0)",
                     "D_EscapeW(1, 0x203F, 0, 0, object)",
                     "D_SetParentWindow(1, " + window + ")",
                     "D_EscapeW(1, 0x201C, 0, Model 300, 0)",
                     "D_EscapeW(1, 0x203E, 0, 0, 0)",
                     "D_EscapeW(1, 0x2020, 0, 0, 0)",
                     "D_EnumFontsW(1)",
                     "D_EnumCodesW(1)"}),
              CallsOf({"D_Disable", "D_EnableDriverW", "D_RealizeDMW", "D_SaveDMW", "D_EscapeW", "D_SetParentWindow",
                       "D_Enum"}));
    // The driver started from its own defaults and saved the set-up it was given.
    std::string settings = vb::test::ReadFileBytes(sandbox_.SettingsFile());
    EXPECT_EQ(std::string::npos, settings.find("[stale]"));
    EXPECT_NE(std::string::npos, settings.find("[Model 300]"));
    EXPECT_EQ(L"Model 300", wrapper_.Model());
    EXPECT_EQ(1u, wrapper_.DeviceHandle());
    ::DestroyWindow(parent);
}

TEST_F(DeviceContextTest, FontAndCodeMapsMergeNamesThatDifferInCaseOrBlanks) {
    Open(L"FAM03.PRN", L"Model 300");
    const auto& fonts = wrapper_.FontMap();
    ASSERT_EQ(3u, fonts.size());
    ASSERT_EQ(1u, fonts.count(L"label sans"));
    EXPECT_EQ(-32, fonts.at(L"label sans").font.lfHeight);  // the later of the two wins
    EXPECT_EQ(L"label sans", wrapper_.DefaultFontName());
    EXPECT_EQ(1u, wrapper_.CodeMap().count(L"qr code"));
    EXPECT_EQ(L"code 128", wrapper_.DefaultCodeName());
    EXPECT_EQ(3, Long(driver_.Get(L"Codes")));
}

TEST_F(DeviceContextTest, ResetForgetsVariablesAndSelectsTheDefaults) {
    Open(L"FAM03.PRN", L"Model 300");
    driver_.Put(L"ObjectPosition", vb::Variant(9L));
    EXPECT_EQ(9, Long(driver_.Get(L"ObjectPosition")));
    sandbox_.ClearCalls();
    wrapper_.ResetDevice();
    EXPECT_EQ((Calls{"D_SetVarInfo(1, 0, 0)", "D_SetSpecificOptions(1, 0)", "D_SelectFontW(1,  LABEL SANS , -32, 0)",
                     "D_SelectCodeW(1, Code 128, 25, 1000)"}),
              CallsOf({"D_"}));
    EXPECT_EQ(0, Long(driver_.Get(L"ObjectPosition")));
}

TEST_F(DeviceContextTest, ADriverWithoutFontsSelectsNothing) {
    Open(L"FAM03.PRN", L"Model 300 NOFONTS");
    EXPECT_TRUE(wrapper_.FontMap().empty());
    EXPECT_TRUE(wrapper_.CodeMap().empty());
    EXPECT_EQ(L"", wrapper_.DefaultFontName());
    EXPECT_EQ(0, Long(driver_.Call(L"SelectCode", {driver_.Call(L"GetCode", {vb::Variant(0L)})})));
    EXPECT_TRUE(CallsOf({"D_SelectFontW", "D_SelectCodeW"}).empty());
}

TEST_F(DeviceContextTest, PageSetUpOfAMarkedDevmode) {
    Open(L"FAM03.PRN", L"Model 300");
    ASSERT_TRUE(wrapper_.SetupPage(10000, 5000, 3, 2, 1));
    // Paper in tenths of a millimetre, then the marked block: labels, copies, sizes and counts.
    const struct {
        size_t offset;
        bool wide;
        long value;
    } fields[] = {{48, false, 500}, {50, false, 1000}, {160, true, 3}, {328, true, 500}, {344, true, 2},
                  {372, false, 2}};
    for (const auto& f : fields) {
        EXPECT_EQ(f.value, f.wide ? Devmode().I32(f.offset).value_or(-1) : Devmode().U16(f.offset).value_or(-1))
            << f.offset;
    }
    EXPECT_EQ(10000, Long(driver_.Get(L"PageWidth")));
    EXPECT_EQ(5000, Long(driver_.Get(L"PageHeight")));
    EXPECT_EQ(2, Long(driver_.Get(L"PagePerRow")));
    EXPECT_EQ(1, Long(driver_.Get(L"PagePerCol")));
}

TEST_F(DeviceContextTest, UnmarkedOrEmptySetUpGetsOnlyThePublicFields) {
    for (const wchar_t* model : {L"Model 300 NOMARK", L"Model 300 NOSETUP"}) {
        Open(L"FAM03.PRN", model);
        ASSERT_TRUE(wrapper_.SetupPage(10000, 5000, 3, 2, 1));
        EXPECT_EQ(1000, Devmode().U16(50)) << vb::ToUtf8(model);
        EXPECT_EQ(0, Devmode().U16(152)) << vb::ToUtf8(model);
        EXPECT_EQ(0, Devmode().I32(328)) << vb::ToUtf8(model);
        EXPECT_EQ(0, Devmode().U16(372)) << vb::ToUtf8(model);
        EXPECT_FALSE(Logged("D_PrinterParameter(1, ReloadImagesNext, -1)"));
        wrapper_.Unload();
    }
}

TEST_F(DeviceContextTest, DriversWithoutRealizeOrEscapesCountAsOpenWithoutThem) {
    Open(L"FAM03.PRN", L"Model 300", L"no_realize_driver.dll");
    EXPECT_NE(0u, wrapper_.DeviceHandle());
    EXPECT_TRUE(CallsOf({"D_EscapeW", "D_EnumFontsW", "D_SaveDMW"}).empty());
    EXPECT_TRUE(wrapper_.FontMap().empty());
    wrapper_.Unload();
    sandbox_.ClearCalls();

    // Without escapes the driver still enumerates.
    Open(L"FAM03.PRN", L"Model 300", L"no_escape_driver.dll");
    EXPECT_TRUE(CallsOf({"D_SetParentWindow", "D_SetPF"}).empty());
    EXPECT_EQ(3u, wrapper_.FontMap().size());
}

// Opening again ends the first instance first; with the reload flag the library starts afresh.
TEST_F(DeviceContextTest, ScriptMembersCreateDCAndResetDC) {
    Open(L"FAM03.PRN", L"Model 300");
    EXPECT_EQ(1, Long(driver_.Call(L"ResetDC")));
    sandbox_.ClearCalls();
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(driver_.Call(L"createdc", {Str(L"Model 203")}).Get()));
    EXPECT_EQ((Calls{"D_Disable(1)", "D_EnableDriverW(Model 203, FILE)"}), CallsOf({"D_Disable", "D_EnableDriverW"}));
    EXPECT_EQ(2u, wrapper_.DeviceHandle());
    EXPECT_EQ(203, wrapper_.DriverInfo().resolutionY);

    sandbox_.ClearCalls();
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(driver_.Call(L"CreateDC", {vb::Variant::Missing(), vb::Variant::Bool(true)}).Get()));
    EXPECT_TRUE(Logged("detach"));
    EXPECT_EQ(L"Model 203", Text(driver_.Get(L"Model")));
    EXPECT_EQ(1u, wrapper_.DeviceHandle());  // a fresh library counts from 1 again
}

}  // namespace
