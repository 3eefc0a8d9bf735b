#include "CIDriver.h"
#include "OpenDeviceFixture.h"

namespace {

using Calls = std::vector<std::string>;

class DeviceContextTest : public OpenDeviceFixture {
protected:
    const DevmodeBuffer& Devmode() const { return wrapper_.Devmode(); }
    // A 32-bit (wide) or 16-bit field of the devmode; -1 when it lies outside.
    long Field(size_t offset, bool wide) const {
        return wide ? Devmode().I32(offset).value_or(-1) : Devmode().U16(offset).value_or(-1);
    }
    std::wstring Folder() const { return sandbox_.Path(L""); }
};

TEST_F(DeviceContextTest, OpeningSendsTheSetUpInItsOrder) {
    HWND parent = ::CreateWindowW(L"STATIC", L"parent", 0, 0, 0, 1, 1, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, parent);
    std::wstring path = sandbox_.AddDriver(L"FAM03.PRN");
    ASSERT_TRUE(wrapper_.Load(path, sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE));
    vb::test::WriteFileBytes(sandbox_.SettingsFile(), "[stale]\r\n");
    // Events that were on before the opening are switched off by it.
    vb::SetMainWindow(parent);
    wrapper_.SetEnableEvents(TRUE);
    sandbox_.ClearCalls();
    ASSERT_TRUE(wrapper_.CreateDriverDC(L"Model 300", parent));
    vb::SetMainWindow(nullptr);

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
                     "D_SetPFAppEvent(1, 0)",
                     "D_SetPFAppEventMT(1, 0)",
                     "D_EscapeW(1, 0x201C, 0, Model 300, 0)",
                     "D_EscapeW(1, 0x203E, 0, 0, 0)",
                     "D_EscapeW(1, 0x2020, 0, 0, 0)",
                     "D_EnumFontsW(1)",
                     "D_SelectFontW(1,  LABEL SANS , -32, 0)",
                     "D_EnumCodesW(1)",
                     "D_SelectCodeW(1, Code 128, 25, 1000)"}),
              CallsOf({"D_Disable", "D_EnableDriverW", "D_RealizeDMW", "D_SaveDMW", "D_EscapeW", "D_SetParentWindow",
                       "D_SetPFAppEvent", "D_Enum", "D_Select"}));
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(driver_.Get(L"EnableEvents").Get()));
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

TEST_F(DeviceContextTest, ObjectNamesCountFromOneAfterAReset) {
    Open(L"FAM03.PRN", L"Model 300");
    auto printText = [this] {
        driver_.Call(L"TextOut", {vb::Variant(0L), vb::Variant(0L), Str(L"x"), vb::Variant(0L)});
    };
    printText();
    wrapper_.ResetDevice();
    sandbox_.ClearCalls();
    printText();
    EXPECT_TRUE(Logged("D_SetVarInfo(1, 0, TEXT_OBJECT_1)"));
    EXPECT_TRUE(Logged("D_EscapeW(1, 0x202A, 0, TEXT_2, 0)"));
}

TEST_F(DeviceContextTest, ADriverWithoutFontsSelectsNothing) {
    Open(L"FAM03.PRN", L"Model 300 NOFONTS");
    EXPECT_TRUE(wrapper_.FontMap().empty());
    EXPECT_TRUE(wrapper_.CodeMap().empty());
    EXPECT_EQ(L"", wrapper_.DefaultFontName());
    EXPECT_EQ(0, Long(driver_.Call(L"SelectCode", {driver_.Call(L"GetCode", {vb::Variant(0L)})})));
    EXPECT_TRUE(CallsOf({"D_SelectFontW", "D_SelectCodeW"}).empty());

    // Fonts and barcode types are counted apart.
    Open(L"FAM03.PRN", L"Model 300 NOCODES");
    EXPECT_EQ(3, Long(driver_.Get(L"Fonts")));
    EXPECT_EQ(0, Long(driver_.Get(L"Codes")));
}

TEST_F(DeviceContextTest, PageSetUpOfAMarkedDevmode) {
    Open(L"FAM03.PRN", L"Model 300");
    sandbox_.ClearCalls();
    ASSERT_TRUE(wrapper_.SetupPage(10000, 5000, 3, 3, 2));
    // Paper in tenths of a millimetre, then the marked block: labels, copies, sizes and counts.
    // A label of a third of the page drops the remainder, and so does the sheet made of them.
    const struct {
        size_t offset;
        bool wide;
        long value;
    } fields[] = {{40, true, 0x2 | 0x4 | 0x8}, {44, false, 1}, {46, false, 256}, {48, false, 500}, {50, false, 1000},
                  {152, false, 7}, {156, true, 1}, {160, true, 3}, {328, true, 333}, {332, true, 250},
                  {340, true, 2}, {344, true, 3}, {364, true, 500}, {368, true, 999}, {372, false, 2}};
    for (const auto& f : fields) {
        EXPECT_EQ(f.value, Field(f.offset, f.wide)) << f.offset;
    }
    EXPECT_EQ(10000, Long(driver_.Get(L"PageWidth")));
    EXPECT_EQ(5000, Long(driver_.Get(L"PageHeight")));
    EXPECT_EQ(3, Long(driver_.Get(L"PagePerRow")));
    EXPECT_EQ(2, Long(driver_.Get(L"PagePerCol")));
    EXPECT_TRUE(Logged("D_PrinterParameter(1, ReloadImagesNext, -1)"));
    // The driver reads the sizes back through the label format of its callback object.
    driver_.Call(L"Escape", {vb::Variant(0x7002L), vb::Variant(0L)});
    EXPECT_TRUE(Logged("format: page 1000x500 label 333x250"));
}

// Families keep settings of their own in the devmode; the set-up leaves the other bits as the
// script set them.
TEST_F(DeviceContextTest, FamilyFieldsOfThePageSetUp) {
    const struct {
        const wchar_t* family;
        long options;  // property 5, set before the document
        size_t offset;
        bool wide;
        long value;
    } cases[] = {{L"FAM01.PRN", 0x0101, 876, false, 0x0001},
                 {L"FAM01.PRN", 0x0101, 882, false, 20},  // the head temperature
                 {L"FAM02.PRN", 0, 1160, false, 2},
                 {L"FAM10.PRN", 0x0010, 900, true, 0x0012},
                 {L"FAM08.PRN", 0, 1160, false, 0}};
    for (const auto& c : cases) {
        Open(c.family, L"Model 300");
        driver_.Call(L"SetProperty", {vb::Variant(5L), vb::Variant(c.options)});
        driver_.Call(L"StartDoc");
        EXPECT_EQ(c.value, Field(c.offset, c.wide)) << vb::ToUtf8(c.family) << " " << c.offset;
        EXPECT_TRUE(handler_.openedPipes.empty()) << vb::ToUtf8(c.family);
        wrapper_.Unload();
    }
    // FAM05 has its pipe opened again at every set-up: the opening's and the document's.
    Open(L"FAM05.PRN", L"Model 300");
    driver_.Call(L"StartDoc");
    EXPECT_EQ((std::vector<std::wstring>(2, L"\\\\.\\pipe\\DizEvoviDodu")), handler_.openedPipes);
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

// The driver reads the label format by dispid: the four sizes of the latest set-up, everything
// else empty; written values are ignored, but the two object properties refuse them.
TEST_F(DeviceContextTest, TheLabelFormatByDispid) {
    Open(L"FAM03.PRN", L"Model 300");
    ASSERT_TRUE(wrapper_.SetupPage(10000, 5000, 3, 3, 2));
    auto* callback = new CIDriver(&wrapper_);
    vb::Variant object = vb::test::DispatchClient(callback->AsDispatch()).Call(L"GetFormat");
    ASSERT_EQ(VT_DISPATCH, object.Type());
    vb::test::DispatchClient format(V_DISPATCH(object.Get()));
    auto shown = [](const vb::Variant& value) -> std::wstring {
        switch (value.Type()) {
        case VT_I4: return std::to_wstring(V_I4(value.Get()));
        case VT_I2: return std::to_wstring(V_I2(value.Get())) + L"s";
        case VT_BOOL: return V_BOOL(value.Get()) ? L"True" : L"False";
        case VT_BSTR: return L"'" + std::wstring(V_BSTR(value.Get())) + L"'";
        case VT_DISPATCH: return V_DISPATCH(value.Get()) ? L"object" : L"Nothing";
        default: return L"type " + std::to_wstring(value.Type());
        }
    };
    const wchar_t* const expected[] = {
        nullptr, L"Nothing", L"Nothing", L"500", L"1000", L"250", L"333", L"0", L"0", L"0", L"0", L"0", L"0", L"0",
        L"False", L"False", L"''", L"''", L"type 0", L"0", L"0", L"''", L"''", L"False", L"''", L"0s", L"''"};
    vb::Variant value;
    for (DISPID id = 1; id <= 26; ++id) {
        format.Invoke(id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, {}, value);
        EXPECT_EQ(expected[id], shown(value)) << id;
    }
    EXPECT_EQ(S_OK, format.Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, value));
    EXPECT_EQ(L"500", shown(value));  // the page height

    vb::Variant text(std::wstring(L"kept"));
    vb::Variant reference;
    V_VT(reference.Get()) = VT_BYREF | VT_BSTR;
    V_BSTRREF(reference.Get()) = &V_BSTR(text.Get());
    EXPECT_EQ(S_OK, format.Invoke(25, DISPATCH_METHOD, {reference}, value));
    EXPECT_EQ(L"0s", shown(value));
    V_VT(reference.Get()) = VT_EMPTY;
    EXPECT_EQ(L"'kept'", shown(text));

    EXPECT_EQ(S_OK, format.Invoke(7, DISPATCH_PROPERTYPUT, {vb::Variant(5L)}, value));
    for (DISPID id : {1, 2}) {
        EXPECT_EQ(DISP_E_EXCEPTION, format.Invoke(id, DISPATCH_PROPERTYPUT, {vb::Variant(5L)}, value)) << id;
        EXPECT_EQ(vb::DispatchSupport::kSetNotSupported, format.LastExceptionCode()) << id;
    }
    callback->Release();
}

}  // namespace
