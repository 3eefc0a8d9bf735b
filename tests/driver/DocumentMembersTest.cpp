#include "OpenDeviceFixture.h"

namespace {

using vb::Variant;
using Event = vb::test::FakeDriverHandler::PrintEvent;

class DocumentMembersTest : public OpenDeviceFixture {
protected:
    std::vector<std::wstring> EventTexts() const {
        std::vector<std::wstring> texts;
        for (const Event& event : handler_.events) texts.push_back(std::to_wstring(event.code) + L":" + event.text + L":" + event.extra);
        return texts;
    }
};

TEST_F(DocumentMembersTest, StartDocDefaultsAndPaperText) {
    Open(L"FAM03.PRN", L"Model 300");
    EXPECT_EQ(1, Long(driver_.Call(L"StartDoc")));
    EXPECT_EQ(8000, Long(driver_.Get(L"PageWidth")));
    EXPECT_EQ(1, Long(driver_.Get(L"PagePerRow")));
    EXPECT_EQ(1, Long(driver_.Call(L"EndDoc", {Variant(std::wstring(L"front")), Variant(std::wstring(L"extra"))})));
    EXPECT_EQ((std::vector<std::wstring>{L"0:Paper: 8000 x 8000, DPI: 300 x 300:", L"1:front:extra"}), EventTexts());
}

TEST_F(DocumentMembersTest, TraceOffOnlyForFalse) {
    Open(L"FAM03.PRN", L"Model 203");
    driver_.Call(L"StartDoc", {Variant(10000L), Variant(5000L), Variant(2L), Variant(2L), Variant(1L), Variant::Bool(false)});
    driver_.Call(L"StartDoc", {Variant::Missing(), Variant::Missing(), Variant::Missing(), Variant::Missing(),
                               Variant::Missing(), Variant(1L)});
    driver_.Call(L"StartDoc", {Variant(10000L), Variant(5000L), Variant::Missing(), Variant::Missing(),
                               Variant::Missing(), Variant::Bool(true)});
    EXPECT_EQ((std::vector<std::wstring>{L"0::", L"0::", L"0:Paper: 10000 x 5000, DPI: 203 x 203:"}), EventTexts());
    // Arguments that do not convert fall back to their defaults.
    driver_.Call(L"StartDoc", {Variant(std::wstring(L"wide"))});
    EXPECT_EQ(8000, Long(driver_.Get(L"PageWidth")));
}

TEST_F(DocumentMembersTest, NoLabelsPerRowOrColumnStartsNothing) {
    Open(L"FAM09.PRN", L"Model 300");
    sandbox_.ClearCalls();
    EXPECT_EQ(0, Long(driver_.Call(L"StartDoc", {Variant(8000L), Variant(8000L), Variant(1L), Variant(0L)})));
    EXPECT_EQ(0, Long(driver_.Call(L"StartDoc", {Variant(8000L), Variant(8000L), Variant(1L), Variant(1L), Variant(-2L)})));
    EXPECT_TRUE(handler_.events.empty());
    EXPECT_TRUE(CallsOf({"D_StartDocW", "D_SetVarInfo"}).empty());
}

TEST_F(DocumentMembersTest, HookFamilySwitchesAroundTheJob) {
    Open(L"FAM09.PRN", L"Model 300");
    sandbox_.ClearCalls();
    driver_.Call(L"StartDoc");
    driver_.Call(L"EndDoc");
    EXPECT_EQ((std::vector<std::wstring>{L"2:ON:", L"0:Paper: 8000 x 8000, DPI: 300 x 300:", L"2:OFF:", L"1::"}),
              EventTexts());
    // The switch comes before the reset of the device.
    EXPECT_EQ("D_SetVarInfo(1, 0, 0)", CallsOf({"D_SetVarInfo"}).front());
}

TEST_F(DocumentMembersTest, PagesCountryAndDialog) {
    Open(L"FAM03.PRN", L"Model 300");
    sandbox_.ClearCalls();
    EXPECT_EQ(1, Long(driver_.Call(L"StartPage")));
    EXPECT_EQ(1, Long(driver_.Call(L"EndPage")));
    EXPECT_EQ(1, Long(driver_.Call(L"SetCountry", {Variant(33L), Variant(1L)})));
    EXPECT_EQ(1, Long(driver_.Call(L"SetupDlg")));
    EXPECT_EQ((std::vector<std::string>{"D_StartMultiplePage(1)", "D_EndMultiplePage(1)", "D_SetCountry(1, 33, 1)",
                                        "D_SetupDlgW(1)"}),
              CallsOf({"D_"}));
}

TEST_F(DocumentMembersTest, DeviceCapabilitiesByIndex) {
    Open(L"FAM03.PRN", L"Model 203");
    EXPECT_EQ(L"1;2;3", Text(driver_.Call(L"GetDeviceCaps", {Variant(2L)})));
    EXPECT_EQ(L"1000x1000,2000x1500", Text(driver_.Call(L"GetDeviceCaps", {Variant(3L), Variant(std::wstring(L","))})));
    EXPECT_EQ(L"1000;1000", Text(driver_.Call(L"GetDeviceCaps", {Variant(4L)})));
    EXPECT_EQ(L"10000 30000", Text(driver_.Call(L"GetDeviceCaps", {Variant(5L), Variant(std::wstring(L" "))})));
    EXPECT_EQ(L"Plain paper;Label stock", Text(driver_.Call(L"GetDeviceCaps", {Variant(16L)})));
    EXPECT_EQ(203, Long(driver_.Call(L"GetDeviceCaps", {Variant(18L)})));
    EXPECT_EQ(L"203;300", Text(driver_.Call(L"GetDeviceCaps", {Variant(19L)})));
    EXPECT_EQ(VT_EMPTY, driver_.Call(L"GetDeviceCaps", {Variant(6L)}).Type());
    EXPECT_EQ(VT_EMPTY, driver_.Call(L"GetDeviceCaps", {Variant(1L)}).Type());
}

}  // namespace
