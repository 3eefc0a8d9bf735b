#include <gtest/gtest.h>

#include <cstring>
#include <cwchar>
#include <string>
#include <vector>

#include "PrintTest.h"
#include "Strings.h"

namespace {

using vb::test::PrintTest;
using Lines = std::vector<std::string>;

constexpr LONG kDevModeSize = 21600;

class PrintDocumentTest : public PrintTest {
protected:
    std::vector<BYTE> DevMode(DRIVERHANDLE h) {
        std::vector<BYTE> devmode(kDevModeSize);
        driver_.D_GetDevModeW(h, devmode.data(), nullptr, nullptr, nullptr);
        return devmode;
    }
    static void SetLabels(std::vector<BYTE>& devmode, LONG perRow, LONG perColumn) {
        const LONG fields[] = {500, 250, 0, perColumn, perRow};  // label width at 328 ... per row at 344
        std::memcpy(devmode.data() + 328, fields, sizeof fields);
        const LONG copies = 7;
        std::memcpy(devmode.data() + 160, &copies, sizeof copies);
        const SHORT paper[] = {1200, 900};  // length, width
        std::memcpy(devmode.data() + 48, paper, sizeof paper);
    }
    void TextOut(DRIVERHANDLE h, LONG x, LONG y, const wchar_t* text) {
        POINT at{x, y};
        EXPECT_EQ(1, driver_.D_TextOutW(h, &at, text, static_cast<LONG>(wcslen(text)), 0x0000FF, 2, 0xFFFFFF));
    }
    // A document of every kind of command, for comparing runs.
    std::string PrintSample(const std::wstring& output) {
        DRIVERHANDLE h = Enable(L"LX 600");
        std::vector<BYTE> devmode = DevMode(h);
        SetLabels(devmode, 2, 3);
        driver_.D_RealizeDMW(h, devmode.data(), devmode.data(), L"LX 600");
        EXPECT_EQ(1, StartDoc(h, output.c_str()));
        LOGFONTW font{};
        font.lfHeight = -24;
        std::wcscpy(font.lfFaceName, L"Label Sans");
        driver_.D_SelectFontW(h, &font);
        TextOut(h, 1, 2, L"first");
        LOGPEN pen{PS_SOLID, {3, 3}, 0x102030};
        driver_.D_SELECTPEN(h, &pen);
        POINT box[] = {{0, 0}, {10, 10}};
        driver_.D_Output(h, 6, 2, box, 13);
        POINT at{5, 5};
        SIZE size{20, 20};
        driver_.D_PrintDIB(h, &at, &size, nullptr, 0xCC0020);
        EXPECT_EQ(1, driver_.D_EndDoc(h));
        return vb::test::ReadFileBytes(output);
    }
};

TEST_F(PrintDocumentTest, ShortDocumentGivesExactlyItsCommands) {
    DRIVERHANDLE h = Enable(L"LX 203");
    ASSERT_EQ(1, StartDoc(h, PrintFile().c_str(), L"Job"));
    TextOut(h, 10, 20, L"Hi");
    ASSERT_EQ(1, driver_.D_EndDoc(h));
    EXPECT_EQ("DOC \"Job\"\r\nSETUP dpi=203x203\r\nTEXT 10,20 \"Hi\" color=0000FF bk=2:FFFFFF\r\nEND DOC\r\n", Printed());
    EXPECT_TRUE(Logged("D_StartDocW(1, Job, " + vb::ToUtf8(PrintFile()) + ")"));
    EXPECT_TRUE(Logged("D_TextOutW(1, 10, 20, Hi)"));
    EXPECT_TRUE(Logged("D_EndDoc(1)"));
}

TEST_F(PrintDocumentTest, SameCallsGiveTheSameBytes) {
    const std::string first = PrintSample(sandbox_.Path(L"first.txt"));
    const std::string second = PrintSample(sandbox_.Path(L"second.txt"));
    EXPECT_FALSE(first.empty());
    EXPECT_EQ(first, second);  // a different instance handle, file and time
}

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

    std::vector<BYTE> devmode = DevMode(h);
    SetLabels(devmode, 2, 3);
    driver_.D_RealizeDMW(h, devmode.data(), devmode.data(), L"LX");
    EXPECT_EQ("SETUP dpi=300x300 paper=900x1200 labels=2x3 label=500x250 copies=7", setupLine());

    // D_ResetDriver hands one over too; without the marker only the paper counts.
    devmode[148] = devmode[149] = 0;
    EXPECT_EQ(1, driver_.D_ResetDriver(h, devmode.data(), &info_));
    EXPECT_EQ("SETUP dpi=300x300 paper=900x1200", setupLine());
    const WORD otherMarker = 0x7E41;
    std::memcpy(devmode.data() + 148, &otherMarker, sizeof otherMarker);
    EXPECT_EQ(1, driver_.D_ResetDriver(h, devmode.data(), &info_));
    EXPECT_EQ("SETUP dpi=300x300 paper=900x1200 labels=2x3 label=500x250 copies=7", setupLine());
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
    EXPECT_TRUE(Logged("D_StartDocW(1, Job, )"));
}

TEST_F(PrintDocumentTest, CallsOutsideADocumentWriteNothing) {
    DRIVERHANDLE h = Enable(L"LX");
    ASSERT_EQ(1, StartDoc(h, PrintFile().c_str()));
    ASSERT_EQ(1, driver_.D_EndDoc(h));
    const std::string closed = Printed();
    TextOut(h, 0, 0, L"late");
    EXPECT_EQ(1, driver_.D_EndMultiplePage(h));
    EXPECT_EQ(1, driver_.D_EndDoc(h));
    EXPECT_EQ(closed, Printed());
}

TEST_F(PrintDocumentTest, NewDocumentLeavesTheOpenOneAsItIs) {
    DRIVERHANDLE h = Enable(L"LX");
    const std::wstring first = sandbox_.Path(L"first.txt");
    ASSERT_EQ(1, StartDoc(h, first.c_str(), L"One"));
    TextOut(h, 1, 1, L"a");
    ASSERT_EQ(1, StartDoc(h, PrintFile().c_str(), L"Two"));
    TextOut(h, 2, 2, L"b");
    EXPECT_EQ((Lines{"TEXT 2,2 \"b\" color=0000FF bk=2:FFFFFF"}), Commands(h));
    EXPECT_EQ("DOC \"One\"\r\nSETUP dpi=300x300\r\nTEXT 1,1 \"a\" color=0000FF bk=2:FFFFFF\r\n",
              vb::test::ReadFileBytes(first));
}

TEST_F(PrintDocumentTest, RefusedDocuments) {
    DRIVERHANDLE h = Enable(L"LX");
    EXPECT_EQ(0, StartDoc(h, sandbox_.Path(L"no such folder\\print.txt").c_str()));
    EXPECT_EQ(4, driver_.D_GetLastError());
    TextOut(h, 0, 0, L"not printed");  // no document is open

    EXPECT_EQ(0, driver_.D_StartDocW(h, nullptr));
    EXPECT_EQ(2, driver_.D_GetLastError());
    EXPECT_TRUE(Logged("D_StartDocW(1, 0)"));
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
