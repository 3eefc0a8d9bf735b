#include "Units.h"

#include <cmath>

namespace units {

namespace {

constexpr double kHundredthsPerInch = 2540.0;

LONG RoundedQuotient(double product, double divisor) {
    bool negative = (product < 0) != (divisor < 0);
    double quotient = std::fabs(product) / std::fabs(divisor);
    double whole = std::floor(quotient);
    if (quotient - whole > 0.5) whole += 1;
    // Far outside any label; the clamp keeps the conversion defined.
    whole = std::fmin(whole, 2147483647.0);
    return negative ? static_cast<LONG>(-whole) : static_cast<LONG>(whole);
}

}  // namespace

LONG ToDots(LONG hundredthsOfMm, int dotsPerInch) {
    return RoundedQuotient(static_cast<double>(hundredthsOfMm) * dotsPerInch, kHundredthsPerInch);
}

LONG FromDots(LONG dots, int dotsPerInch) {
    if (dotsPerInch == 0) return kUnresolved;
    return RoundedQuotient(static_cast<double>(dots) * kHundredthsPerInch, dotsPerInch);
}

double DivideRounded(double a, double b, double step) {
    bool negative = (a < 0) != (b < 0);
    double quotient = std::fabs(a) / std::fabs(b);
    double whole = std::floor(quotient);
    double fraction = quotient - whole;
    long long halves = static_cast<long long>(fraction / (step / 2));
    if (halves % 2) ++halves;
    double result = whole + static_cast<double>(halves / 2) * step;
    return negative ? -result : result;
}

}  // namespace units
