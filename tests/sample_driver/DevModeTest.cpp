#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "SampleDriverTest.h"
#include "Strings.h"

namespace {

using vb::test::SampleDriverTest;

constexpr LONG kDevModeSize = 21600;

class DevModeTest : public SampleDriverTest {
protected:
    std::vector<BYTE> DevModeOf(const std::wstring& model) {
        DRIVERHANDLE h = Enable(model);
        std::vector<BYTE> devmode(static_cast<size_t>(driver_.D_GetDevModeW(h, nullptr, nullptr, nullptr, nullptr)));
        if (!devmode.empty()) {
            EXPECT_NE(0, driver_.D_GetDevModeW(h, devmode.data(), model.c_str(), L"FILE",
                                               sandbox_.SettingsFile().c_str()));
        }
        return devmode;
    }

    bool InfoUnchangedBesidesResolution() const {
        const auto* bytes = reinterpret_cast<const BYTE*>(&info_);
        for (size_t i = 0; i < sizeof info_; ++i) {
            if (i >= 128 && i < 132) continue;
            if (bytes[i] != static_cast<BYTE>(i + 1)) return false;
        }
        return true;
    }
};

TEST_F(DevModeTest, ResolutionComesFromTheModelName) {
    const struct {
        const wchar_t* model;
        SHORT dpi;
    } cases[] = {{L"LX 203", 203}, {L"lx600", 600}, {L"LX 300", 300}, {L"LX", 300}, {L"LX-600-203", 203}};
    for (const auto& c : cases) {
        ASSERT_NE(0u, Enable(c.model));
        EXPECT_EQ(c.dpi, info_.resolutionX) << c.model;
        EXPECT_EQ(c.dpi, info_.resolutionY) << c.model;
        EXPECT_TRUE(InfoUnchangedBesidesResolution()) << c.model;
    }
}

TEST_F(DevModeTest, ResetWritesTheResolutionAgain) {
    DRIVERHANDLE h = Enable(L"LX 600");
    info_.resolutionX = info_.resolutionY = 1;
    EXPECT_EQ(1, driver_.D_ResetDriver(h, nullptr, &info_));
    EXPECT_EQ(600, info_.resolutionX);
    EXPECT_EQ(600, info_.resolutionY);
    EXPECT_TRUE(InfoUnchangedBesidesResolution());
    EXPECT_TRUE(Logged("D_ResetDriver(" + std::to_string(h) + ")"));

    EXPECT_EQ(0, driver_.D_ResetDriver(h, nullptr, nullptr));
    EXPECT_EQ(2, driver_.D_GetLastError());
}

TEST_F(DevModeTest, PlainModelGetsTheDefaultDevMode) {
    std::vector<BYTE> devmode = DevModeOf(L"LX 300");
    ASSERT_EQ(static_cast<size_t>(kDevModeSize), devmode.size());
    EXPECT_STREQ("LX 300", reinterpret_cast<const char*>(devmode.data()));
    EXPECT_EQ(0x0401, Field<WORD>(devmode.data(), 32));
    EXPECT_EQ(156, Field<WORD>(devmode.data(), 36));
    EXPECT_EQ(kDevModeSize - 156, Field<WORD>(devmode.data(), 38));
    EXPECT_EQ(0u, Field<DWORD>(devmode.data(), 40));
    EXPECT_EQ(1, Field<SHORT>(devmode.data(), 44));
    EXPECT_EQ(256, Field<SHORT>(devmode.data(), 46));
    EXPECT_EQ(1000, Field<SHORT>(devmode.data(), 48));
    EXPECT_EQ(1000, Field<SHORT>(devmode.data(), 50));
    EXPECT_EQ(1, Field<SHORT>(devmode.data(), 60));
    EXPECT_EQ(0x7E40, Field<WORD>(devmode.data(), 148));

    // Nothing else is set.
    for (size_t offset : {32, 36, 38, 44, 46, 48, 50, 60, 148}) devmode[offset] = devmode[offset + 1] = 0;
    std::fill_n(devmode.begin(), 32, BYTE{0});
    EXPECT_EQ(devmode.end(), std::find_if(devmode.begin(), devmode.end(), [](BYTE b) { return b != 0; }));
}

TEST_F(DevModeTest, ModelWordsShapeTheDevMode) {
    std::vector<BYTE> all = DevModeOf(L"lx Color NoMark nosetup");
    EXPECT_EQ(2, Field<SHORT>(all.data(), 60));
    EXPECT_EQ(0, Field<WORD>(all.data(), 148));
    EXPECT_EQ(0, Field<WORD>(all.data(), 36));
    EXPECT_EQ(kDevModeSize - 156, Field<WORD>(all.data(), 38));

    std::vector<BYTE> noMark = DevModeOf(L"LX NOMARK");
    EXPECT_EQ(1, Field<SHORT>(noMark.data(), 60));
    EXPECT_EQ(0, Field<WORD>(noMark.data(), 148));
    EXPECT_EQ(156, Field<WORD>(noMark.data(), 36));
}

TEST_F(DevModeTest, LongModelNameIsCutTo31Bytes) {
    std::vector<BYTE> devmode = DevModeOf(L"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789");
    EXPECT_STREQ("ABCDEFGHIJKLMNOPQRSTUVWXYZ01234", reinterpret_cast<const char*>(devmode.data()));
}

TEST_F(DevModeTest, UnknownHandleLeavesTheBufferAlone) {
    std::vector<BYTE> devmode(kDevModeSize, 0xCC);
    EXPECT_EQ(0, driver_.D_GetDevModeW(42, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(0, driver_.D_GetDevModeW(42, devmode.data(), L"LX", L"FILE", L""));
    EXPECT_EQ(1, driver_.D_GetLastError());
    EXPECT_EQ(devmode.end(), std::find_if(devmode.begin(), devmode.end(), [](BYTE b) { return b != 0xCC; }));
}

TEST_F(DevModeTest, RealizeCopiesOnlyBetweenDifferentBuffers) {
    DRIVERHANDLE h = Enable(L"LX");
    std::vector<BYTE> in(kDevModeSize), out(kDevModeSize, 0);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<BYTE>(i * 7);
    driver_.D_RealizeDMW(h, in.data(), out.data(), L"LX");
    EXPECT_EQ(in, out);

    std::vector<BYTE> before = in;
    driver_.D_RealizeDMW(h, in.data(), in.data(), L"LX");
    EXPECT_EQ(before, in);
    EXPECT_TRUE(Logged("D_RealizeDMW(" + std::to_string(h) + ", LX)"));
}

TEST_F(DevModeTest, SaveWritesTheSettingsAsIni) {
    std::vector<BYTE> devmode = DevModeOf(L"LX 203");
    const LONG label[] = {500, 250};
    const LONG copies = 3;
    const SHORT paper[] = {1234, 567};  // length, width
    std::memcpy(devmode.data() + 48, paper, sizeof paper);
    std::memcpy(devmode.data() + 328, label, sizeof label);
    std::memcpy(devmode.data() + 160, &copies, sizeof copies);

    std::wstring file = sandbox_.SettingsFile();
    driver_.D_SaveDMW(1, devmode.data(), L"LX 203", L"FILE", file.c_str());
    auto read = [&](const wchar_t* section, const wchar_t* key) {
        return ::GetPrivateProfileIntW(section, key, -1, file.c_str());
    };
    EXPECT_EQ(567u, read(L"LX 203", L"PaperWidth"));
    EXPECT_EQ(1234u, read(L"LX 203", L"PaperLength"));
    EXPECT_EQ(500u, read(L"LX 203", L"LabelWidth"));
    EXPECT_EQ(250u, read(L"LX 203", L"LabelHeight"));
    EXPECT_EQ(3u, read(L"LX 203", L"Copies"));
    EXPECT_TRUE(Logged("D_SaveDMW(1, LX 203, " + vb::ToUtf8(file) + ")"));

    // A model name cannot break the file into sections of its own making.
    driver_.D_SaveDMW(1, devmode.data(), L"LX]\r\n[Other", L"FILE", file.c_str());
    EXPECT_EQ(567u, read(L"LX___[Other", L"PaperWidth"));
    EXPECT_EQ(static_cast<UINT>(-1), read(L"Other", L"PaperWidth"));
}

TEST_F(DevModeTest, SaveWithoutSettingsFileFails) {
    std::vector<BYTE> devmode = DevModeOf(L"LX");
    driver_.D_SaveDMW(1, devmode.data(), L"LX", L"FILE", L"");
    EXPECT_EQ(2, driver_.D_GetLastError());
    driver_.D_SaveDMW(1, nullptr, L"LX", L"FILE", sandbox_.SettingsFile().c_str());
    EXPECT_EQ(2, driver_.D_GetLastError());
    EXPECT_FALSE(vb::test::FileExists(sandbox_.SettingsFile()));
}

}  // namespace
