// Documents on the print file. Whole documents as the bench prints them are compared in the
// driver's and the end-to-end golden-file tests; here, what the bench does not send.
#include <cstring>
#include <cwchar>

#include "SampleDriverTest.h"
#include "Strings.h"
#include "Variant.h"

namespace {

using Lines = std::vector<std::string>;

class PrintDocumentTest : public vb::test::SampleDriverTest {
protected:
    void TextOut(DRIVERHANDLE h, LONG x, LONG y, const wchar_t* text) {
        POINT at{x, y};
        EXPECT_EQ(1, driver_.D_TextOutW(h, &at, text, static_cast<LONG>(wcslen(text)), 0x0000FF, 2, 0xFFFFFF));
    }
};

// The marked set-up handed over by D_RealizeDMW is in every print file of the bench's tests; a
// devmode without the marker, through D_ResetDriver, gives only the paper.
TEST_F(PrintDocumentTest, SetupReportsTheLastDevModeHandedOver) {
    DRIVERHANDLE h = Enable(L"LX");
    auto setupLine = [&] {
        EXPECT_EQ(1, StartDoc(h, PrintFile().c_str()));
        Commands(h);
        std::string printed = Printed();
        size_t start = printed.find("SETUP");
        return printed.substr(start, printed.find('\r', start) - start);
    };
    EXPECT_EQ("SETUP dpi=300x300", setupLine());
    std::vector<BYTE> devmode(21600);
    driver_.D_GetDevModeW(h, devmode.data(), nullptr, nullptr, nullptr);
    const SHORT paper[] = {1200, 900};  // length, width at 48
    std::memcpy(devmode.data() + 48, paper, sizeof paper);
    const WORD noMarker = 0;
    std::memcpy(devmode.data() + 148, &noMarker, sizeof noMarker);
    EXPECT_EQ(1, driver_.D_ResetDriver(h, devmode.data(), &info_));
    EXPECT_EQ("SETUP dpi=300x300 paper=900x1200", setupLine());
}

TEST_F(PrintDocumentTest, OnlyAVariantBesidesEmptyAndZeroMarksTheDocument) {
    for (const wchar_t* value : {L"B", L"0", L""}) {
        DRIVERHANDLE h = Enable(L"LX");
        vb::Variant name(std::wstring(L"VARIANT"));
        vb::Variant text{std::wstring(value)};
        ASSERT_EQ(0, driver_.D_PrinterParameter(h, nullptr, name.Get(), text.Get()));
        ASSERT_EQ(1, StartDoc(h, PrintFile().c_str()));
        EXPECT_EQ(*value == L'B' ? Lines{"VARIANT \"B\""} : Lines{}, Commands(h)) << vb::ToUtf8(value);
    }
}

TEST_F(PrintDocumentTest, NoOutputNameMeansNoFile) {
    DRIVERHANDLE h = Enable(L"LX");
    for (const wchar_t* output : {static_cast<const wchar_t*>(nullptr), L""}) {
        EXPECT_EQ(1, StartDoc(h, output));
        TextOut(h, 0, 0, L"nowhere");
        EXPECT_EQ(1, driver_.D_StartMultiplePage(h));
        EXPECT_EQ(1, driver_.D_EndDoc(h));
    }
    EXPECT_FALSE(vb::test::FileExists(PrintFile()));
}

// Calls after the end write nothing; a new document leaves the open one as it is.
TEST_F(PrintDocumentTest, CommandsGoOnlyToTheOpenDocument) {
    DRIVERHANDLE h = Enable(L"LX");
    const std::wstring first = sandbox_.Path(L"first.txt");
    ASSERT_EQ(1, StartDoc(h, first.c_str(), L"One"));
    TextOut(h, 1, 1, L"a");
    ASSERT_EQ(1, StartDoc(h, PrintFile().c_str(), L"Two"));
    TextOut(h, 2, 2, L"b");
    EXPECT_EQ((Lines{"TEXT 2,2 \"b\" color=0000FF bk=2:FFFFFF"}), Commands(h));
    EXPECT_EQ("DOC \"One\"\r\nSETUP dpi=300x300\r\nTEXT 1,1 \"a\" color=0000FF bk=2:FFFFFF\r\n",
              vb::test::ReadFileBytes(first));

    const std::string closed = Printed();
    TextOut(h, 0, 0, L"late");
    EXPECT_EQ(1, driver_.D_EndMultiplePage(h));
    EXPECT_EQ(1, driver_.D_EndDoc(h));
    EXPECT_EQ(closed, Printed());
}

TEST_F(PrintDocumentTest, RefusedDocuments) {
    DRIVERHANDLE h = Enable(L"LX");
    EXPECT_EQ(0, StartDoc(h, sandbox_.Path(L"no such folder\\print.txt").c_str()));
    EXPECT_EQ(4, driver_.D_GetLastError());
    TextOut(h, 0, 0, L"not printed");  // no document is open

    EXPECT_EQ(0, driver_.D_StartDocW(h, nullptr));
    EXPECT_EQ(2, driver_.D_GetLastError());
    DOCINFOW tooShort{};
    tooShort.cbSize = 8;
    tooShort.lpszOutput = L"ignored.txt";
    EXPECT_EQ(0, driver_.D_StartDocW(h, &tooShort));
    EXPECT_EQ(2, driver_.D_GetLastError());

    EXPECT_EQ(0, StartDoc(42, PrintFile().c_str()));
    EXPECT_EQ(0, driver_.D_EndDoc(42));
    EXPECT_EQ(0, driver_.D_StartMultiplePage(42));
    EXPECT_EQ(1, driver_.D_GetLastError());
    EXPECT_FALSE(vb::test::FileExists(PrintFile()));
}

// A text cannot end its command early or write one of its own.
TEST_F(PrintDocumentTest, TextsKeepToOneLineAndReadBack) {
    DRIVERHANDLE h = StartPrinting();
    TextOut(h, 0, 0, L"say \"hi\"\r\nEND DOC\tx^2\x7F");
    TextOut(h, 0, 0, L"Gr\u00FC\u00DFe \u20AC");
    POINT at{0, 0};
    EXPECT_EQ(1, driver_.D_TextOutW(h, &at, L"a\0b", 3, 0, 1, 0));
    EXPECT_EQ((Lines{"TEXT 0,0 \"say \"\"hi\"\"^M^JEND DOC^Ix^^2^?\" color=0000FF bk=2:FFFFFF",
                     "TEXT 0,0 \"Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC\" color=0000FF bk=2:FFFFFF",
                     "TEXT 0,0 \"a^@b\" color=000000 bk=1:000000"}),
              Commands(h));
    EXPECT_EQ('D', Printed().front());  // no byte order mark
}

}  // namespace
