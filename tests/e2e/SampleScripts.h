#pragma once

namespace vb::test {

// Test scripts as a tester writes them. Each repeats the Driver calls behind one of the sample
// driver's golden print files, so what a run stores can be checked against those files.
inline constexpr wchar_t kShapesScript[] =
    L"Driver.StartDoc\r\n"
    L"Driver.StartPage\r\n"
    L"Driver.SelectPen 30, 255\r\n"
    L"Driver.SelectBrush 65280\r\n"
    L"Driver.Rectangle 100, 200, 1100, 1200\r\n"
    L"Driver.Ellipse 0, 0, 2540, 1270\r\n"
    L"Driver.RoundRect 100, 100, 500, 500, 50, 60\r\n"
    L"Driver.PatBlt 10, 20, 300, 400\r\n"
    L"Driver.PatBlt 10, 20, 300, 400, 5898313\r\n"
    L"Driver.EndPage\r\n"
    L"Driver.EndDoc";
inline constexpr wchar_t kShapesGolden[] = L"shapes.txt";

inline constexpr wchar_t kTextScript[] =
    L"Dim font, rotation\r\n"
    L"Driver.StartDoc\r\n"
    L"For Each rotation In Array(0, 900, 1800, 2700)\r\n"
    L"  Set font = Driver.GetFont(\"Label Mono\")\r\n"
    L"  font.Rotation = rotation\r\n"
    L"  Driver.SelectFont font\r\n"
    L"  Driver.TextOut 1000, 2000, \"AB\", 0\r\n"
    L"Next\r\n"
    L"Driver.TextOut 0, 0, \"colours\", 255, 1, 1193046\r\n"
    L"Driver.EndDoc";
inline constexpr wchar_t kTextGolden[] = L"text_rotations.txt";

}  // namespace vb::test
