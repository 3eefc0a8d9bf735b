#pragma once
#include <windows.h>

// Scripts place things in hundredths of a millimetre; drivers work in dots. The conversions round
// to the nearest whole number, a fraction of exactly one half going toward zero.
namespace units {

constexpr LONG kUnresolved = LONG(0x80000000);  // a conversion by a resolution of 0

LONG ToDots(LONG hundredthsOfMm, int dotsPerInch);
LONG FromDots(LONG dots, int dotsPerInch);

// Rounds a / b to a multiple of `step`, an exact half step going up in magnitude.
double DivideRounded(double a, double b, double step);

}  // namespace units
