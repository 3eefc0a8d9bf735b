// The printing members of the Driver object with a device of the sample driver open.
#include "OpenDeviceFixture.h"

namespace {

using vb::Variant;
using vb::test::DispatchClient;
using Event = vb::test::FakeDriverHandler::PrintEvent;

class DriverMembersTest : public OpenDeviceFixture {
protected:
    std::vector<std::wstring> EventTexts() const {
        std::vector<std::wstring> texts;
        for (const Event& event : handler_.events) texts.push_back(std::to_wstring(event.code) + L":" + event.text + L":" + event.extra);
        return texts;
    }
    std::wstring NameOf(const Variant& object) {
        return V_VT(object.Get()) == VT_DISPATCH ? Text(DispatchClient(V_DISPATCH(object.Get())).Get(L"Name")) : L"<none>";
    }
    SIZE SizeOf(const Variant& object) {
        DispatchClient size(V_DISPATCH(object.Get()));
        return SIZE{Long(size.Get(L"cx")), Long(size.Get(L"cy"))};
    }
};

TEST_F(DriverMembersTest, StartDocDefaultsAndPaperText) {
    Open(L"FAM03.PRN", L"Model 300");
    sandbox_.ClearCalls();
    EXPECT_EQ(1, Long(driver_.Call(L"StartDoc")));
    // The device is reset, set up, and the set-up applied before the document starts.
    EXPECT_EQ((std::vector<std::string>{"D_SetVarInfo(1, 0, 0)", "D_SetSpecificOptions(1, 0)", "D_ResetDriver(1)",
                                        "D_PrinterParameter(1, ReloadImagesNext, -1)", "D_RealizeDMW(1, Model 300)",
                                        "D_ResetDriver(1)", "D_StartDocW(1, CDriverWrapper, " +
                                            vb::ToUtf8(sandbox_.OutputFile()) + ")"}),
              CallsOf({"D_SetVarInfo", "D_SetSpecificOptions", "D_ResetDriver", "D_PrinterParameter", "D_RealizeDMW",
                       "D_StartDocW"}));
    EXPECT_EQ(1, Long(driver_.Call(L"EndDoc", {Variant(std::wstring(L"front")), Variant(std::wstring(L"extra"))})));
    EXPECT_EQ((std::vector<std::wstring>{L"0:Paper: 8000 x 8000, DPI: 300 x 300:", L"1:front:extra"}), EventTexts());
    // Arguments that do not convert fall back to their defaults; False turns the paper text off.
    handler_.events.clear();
    driver_.Call(L"StartDoc", {Variant(std::wstring(L"wide")), Variant::Missing(), Variant::Missing(),
                               Variant::Missing(), Variant::Missing(), Variant::Bool(false)});
    EXPECT_EQ(8000, Long(driver_.Get(L"PageWidth")));
    // Only True (-1) turns it on; the text gives the page as set up, width first.
    driver_.Call(L"StartDoc", {Variant(10000L), Variant(5000L), Variant(1L), Variant(1L), Variant(1L), Variant(1L)});
    driver_.Call(L"StartDoc", {Variant(10000L), Variant(5000L), Variant(1L), Variant(1L), Variant(1L), Variant(-1L)});
    EXPECT_EQ((std::vector<std::wstring>{L"0::", L"0::", L"0:Paper: 10000 x 5000, DPI: 300 x 300:"}), EventTexts());
}

// The hook is on from the start of a document of this family to the end of its driver call.
TEST_F(DriverMembersTest, TheHookFamilySwitchesAroundADocument) {
    Open(L"FAM09.PRN", L"Model 300");
    driver_.Call(L"StartDoc");
    driver_.Call(L"EndDoc", {Str(L"front")});
    EXPECT_EQ((std::vector<std::wstring>{L"2:ON:", L"0:Paper: 8000 x 8000, DPI: 300 x 300:", L"2:OFF:", L"1:front:"}),
              EventTexts());
}

TEST_F(DriverMembersTest, CountryAndEscapesReachTheDriverAsGiven) {
    Open(L"FAM03.PRN", L"Model 300");
    sandbox_.ClearCalls();
    driver_.Call(L"SetCountry", {Variant(49L), Variant(2L)});
    driver_.Call(L"Escape", {Variant(0x2030L), Variant(7L), Str(L"head")});
    EXPECT_EQ((std::vector<std::string>{"D_SetCountry(1, 49, 2)", "D_EscapeW(1, 0x2030, 7, head, 0)"}),
              CallsOf({"D_"}));
}

TEST_F(DriverMembersTest, NoLabelsPerRowOrColumnStartsNothing) {
    Open(L"FAM09.PRN", L"Model 300");
    sandbox_.ClearCalls();
    EXPECT_EQ(0, Long(driver_.Call(L"StartDoc", {Variant(8000L), Variant(8000L), Variant(1L), Variant(0L)})));
    EXPECT_EQ(0, Long(driver_.Call(L"StartDoc", {Variant(8000L), Variant(8000L), Variant(1L), Variant(1L), Variant(-2L)})));
    EXPECT_TRUE(handler_.events.empty());
    EXPECT_TRUE(CallsOf({"D_StartDocW", "D_SetVarInfo"}).empty());
    EXPECT_EQ(1, Long(driver_.Get(L"PagePerRow")));  // the set-up is left as it was
}

TEST_F(DriverMembersTest, DeviceCapabilitiesByIndex) {
    Open(L"FAM03.PRN", L"Model 203");
    EXPECT_EQ(L"1000x1000,2000x1500", Text(driver_.Call(L"GetDeviceCaps", {Variant(3L), Variant(std::wstring(L","))})));
    EXPECT_EQ(L"10000;30000", Text(driver_.Call(L"GetDeviceCaps", {Variant(5L)})));
    EXPECT_EQ(L"Plain paper;Label stock", Text(driver_.Call(L"GetDeviceCaps", {Variant(16L)})));
    EXPECT_EQ(203, Long(driver_.Call(L"GetDeviceCaps", {Variant(18L)})));
    EXPECT_EQ(VT_EMPTY, driver_.Call(L"GetDeviceCaps", {Variant(6L)}).Type());
}

// The names come back through a by-reference argument; one object is held at a time and handed
// back before the next and when the device goes.
TEST_F(DriverMembersTest, RfidNamesAndObjectFromACapableDevice) {
    Open(L"FAM03.PRN", L"Model 300 RFID");
    Variant names(std::wstring(L"untouched"));
    Variant reference;
    V_VT(reference.Get()) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(reference.Get()) = names.Get();
    EXPECT_EQ(3, Long(driver_.Call(L"GetRFIDNames", {reference})));
    EXPECT_EQ(L"EPC;TID;USER", Text(names));
    V_VT(reference.Get()) = VT_EMPTY;
    Variant first = driver_.Call(L"GetRFIDObject", {Variant(0L)});
    ASSERT_NE(nullptr, V_DISPATCH(first.Get()));
    Variant second = driver_.Call(L"GetRFIDObject", {Variant(1L)});
    wrapper_.ReleaseDriver();
    EXPECT_EQ((std::vector<std::string>{"D_RFIDUpdateInterface(1, taken)", "D_RFIDUpdateInterface(1, released)",
                                        "D_RFIDUpdateInterface(1, taken)", "D_RFIDUpdateInterface(1, released)"}),
              CallsOf({"D_RFIDUpdateInterface"}));
}

TEST_F(DriverMembersTest, FamilyPropertiesThroughTheScriptMembers) {
    Open(L"FAM05.PRN", L"Model 300");
    EXPECT_EQ(L"0,900,2700,1800", Text(driver_.Call(L"GetPropertyValues", {Variant(4L), Str(L",")})));
    driver_.Call(L"SetProperty", {Variant(4L), Variant(2700L)});
    EXPECT_EQ(2700, Long(driver_.Call(L"GetProperty", {Variant(4L)})));
}

TEST_F(DriverMembersTest, FontsAndCodesByNameOrPosition) {
    Open(L"FAM03.PRN", L"Model 300");
    EXPECT_EQ(L" LABEL SANS ", NameOf(driver_.Call(L"GetFont", {Str(L"label sans")})));
    EXPECT_EQ(L"Label Mono", NameOf(driver_.Call(L"GetFont", {Str(L"0")})));
    std::wstring fallback = NameOf(driver_.Call(L"GetFont", {Str(L"Nothing like it")}));
    EXPECT_NE(L"", fallback);
    EXPECT_EQ(fallback, NameOf(driver_.Call(L"GetFont", {Variant(3L)})));
    EXPECT_EQ(L"EAN 13", NameOf(driver_.Call(L"GetCode", {Variant(1L)})));
    EXPECT_EQ(L"", NameOf(driver_.Call(L"GetCode", {Str(L"Code 39")})));
}

TEST_F(DriverMembersTest, OnlyTheBenchsOwnFontAndCodeObjectsAreSelected) {
    Open(L"FAM03.PRN", L"Model 300");
    Variant gdiFont = driver_.Call(L"GetFontGDI", {Str(L"Arial"), Variant(10L)});
    EXPECT_EQ(0, Long(driver_.Call(L"SelectFont", {gdiFont})));
    EXPECT_EQ(0, Long(driver_.Call(L"SelectCode", {driver_.Call(L"GetFont", {Variant(0L)})})));
    EXPECT_EQ(0, Long(driver_.Call(L"SelectFont", {Variant(5L)})));

    sandbox_.ClearCalls();
    Variant code = driver_.Call(L"GetCode", {Str(L"Code 128")});
    DispatchClient(V_DISPATCH(code.Get())).Put(L"ModuleX", Variant(30L));
    EXPECT_EQ(1, Long(driver_.Call(L"SelectCode", {code})));
    EXPECT_EQ(1, Long(driver_.Call(L"SelectFont", {driver_.Call(L"GetFont", {Variant(0L)})})));
    // Module sizes reach the driver in dots: 30 and 25 hundredths of a millimetre at 300 dpi.
    EXPECT_EQ((std::vector<std::string>{"D_SelectCodeW(1, Code 128, 4, 3)", "D_SelectFontW(1, Label Mono, -20, 0)"}),
              CallsOf({"D_Select"}));
}

TEST_F(DriverMembersTest, ExtentsComeBackInHundredthsOfAMillimetre) {
    Open(L"FAM03.PRN", L"Model 300");
    // The default font is 32 dots high and 16 wide a character: 4 characters, 64 x 32 dots.
    SIZE text = SizeOf(driver_.Call(L"GetTextExt", {Str(L"ABCD"), Variant(99L)}));
    EXPECT_EQ(542, text.cx);
    EXPECT_EQ(271, text.cy);

    // Code 128 as the driver enumerated it: module 25, height 1000, 11 modules a character.
    SIZE code = SizeOf(driver_.Call(L"GetCodeExt", {Str(L"12345"), Variant(5L)}));
    EXPECT_EQ(11642, code.cx);
    EXPECT_EQ(8467, code.cy);
    // The driver is never told to read past the data.
    EXPECT_EQ(11642, SizeOf(driver_.Call(L"GetCodeExt", {Str(L"12345"), Variant(50L)})).cx);
    EXPECT_EQ(0, SizeOf(driver_.Call(L"GetCodeExt", {Str(L"12345"), Variant(-3L)})).cx);
    EXPECT_TRUE(Logged("D_GetCodeExtW(1, 12345, 5)"));

    wrapper_.ReleaseDriver();
    SIZE none = SizeOf(driver_.Call(L"GetTextExt", {Str(L"ABCD"), Variant(4L)}));
    EXPECT_EQ(0, none.cx);
    EXPECT_EQ(0, none.cy);
}

TEST_F(DriverMembersTest, DataChecksPassTheDriversRefusalsThrough) {
    Open(L"FAM03.PRN", L"Model 300");
    EXPECT_EQ(-1, Long(driver_.Call(L"IsValidData", {Str(L"a?b")})));
    EXPECT_EQ(1, Long(driver_.Call(L"IsValidData", {Str(L"12345")})));
    EXPECT_EQ(-2, Long(driver_.Call(L"IsValidData", {Str(std::wstring(100, L'1'))})));
}

TEST_F(DriverMembersTest, GdiTextExtentWorksWithoutADevice) {
    Open(L"FAM03.PRN", L"Model 300");
    wrapper_.Unload();
    Variant font = driver_.Call(L"GetFontGDI", {Str(L""), Variant(0L)});
    ASSERT_EQ(VT_DISPATCH, font.Type());
    // The platform may substitute the face and round the size to whole pixels.
    DispatchClient description(V_DISPATCH(font.Get()));
    EXPECT_NE(L"", Text(description.Get(L"Name")));

    // The length is never read past the text's end.
    SIZE whole = SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(5L), font}));
    SIZE part = SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(2L), font}));
    EXPECT_GT(whole.cx, part.cx);
    EXPECT_GT(part.cx, 0);
    EXPECT_EQ(whole.cx, SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(500L), font})).cx);
    EXPECT_EQ(0, SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(5L), Variant(7L)})).cx);
}

}  // namespace
