// The printing members of the Driver object with a device of the sample driver open.
#include <cstring>

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
    // GetRFIDNames with `names` passed by reference, as a script passes a variable.
    long RfidNamesInto(Variant& names) {
        Variant reference;
        V_VT(reference.Get()) = VT_BYREF | VT_VARIANT;
        V_VARIANTREF(reference.Get()) = names.Get();
        long result = Long(driver_.Call(L"GetRFIDNames", {reference}));
        V_VT(reference.Get()) = VT_EMPTY;  // the names belong to `names`
        return result;
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

    // Without RFID the names come back cleared; without colour images go with 1 bit a pixel.
    Variant names(std::wstring(L"untouched"));
    EXPECT_EQ(0, RfidNamesInto(names));
    EXPECT_EQ(VT_EMPTY, names.Type());
    EXPECT_EQ(L"1", Text(driver_.Get(L"DIBColors")));
    driver_.Call(L"CreateDC", {Str(L"Model 203 COLOR")});
    EXPECT_EQ(L"1;16;24;32", Text(driver_.Get(L"DIBColors")));
    wrapper_.ReleaseDriver();  // no devmode: monochrome
    EXPECT_EQ(L"1", Text(driver_.Get(L"DIBColors")));
}

// A value the driver accepts reads back; a refusal is False and leaves its error code.
TEST_F(DriverMembersTest, ParametersGoToTheDriver) {
    Open(L"FAM03.PRN", L"Model 300");
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(driver_.Call(L"SetParameter", {Str(L"Speed"), Variant(4L)}).Get()));
    EXPECT_EQ(4, Long(driver_.Call(L"GetParameter", {Str(L"speed")})));
    EXPECT_EQ(VT_EMPTY, driver_.Call(L"GetParameter", {Str(L"Darkness")}).Type());
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(driver_.Call(L"SetParameter", {Str(L""), Variant(4L)}).Get()));
    EXPECT_NE(0, Long(driver_.Call(L"GetLastError")));
}

// The names come back through a by-reference argument; one object is held at a time and handed
// back before the next and when the device goes.
TEST_F(DriverMembersTest, RfidNamesAndObjectFromACapableDevice) {
    Open(L"FAM03.PRN", L"Model 300 RFID");
    Variant names(std::wstring(L"untouched"));
    EXPECT_EQ(3, RfidNamesInto(names));
    EXPECT_EQ(L"EPC;TID;USER", Text(names));
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
    EXPECT_EQ(L"0;900;2700;1800", Text(driver_.Call(L"GetPropertyValues", {Variant(4L)})));
    driver_.Call(L"SetProperty", {Variant(4L), Variant(2700L)});
    EXPECT_EQ(2700, Long(driver_.Call(L"GetProperty", {Variant(4L)})));
    EXPECT_EQ("270", wrapper_.Devmode().Text(888, 25));
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
    DispatchClient settings(V_DISPATCH(code.Get()));
    settings.Put(L"ModuleX", Variant(30L));
    settings.Put(L"HumanReadable", Variant(2L));
    settings.Put(L"CheckInHR", Variant(1L));
    settings.Put(L"Option2", Variant(7L));
    EXPECT_EQ(1, Long(driver_.Call(L"SelectCode", {code})));
    EXPECT_EQ(1, Long(driver_.Call(L"SelectFont", {driver_.Call(L"GetFont", {Variant(0L)})})));
    // Module sizes reach the driver in dots: 30 and 25 hundredths of a millimetre at 300 dpi.
    EXPECT_EQ((std::vector<std::string>{"D_SelectCodeW(1, Code 128, 4, 3)", "D_SelectFontW(1, Label Mono, -20, 0)"}),
              CallsOf({"D_Select"}));
    // The rest of the description handed over: the bench's defaults over the driver's zeros at
    // bytes 20, 24 (gap) and 40, and each field set in its own place.
    const BYTE* handed = wrapper_.CurrentCode();
    auto longAt = [handed](size_t offset) {
        LONG value;
        std::memcpy(&value, handed + offset, 4);
        return value;
    };
    EXPECT_EQ((std::vector<long>{20, 1, 2, 1, 1, 0, 7}),
              (std::vector<long>{handed[20], longAt(24), handed[38], handed[39], handed[40], longAt(52), longAt(56)}));
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

    // Pieces around a variable add up, the variable measured by its value: 128 x 96 dots.
    driver_.Call(L"AddVariable", {Str(L"Lot"), Str(L"A-17"), Variant(0L)});
    SIZE pieces = SizeOf(driver_.Call(L"GetTextExt", {Str(L"No {{lot}}!"), Variant(0L)}));
    EXPECT_EQ(1084, pieces.cx);
    EXPECT_EQ(813, pieces.cy);

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
    // What the driver accepts is then judged by the rules of the selected code: QR Code's length.
    driver_.Call(L"SelectCode", {driver_.Call(L"GetCode", {Str(L"QR Code")})});
    EXPECT_EQ(1, Long(driver_.Call(L"IsValidData", {Str(std::wstring(100, L'1'))})));
}

// Each piece of a turned text starts where the one before it ends, read in the text's direction
// (upside down, last piece first); a turned barcode starts from the corner its turn brings up.
TEST_F(DriverMembersTest, TurnedTextPiecesAndBarcodesFollowTheirRotation) {
    Open(L"FAM03.PRN", L"Model 300");
    driver_.Call(L"AddVariable", {Str(L"Lot"), Str(L"A-17"), Variant(0L)});
    Variant font = driver_.Call(L"GetFont", {Str(L"Label Mono")});
    Variant code = driver_.Call(L"GetCode", {Str(L"Code 128")});
    sandbox_.ClearCalls();
    for (long rotation : {1800L, 2700L}) {
        DispatchClient(V_DISPATCH(font.Get())).Put(L"Rotation", Variant(rotation));
        driver_.Call(L"SelectFont", {font});
        driver_.Call(L"TextOut", {Variant(1000L), Variant(2000L), Str(L"No {{lot}}!"), Variant(0L)});
    }
    for (long rotation : {900L, 2700L}) {
        DispatchClient(V_DISPATCH(code.Get())).Put(L"Rotation", Variant(rotation));
        driver_.Call(L"SelectCode", {code});
        driver_.Call(L"CodeOut", {Variant(1000L), Variant(2000L), Str(L"12345"), Variant(0L)});
    }
    // From (118, 236) in dots; Label Mono is 10 x 20 dots a character, the barcode 165 x 118.
    EXPECT_EQ((std::vector<std::string>{"D_TextOutW(1, 128, 256, !)", "D_TextOutW(1, 168, 256, A-17)",
                                        "D_TextOutW(1, 198, 256, No )", "D_TextOutW(1, 118, 236, No )",
                                        "D_TextOutW(1, 118, 266, A-17)", "D_TextOutW(1, 118, 306, !)",
                                        "D_CodeOutW(1, 118, 401, 12345)", "D_CodeOutW(1, 236, 236, 12345)"}),
              CallsOf({"D_TextOutW", "D_CodeOutW"}));
}

TEST_F(DriverMembersTest, GdiTextExtentWorksWithoutADevice) {
    Open(L"FAM03.PRN", L"Model 300");
    wrapper_.Unload();
    Variant font = driver_.Call(L"GetFontGDI", {Str(L""), Variant(0L)});
    ASSERT_EQ(VT_DISPATCH, font.Type());
    // The platform may substitute the face and round the size to whole pixels.
    DispatchClient description(V_DISPATCH(font.Get()));
    EXPECT_NE(L"", Text(description.Get(L"Name")));
    // An empty name and size 0 give Arial at 14 points, both compared as the platform reports them.
    Variant arial = driver_.Call(L"GetFontGDI", {Str(L"Arial"), Variant(14L)});
    DispatchClient arialDescription(V_DISPATCH(arial.Get()));
    EXPECT_EQ(Text(arialDescription.Get(L"Name")), Text(description.Get(L"Name")));
    EXPECT_EQ(V_CY(arialDescription.Get(L"Size").Get()).int64, V_CY(description.Get(L"Size").Get()).int64);

    // The length is never read past the text's end.
    SIZE whole = SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(5L), font}));
    SIZE part = SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(2L), font}));
    EXPECT_GT(whole.cx, part.cx);
    EXPECT_GT(part.cx, 0);
    EXPECT_EQ(whole.cx, SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(500L), font})).cx);
    EXPECT_EQ(0, SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(5L), Variant(7L)})).cx);

    // The 209 x 56 dots that TextOutGDI prints at 300 dpi for this text and font (gdi_text_*.txt).
    Variant sans = driver_.Call(L"GetFontGDI", {Str(L"Liberation Sans"), Variant(-12L)});
    SIZE extent = SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Vellbrook"), Variant(9L), sans}));
    EXPECT_EQ(1770, extent.cx);
    EXPECT_EQ(474, extent.cy);
}

}  // namespace
