#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "SampleDriverTest.h"

namespace {

using vb::test::SampleDriverTest;

struct SeenFont {
    LOGFONTW font;
    TEXTMETRICW metrics;
    DWORD type;
};

struct SeenCode {
    std::vector<BYTE> description;
    std::vector<BYTE> metrics;
    DWORD type;
};

// Collects what the driver enumerates; stops after `limit` entries.
struct Collector {
    size_t limit = 100;
    std::vector<SeenFont> fonts;
    std::vector<SeenCode> codes;

    static int CALLBACK OnFont(const LOGFONTW* font, const TEXTMETRICW* metrics, DWORD type, LPARAM data) {
        auto* self = reinterpret_cast<Collector*>(data);
        self->fonts.push_back({*font, *metrics, type});
        return self->fonts.size() < self->limit;
    }
    static int CALLBACK OnCode(const BYTE* description, const BYTE* metrics, DWORD type, LPARAM data) {
        auto* self = reinterpret_cast<Collector*>(data);
        self->codes.push_back({{description, description + 144}, {metrics, metrics + 76}, type});
        return self->codes.size() < self->limit;
    }
};

using CatalogTest = SampleDriverTest;

TEST_F(CatalogTest, FontsComeInOrderWithTheirMetrics) {
    DRIVERHANDLE h = Enable(L"LX");
    Collector seen;
    EXPECT_EQ(4, driver_.D_EnumFontsW(h, nullptr, Collector::OnFont, reinterpret_cast<LPARAM>(&seen)));
    ASSERT_EQ(4u, seen.fonts.size());
    const struct {
        const wchar_t* face;
        LONG height;
    } expected[] = {{L"Label Sans", -24}, {L"Label Mono", -20}, {L" LABEL SANS ", -32}, {L"Label Serif", -28}};
    for (size_t i = 0; i < 4; ++i) {
        const SeenFont& font = seen.fonts[i];
        EXPECT_STREQ(expected[i].face, font.font.lfFaceName);
        EXPECT_EQ(expected[i].height, font.font.lfHeight);
        EXPECT_EQ(400, font.font.lfWeight);
        EXPECT_EQ(DEFAULT_CHARSET, font.font.lfCharSet);
        EXPECT_EQ(0, font.font.lfEscapement);
        EXPECT_EQ(-expected[i].height, font.metrics.tmHeight);
        EXPECT_EQ(-expected[i].height / 2, font.metrics.tmAveCharWidth);
        EXPECT_EQ(-expected[i].height, font.metrics.tmMaxCharWidth);
        EXPECT_EQ(static_cast<DWORD>(DEVICE_FONTTYPE), font.type);
    }
    EXPECT_TRUE(Logged("D_EnumFontsW(" + std::to_string(h) + ")"));
}

TEST_F(CatalogTest, EnumerationStopsWhenTheCallbackSaysSo) {
    DRIVERHANDLE h = Enable(L"LX");
    Collector seen;
    seen.limit = 2;
    EXPECT_EQ(2, driver_.D_EnumFontsW(h, nullptr, Collector::OnFont, reinterpret_cast<LPARAM>(&seen)));
    seen.limit = 1;
    EXPECT_EQ(1, driver_.D_EnumCodesW(h, nullptr, Collector::OnCode, reinterpret_cast<LPARAM>(&seen)));
    EXPECT_EQ(0, driver_.D_EnumFontsW(h, nullptr, nullptr, 0));
    EXPECT_EQ(2, driver_.D_GetLastError());
}

TEST_F(CatalogTest, NoFontsModelEnumeratesNothing) {
    DRIVERHANDLE h = Enable(L"LX nofonts");
    Collector seen;
    EXPECT_EQ(0, driver_.D_EnumFontsW(h, nullptr, Collector::OnFont, reinterpret_cast<LPARAM>(&seen)));
    EXPECT_EQ(0, driver_.D_EnumCodesW(h, nullptr, Collector::OnCode, reinterpret_cast<LPARAM>(&seen)));
    EXPECT_TRUE(seen.fonts.empty());
    EXPECT_TRUE(seen.codes.empty());
}

TEST_F(CatalogTest, CodeDescriptionsCarryTheirFields) {
    DRIVERHANDLE h = Enable(L"LX");
    Collector seen;
    EXPECT_EQ(3, driver_.D_EnumCodesW(h, nullptr, Collector::OnCode, reinterpret_cast<LPARAM>(&seen)));
    ASSERT_EQ(3u, seen.codes.size());
    const struct {
        const wchar_t* name;
        WORD type;
    } expected[] = {{L"Code 128", 67}, {L"EAN 13", 69}, {L"QR Code", 123}};
    for (size_t i = 0; i < 3; ++i) {
        const BYTE* d = seen.codes[i].description.data();
        EXPECT_EQ(expected[i].type, Field<WORD>(d, 0));
        EXPECT_EQ(expected[i].type, seen.codes[i].type);
        EXPECT_EQ(1000, Field<LONG>(d, 4));
        EXPECT_EQ(0, Field<LONG>(d, 8));
        EXPECT_EQ(25, Field<LONG>(d, 12));
        EXPECT_EQ(1000, Field<LONG>(d, 16));
        EXPECT_EQ(0, Field<LONG>(d, 24));
        EXPECT_EQ(0, Field<LONG>(d, 32));
        EXPECT_EQ(1, d[36]);
        EXPECT_EQ(1, d[38]);
        EXPECT_EQ(0, d[39]);
        EXPECT_EQ(0, Field<LONG>(d, 52));
        EXPECT_EQ(0, Field<LONG>(d, 56));
        std::wstring name(reinterpret_cast<const wchar_t*>(d + 60), std::wcslen(expected[i].name) + 1);
        EXPECT_EQ(std::wstring(expected[i].name) + L'\0', name);
        for (size_t m = 0; m < 76; ++m) EXPECT_EQ(static_cast<BYTE>(m), seen.codes[i].metrics[m]);
    }
    EXPECT_TRUE(Logged("D_EnumCodesW(" + std::to_string(h) + ")"));
}

TEST_F(CatalogTest, SelectionsLogWhatWasSelected) {
    DRIVERHANDLE h = Enable(L"LX");
    Collector seen;
    driver_.D_EnumFontsW(h, nullptr, Collector::OnFont, reinterpret_cast<LPARAM>(&seen));
    driver_.D_EnumCodesW(h, nullptr, Collector::OnCode, reinterpret_cast<LPARAM>(&seen));
    LOGFONTW font = seen.fonts[1].font;
    font.lfEscapement = 900;
    EXPECT_EQ(1, driver_.D_SelectFontW(h, &font));
    EXPECT_EQ(1, driver_.D_SelectCodeW(h, seen.codes[2].description.data()));
    EXPECT_EQ(0, driver_.D_SelectFontW(h, nullptr));

    std::string handle = std::to_string(h);
    EXPECT_TRUE(Logged("D_SelectFontW(" + handle + ", Label Mono, -20, 900)"));
    EXPECT_TRUE(Logged("D_SelectCodeW(" + handle + ", QR Code, 25, 1000)"));
    EXPECT_TRUE(Logged("D_SelectFontW(" + handle + ", 0)"));
}

TEST_F(CatalogTest, DeviceCapabilityListsCountThenFill) {
    DRIVERHANDLE h = Enable(L"LX 600");
    EXPECT_EQ(3, driver_.D_DevCapsW(h, L"LX 600", L"FILE", 2, nullptr, nullptr));
    WORD papers[3] = {};
    EXPECT_EQ(3, driver_.D_DevCapsW(h, L"LX 600", L"FILE", 2, papers, nullptr));
    EXPECT_EQ((std::vector<WORD>{1, 2, 3}), std::vector<WORD>(papers, papers + 3));

    POINT sizes[2] = {};
    EXPECT_EQ(2, driver_.D_DevCapsW(h, nullptr, L"FILE", 3, sizes, nullptr));
    EXPECT_EQ(1000, sizes[0].x);
    EXPECT_EQ(1000, sizes[0].y);
    EXPECT_EQ(2000, sizes[1].x);
    EXPECT_EQ(1500, sizes[1].y);

    POINT extent = {};
    EXPECT_EQ(1, driver_.D_DevCapsW(h, nullptr, L"FILE", 4, &extent, nullptr));
    EXPECT_EQ(1000, extent.x);
    EXPECT_EQ(1, driver_.D_DevCapsW(h, nullptr, L"FILE", 5, &extent, nullptr));
    EXPECT_EQ(10000, extent.x);
    EXPECT_EQ(30000, extent.y);

    char names[2][64];
    std::memset(names, 'x', sizeof names);
    EXPECT_EQ(2, driver_.D_DevCapsW(h, nullptr, L"FILE", 16, nullptr, nullptr));
    EXPECT_EQ(2, driver_.D_DevCapsW(h, nullptr, L"FILE", 16, names, nullptr));
    EXPECT_STREQ("Plain paper", names[0]);
    EXPECT_STREQ("Label stock", names[1]);

    EXPECT_EQ(600, driver_.D_DevCapsW(h, nullptr, L"FILE", 18, nullptr, nullptr));
    EXPECT_EQ(203, driver_.D_DevCapsW(h, L"LX 203", L"FILE", 18, nullptr, nullptr));
    LONG resolutions[2] = {};
    EXPECT_EQ(2, driver_.D_DevCapsW(h, nullptr, L"FILE", 19, resolutions, nullptr));
    EXPECT_EQ(203, resolutions[0]);
    EXPECT_EQ(300, resolutions[1]);

    EXPECT_EQ(0, driver_.D_DevCapsW(h, nullptr, L"FILE", 1, nullptr, nullptr));
    EXPECT_TRUE(Logged("D_DevCapsW(" + std::to_string(h) + ", 16)"));
}

TEST_F(CatalogTest, CapabilityWordsFollowTheModel) {
    DRIVERHANDLE plain = Enable(L"LX");
    DRIVERHANDLE rfid = Enable(L"LX rfid nodate");
    EXPECT_EQ(0x0018 | 0x0100 | 0x2000, driver_.D_GetDrvCaps(plain, 5, 0));
    EXPECT_EQ(0x0002 | 0x0100 | 0x0800, driver_.D_GetDrvCaps(plain, 5, 2));
    EXPECT_EQ(0, driver_.D_GetDrvCaps(plain, 5, 1));
    EXPECT_EQ(0, driver_.D_GetDrvCaps(plain, 6, 1));
    EXPECT_EQ(0, driver_.D_GetDrvCaps(rfid, 5, 0));
    EXPECT_EQ(0, driver_.D_GetDrvCaps(rfid, 5, 2));
    EXPECT_EQ(1, driver_.D_GetDrvCaps(rfid, 6, 1));
    EXPECT_TRUE(Logged("D_GetDrvCaps(" + std::to_string(rfid) + ", 6, 1)"));
}

}  // namespace
