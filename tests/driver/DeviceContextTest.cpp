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
                     "D_GetDevModeW(1)",
                     "D_GetDevModeW(1)",
                     "D_ResetDriver(1)",
                     "D_PrinterParameter(1, ReloadImagesNext, -1)",
                     "D_RealizeDMW(1, Model 300)",
                     "D_ResetDriver(1)",
                     "D_SaveDMW(1, Model 300, " + vb::ToUtf8(sandbox_.SettingsFile()) + ")",
                     "D_EscapeW(1, 0x2064, 0, " + folder + ", 0)",
                     "D_EscapeW(1, 0x2065, 0, " + folder + ", 0)",
                     "D_EscapeW(1, 0x2013, 0, 0, 0)",
                     "D_EscapeW(1, 0x2014, 0, 0, 0)",
                     "D_EscapeW(1, 0x200E, 5000, 0, 0)",
                     "D_EscapeW(1, 0x203F, 0, 0, object)",
                     "D_SetParentWindow(1, " + window + ")",
                     "D_SetPFMessageBox(1, 0)",
                     "D_SetPFAppEvent(1, 0)",
                     "D_SetPFAppEventMT(1, 0)",
                     "D_EscapeW(1, 0x201C, 0, Model 300, 0)",
                     "D_EscapeW(1, 0x203E, 0, 0, 0)",
                     "D_EscapeW(1, 0x2020, 0, 0, 0)",
                     "D_EnumFontsW(1)",
                     "D_SelectFontW(1,  LABEL SANS , -32, 0)",
                     "D_EnumCodesW(1)",
                     "D_SelectCodeW(1, Code 128, 25, 1000)",
                     "D_GetDrvCaps(1, 5, 0)",
                     "D_GetDrvCaps(1, 5, 2)"}),
              CallsOf({"D_"}));
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
    EXPECT_EQ(32, fonts.at(L"label sans").metrics.tmHeight);
    EXPECT_EQ(1u, fonts.count(L"label mono"));
    EXPECT_EQ(L"label sans", wrapper_.DefaultFontName());
    EXPECT_EQ(-32, wrapper_.CurrentFont().lfHeight);

    const auto& codes = wrapper_.CodeMap();
    ASSERT_EQ(3u, codes.size());
    EXPECT_EQ(1u, codes.count(L"qr code"));
    EXPECT_EQ(L"code 128", wrapper_.DefaultCodeName());
    EXPECT_EQ(67, wrapper_.CurrentCode()[0]);
    EXPECT_EQ(3, Long(driver_.Get(L"Fonts")));
    EXPECT_EQ(3, Long(driver_.Get(L"Codes")));

    // Scripts may enumerate again; the driver answers with its count.
    sandbox_.ClearCalls();
    EXPECT_EQ(4, Long(driver_.Call(L"EnumFontFamilies")));
    EXPECT_EQ(3, Long(driver_.Call(L"EnumCodeFamilies")));
    EXPECT_EQ((Calls{"D_EnumFontsW(1)", "D_SelectFontW(1,  LABEL SANS , -32, 0)", "D_EnumCodesW(1)",
                     "D_SelectCodeW(1, Code 128, 25, 1000)"}),
              CallsOf({"D_"}));
    EXPECT_EQ(3, Long(driver_.Get(L"Fonts")));
}

TEST_F(DeviceContextTest, ResetForgetsVariablesAndSelectsTheDefaults) {
    Open(L"FAM03.PRN", L"Model 300");
    driver_.Put(L"ObjectPosition", vb::Variant(9L));
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
    EXPECT_TRUE(CallsOf({"D_SelectFontW", "D_SelectCodeW"}).empty());
}

TEST_F(DeviceContextTest, PageSetUpOfAMarkedDevmode) {
    Open(L"FAM03.PRN", L"Model 300");
    EXPECT_EQ(0xE, Devmode().I32(40).value() & 0xE);
    EXPECT_EQ(1, Devmode().U16(44));
    EXPECT_EQ(256, Devmode().U16(46));
    EXPECT_EQ(800, Devmode().U16(48));
    EXPECT_EQ(800, Devmode().U16(50));

    ASSERT_TRUE(wrapper_.SetupPage(10000, 5000, 3, 2, 1));
    EXPECT_EQ(500, Devmode().U16(48));
    EXPECT_EQ(1000, Devmode().U16(50));
    EXPECT_EQ(7, Devmode().U16(152));
    EXPECT_EQ(1, Devmode().I32(156));
    EXPECT_EQ(3, Devmode().I32(160));
    EXPECT_EQ(500, Devmode().I32(328));
    EXPECT_EQ(500, Devmode().I32(332));
    EXPECT_EQ(1, Devmode().I32(340));
    EXPECT_EQ(2, Devmode().I32(344));
    EXPECT_EQ(500, Devmode().I32(364));
    EXPECT_EQ(1000, Devmode().I32(368));
    EXPECT_EQ(2, Devmode().U16(372));
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

TEST_F(DeviceContextTest, NoLabelsPerRowOrColumnIsRefused) {
    Open(L"FAM03.PRN", L"Model 300");
    ASSERT_TRUE(wrapper_.SetupPage(10000, 5000, 1, 2, 2));
    EXPECT_FALSE(wrapper_.SetupPage(10000, 5000, 1, 0, 1));
    EXPECT_FALSE(wrapper_.SetupPage(10000, 5000, 1, 1, -4));
    EXPECT_EQ(2, Long(driver_.Get(L"PagePerRow")));
    EXPECT_EQ(500, Devmode().I32(328));
}

TEST_F(DeviceContextTest, FamiliesWithFieldsOfTheirOwn) {
    Open(L"FAM01.PRN", L"Model 300");
    EXPECT_EQ(20, Devmode().I16(882));  // head temperature of the first set-up
    wrapper_.SetProperty(5, *vb::Variant(0x0103L).Get());
    wrapper_.SetupPage(8000, 8000, 1, 1, 1);
    EXPECT_EQ(0x0003, Devmode().U16(876));
    wrapper_.Unload();

    Open(L"FAM02.PRN", L"Model 300");
    EXPECT_EQ(2, Devmode().U16(1160));
    wrapper_.Unload();

    Open(L"FAM10.PRN", L"Model 300");
    EXPECT_EQ(2, Devmode().I32(900).value() & 2);
    wrapper_.Unload();

    EXPECT_TRUE(handler_.openedPipes.empty());
    Open(L"FAM05.PRN", L"Model 300");
    wrapper_.SetupPage(8000, 8000, 1, 1, 1);
    EXPECT_EQ((std::vector<std::wstring>{L"\\\\.\\pipe\\DizEvoviDodu", L"\\\\.\\pipe\\DizEvoviDodu"}),
              handler_.openedPipes);
    wrapper_.Unload();

    Open(L"FAM08.PRN", L"Model 300");
    EXPECT_EQ(0, Devmode().U16(876));
    EXPECT_EQ(0, Devmode().I32(900));
    EXPECT_EQ(0, Devmode().U16(1160));
    EXPECT_EQ(0, Devmode().I16(882));
    EXPECT_EQ(2u, handler_.openedPipes.size());
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
    EXPECT_EQ(2, Long(driver_.Get(L"DateTimeCounts")));
}

TEST_F(DeviceContextTest, FailingEnableLeavesNoDevice) {
    std::wstring path = sandbox_.AddDriver(L"FAM03.PRN");
    ASSERT_TRUE(wrapper_.Load(path, sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE));
    EXPECT_FALSE(wrapper_.CreateDriverDC(L"", nullptr));
    EXPECT_EQ(0u, wrapper_.DeviceHandle());
    EXPECT_TRUE(wrapper_.Devmode().Empty());
}

// Opening again ends the first instance first; with the reload flag the library starts afresh.
TEST_F(DeviceContextTest, ScriptMembersCreateDCAndResetDC) {
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(driver_.Call(L"CreateDC", {Str(L"Model 300")}).Get()));
    EXPECT_EQ(0, Long(driver_.Call(L"ResetDC")));
    EXPECT_TRUE(sandbox_.Calls().empty());

    Open(L"FAM03.PRN", L"Model 300");
    EXPECT_EQ(1, Long(driver_.Call(L"ResetDC")));
    sandbox_.ClearCalls();
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(driver_.Call(L"createdc", {Str(L"Model 203")}).Get()));
    EXPECT_EQ((Calls{"D_Disable(1)", "D_EnableDriverW(Model 203, FILE)"}), CallsOf({"D_Disable", "D_EnableDriverW"}));
    EXPECT_EQ(2u, wrapper_.DeviceHandle());
    EXPECT_EQ(L"Model 203", Text(driver_.Get(L"Model")));
    EXPECT_EQ(203, wrapper_.DriverInfo().resolutionX);
    EXPECT_EQ(203, wrapper_.DriverInfo().resolutionY);

    sandbox_.ClearCalls();
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(driver_.Call(L"CreateDC", {vb::Variant::Missing(), vb::Variant::Bool(true)}).Get()));
    EXPECT_EQ(L"Model 203", Text(driver_.Get(L"Model")));
    Calls calls = sandbox_.Calls();
    ASSERT_GE(calls.size(), 3u);
    EXPECT_EQ("FAM03.PRN: detach", calls[1]);
    EXPECT_EQ("FAM03.PRN: attach", calls[2]);
    EXPECT_EQ(1u, wrapper_.DeviceHandle());  // a fresh library counts from 1 again
}

// The driver reads the format's sizes by their dispatch ids, and variables by name.
TEST_F(DeviceContextTest, TheDriverReachesTheCallbackObjectEndToEnd) {
    Open(L"FAM03.PRN", L"Model 300");
    wrapper_.SetupPage(10000, 6000, 1, 4, 2);
    EXPECT_EQ(1, Long(driver_.Call(L"Escape", {vb::Variant(0x7002L), vb::Variant(0L)})));
    EXPECT_TRUE(Logged("format: page 1000x600 label 250x300"));

    driver_.Call(L"AddVariable", {Str(L" Serial "), Str(L"1"), vb::Variant(1L)});
    EXPECT_EQ(1, Long(driver_.Call(L"Escape", {vb::Variant(0x7001L), vb::Variant(0L), Str(L"SERIAL")})));
    EXPECT_TRUE(Logged("variable SERIAL: found type=1 value=1"));
    EXPECT_EQ(0, Long(driver_.Call(L"Escape", {vb::Variant(0x7001L), vb::Variant(0L), Str(L"other")})));
    EXPECT_TRUE(Logged("variable other: missing"));
}

}  // namespace
