// Whole print files of the sample driver for sequences of Driver calls made as a script makes
// them, compared with the expected files in golden\. The texts at each rotation and the shapes
// are printed by the end-to-end Build runs, which compare them with shapes.txt and
// text_rotations.txt.
#include <cstring>
#include <sstream>

#include "DibHeader.h"
#include "OpenDeviceFixture.h"
#include "Strings.h"
#include "TestFiles.h"

namespace {

using vb::Variant;
using vb::test::DispatchClient;

// On a difference the produced file is left in golden-actual\ next to the program, to review
// and, when right, to copy over the expected one.
::testing::AssertionResult MatchesGoldenFile(const std::wstring& goldenName, const std::string& actual) {
    const std::string expected = vb::test::ReadFileBytes(vb::test::BinDir() + L"golden\\" + goldenName);
    if (!expected.empty() && expected == actual) return ::testing::AssertionSuccess();
    const std::wstring actualFolder = vb::test::BinDir() + L"golden-actual";
    ::CreateDirectoryW(actualFolder.c_str(), nullptr);
    vb::test::WriteFileBytes(actualFolder + L"\\" + goldenName, actual);
    return ::testing::AssertionFailure() << vb::ToUtf8(goldenName) << " differs; expected:\n"
                                         << expected << "\nproduced (left in golden-actual):\n" << actual;
}

// A small 24-bit BMP: `width` x `height` pixels, a diagonal of dark pixels on white.
std::string Picture(LONG width, LONG height) {
    const DWORD rowSize = static_cast<DWORD>((width * 3 + 3) & ~3);
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info = vb::test::DibHeader(width, height, 24);
    info.biSizeImage = rowSize * static_cast<DWORD>(height);
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + info.biSizeImage;
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    for (LONG y = 0; y < height; ++y) {
        std::string row(3 * width, '\xFF');
        row.replace(3 * (y * width / height), 3, 3, '\x20');
        bytes += row + std::string(rowSize - 3 * width, '\0');
    }
    return bytes;
}

class PrintFileTest : public OpenDeviceFixture {
protected:
    void Start(const std::wstring& model = L"Model 300") {
        Open(L"FAM03.PRN", model);
        driver_.Call(L"StartDoc");
    }
    std::string Finish() {
        driver_.Call(L"EndDoc");
        return vb::test::ReadFileBytes(sandbox_.OutputFile());
    }
    // A font of the driver turned to `rotation` and selected.
    void SelectFont(const wchar_t* name, long rotation) {
        Variant font = driver_.Call(L"GetFont", {Str(name)});
        DispatchClient(V_DISPATCH(font.Get())).Put(L"Rotation", Variant(rotation));
        driver_.Call(L"SelectFont", {font});
    }
    void SelectCode(const wchar_t* name, long rotation) {
        Variant code = driver_.Call(L"GetCode", {Str(name)});
        DispatchClient(V_DISPATCH(code.Get())).Put(L"Rotation", Variant(rotation));
        driver_.Call(L"SelectCode", {code});
    }
    void TextOut(long x, long y, const wchar_t* text) {
        driver_.Call(L"TextOut", {Variant(x), Variant(y), Str(text), Variant(0L)});
    }
};

TEST_F(PrintFileTest, TextWithVariables) {
    Start();
    Variant serial = driver_.Call(L"AddVariable", {Str(L"Serial"), Str(L"41"), Variant(1L)});
    DispatchClient(V_DISPATCH(serial.Get())).Put(L"Prefix", Str(L"#"));
    DispatchClient(V_DISPATCH(serial.Get())).Call(L"Update");
    driver_.Call(L"AddVariable", {Str(L"Lot"), Str(L"A-17"), Variant(0L)});
    // Rotations that print the pieces in their own order and in reverse.
    for (long rotation : {0L, 900L}) {
        SelectFont(L"Label Mono", rotation);
        TextOut(1000, 2000, L"No {{serial}} of {{ LOT }}");
    }
    TextOut(0, 0, L"{{unknown}} stays");
    EXPECT_TRUE(MatchesGoldenFile(L"text_variables.txt", Finish()));
}

TEST_F(PrintFileTest, BarcodesUnturnedAndUpsideDown) {
    Start();
    driver_.Call(L"AddVariable", {Str(L"Lot"), Str(L"A-17"), Variant(0L)});
    for (long rotation : {0L, 1800L}) {
        SelectCode(L"Code 128", rotation);
        driver_.Call(L"CodeOut", {Variant(500L), Variant(700L), Str(L"12345"), Variant(0L)});
    }
    driver_.Call(L"CodeOut", {Variant(0L), Variant(0L), Str(L"{{lot}}"), Variant(0L), Variant(1L), Variant(0xABCDEFL)});
    EXPECT_TRUE(MatchesGoldenFile(L"barcode_rotations.txt", Finish()));
}

TEST_F(PrintFileTest, ImagesKeepTheirProportionsAndThePage) {
    const std::wstring picture = sandbox_.Path(L"picture.bmp");
    vb::test::WriteFileBytes(picture, Picture(40, 20));
    Start();
    const Variant file(picture);
    // Height given, then from the picture's proportions, then cut at the page bottom.
    driver_.Call(L"PrintDIB", {file, Variant(100L), Variant(100L), Variant(2000L), Variant(500L)});
    driver_.Call(L"PrintDIB", {file, Variant(100L), Variant(100L), Variant(2000L)});
    driver_.Call(L"PrintDIB", {file, Variant(100L), Variant(7500L), Variant(2000L), Variant(-1L)});
    driver_.Call(L"PrintDIB", {Str(L""), Variant(100L), Variant(100L), Variant(2000L)});
    driver_.Call(L"PrintDIB", {Variant(sandbox_.Path(L"missing.bmp")), Variant(0L), Variant(0L), Variant(1000L),
                               Variant(1000L), Variant(0x660046L)});
    // The picture's folder changes from run to run.
    std::string printed = vb::ToUtf8(vb::ReplaceAll(vb::FromUtf8(Finish()), sandbox_.Path(L""), L"<sandbox>\\"));
    EXPECT_TRUE(MatchesGoldenFile(L"images.txt", printed));
}

TEST_F(PrintFileTest, GdiTextOnAColourAndAMonochromeDevice) {
    for (const wchar_t* model : {L"Model 300 COLOR", L"Model 300"}) {
        Start(model);
        Variant font = driver_.Call(L"GetFontGDI", {Str(L"Liberation Sans"), Variant(-12L)});
        ASSERT_EQ(VT_DISPATCH, font.Type());
        driver_.Call(L"TextOutGDI", {Variant(100L), Variant(200L), Str(L"Vellbrook"), font, Variant(0L),
                                     Variant::Missing(), Variant::Missing(), Variant(24L)});
        std::string printed = Finish();
        EXPECT_TRUE(MatchesGoldenFile(std::wstring(L"gdi_text_") + (wcsstr(model, L"COLOR") ? L"colour" : L"mono") + L".txt",
                                      printed));
        wrapper_.Unload();
    }
}

// What the print file records of each image on a colour device: black and white only when asked
// for. Black and white GDI text on a transparent background lands on the same white as on an
// opaque one (in colour the smoothed edges blend differently).
TEST_F(PrintFileTest, ImageDepthsAndGdiTextBackgroundOnAColourDevice) {
    const std::wstring picture = sandbox_.Path(L"picture.bmp");
    vb::test::WriteFileBytes(picture, Picture(40, 20));
    Start(L"Model 300 COLOR");
    Variant font = driver_.Call(L"GetFontGDI", {Str(L"Liberation Sans"), Variant(-12L)});
    auto textOut = [&](Variant bkMode, Variant bitsPerPixel) {
        driver_.Call(L"TextOutGDI", {Variant(100L), Variant(200L), Str(L"Vellbrook"), font, Variant(0L), bkMode,
                                     Variant::Missing(), bitsPerPixel});
    };
    textOut(Variant::Missing(), Variant::Missing());
    textOut(Variant::Missing(), Variant(1L));
    textOut(Variant(1L), Variant(1L));
    for (Variant bitsPerPixel : {Variant::Missing(), Variant(1L)}) {
        driver_.Call(L"PrintDIB", {Variant(picture), Variant(100L), Variant(100L), Variant(2000L), Variant(500L),
                                   Variant::Missing(), bitsPerPixel});
    }
    std::vector<std::string> bitmaps;
    std::istringstream lines(Finish());
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("IMAGE ", 0) == 0) bitmaps.push_back(line.substr(line.find(" bitmap=")));
    }
    const std::string screenDepth = "x" + std::to_string(wrapper_.ScreenDepth()) + " colors=0 ";
    ASSERT_EQ(5u, bitmaps.size());
    EXPECT_NE(std::string::npos, bitmaps[0].find(screenDepth)) << bitmaps[0];
    EXPECT_NE(std::string::npos, bitmaps[1].find("x1 colors=2 ")) << bitmaps[1];
    EXPECT_EQ(bitmaps[1], bitmaps[2]);
    EXPECT_NE(std::string::npos, bitmaps[3].find(screenDepth)) << bitmaps[3];
    EXPECT_NE(std::string::npos, bitmaps[4].find("x1 colors=2 ")) << bitmaps[4];
}

}  // namespace
