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

// A step like 0.01 has no exact binary form, so a quotient exactly half a step away can come
// out just below the half and round down. When the step divides one into whole parts and both
// operands are whole numbers, the rounding is done in integers of the step, where a half is exact.
bool RoundInWholeSteps(double a, double b, double step, double& result) {
    double stepsPerUnit = std::round(1.0 / std::fabs(step));
    constexpr double kLargestExact = 4.0e15;  // keeps 2 * a * steps well inside 64 bits
    if (stepsPerUnit < 1 || std::fabs(stepsPerUnit * step - 1.0) > 1e-12) return false;
    if (a != std::floor(a) || b != std::floor(b) || b == 0 || a * stepsPerUnit > kLargestExact) return false;
    auto numerator = static_cast<long long>(a) * static_cast<long long>(stepsPerUnit) * 2;
    auto halves = numerator / static_cast<long long>(b);
    result = static_cast<double>((halves + 1) / 2) / stepsPerUnit;
    return true;
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
    a = std::fabs(a);
    b = std::fabs(b);
    double result = 0;
    if (!RoundInWholeSteps(a, b, step, result)) {
        double quotient = a / b;
        double whole = std::floor(quotient);
        long long halves = static_cast<long long>((quotient - whole) / (step / 2));
        if (halves % 2) ++halves;
        result = whole + static_cast<double>(halves / 2) * step;
    }
    return negative ? -result : result;
}

}  // namespace units
