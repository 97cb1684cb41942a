#include "xlsx/internal/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace SimpleXlsx {

namespace {

size_t FormatWithPrecision(char* out, double value, int precision)
{
    return static_cast<size_t>(
        std::to_chars(out, out + numberTextSize, value, std::chars_format::general, precision).ptr -
        out);
}

// The exact decimal form digits × 10^-fractionDigits of a positive value
// that is a whole number of 1/1024ths (integers, halves, quarters, ... as
// spreadsheets mostly hold), when the digits fit in 64 bits: n / 2^k is
// n·5^k / 10^k. False for every other value.
bool ExactDecimal(double magnitude, uint64_t& digits, int& fractionDigits)
{
    constexpr double largestExactInteger = 9007199254740992.0;  // 2^53
    uint64_t powerOfFive = 1;
    double scaled = magnitude;
    for (int k = 0; k <= 10; ++k, scaled *= 2.0, powerOfFive *= 5) {
        if (scaled >= largestExactInteger)
            return false;
        const auto whole = static_cast<uint64_t>(scaled);
        if (static_cast<double>(whole) != scaled)
            continue;
        if (whole > UINT64_MAX / powerOfFive)
            return false;
        digits = whole * powerOfFive;
        fractionDigits = k;
        return true;
    }
    return false;
}

// Rounds the decimal digits text[0..count) to `precision` digits, half to
// even as printf does on exact values; a carry out of the first digit adds
// one to `exponent`. Returns the number of digits left, trailing zeros
// dropped.
int RoundToPrecision(char* text, int count, int precision, int& exponent)
{
    if (count > precision) {
        const char first = text[precision];
        bool up = first > '5';
        if (first == '5') {
            const bool exactHalf =
                std::all_of(text + precision + 1, text + count, [](char c) { return c == '0'; });
            up = !exactHalf || (text[precision - 1] - '0') % 2 == 1;
        }
        count = precision;
        if (up) {
            int i = count - 1;
            while (i >= 0 && text[i] == '9')
                text[i--] = '0';
            if (i >= 0) {
                ++text[i];
            } else {
                text[0] = '1';  // 99.95 -> 100.0: the rest are zeros already
                ++exponent;
            }
        }
    }
    while (count > 1 && text[count - 1] == '0')
        --count;
    return count;
}

size_t WriteExponent(char* out, int exponent)
{
    size_t n = 0;
    out[n++] = 'e';
    out[n++] = exponent < 0 ? '-' : '+';
    const int magnitude = exponent < 0 ? -exponent : exponent;
    if (magnitude < 10)
        out[n++] = '0';
    return n + static_cast<size_t>(std::to_chars(out + n, out + n + 4, magnitude).ptr - (out + n));
}

// "%.<precision>g" of the significant digits text[0..count) whose first
// digit stands at the power of ten `exponent`.
size_t WriteGeneral(char* out, const char* text, int count, int exponent, int precision)
{
    size_t n = 0;
    if (exponent < -4 || exponent >= precision) {
        out[n++] = text[0];
        if (count > 1) {
            out[n++] = '.';
            std::memcpy(out + n, text + 1, static_cast<size_t>(count - 1));
            n += static_cast<size_t>(count - 1);
        }
        return n + WriteExponent(out + n, exponent);
    }
    if (exponent < 0) {
        out[n++] = '0';
        out[n++] = '.';
        for (int i = -1; i > exponent; --i)
            out[n++] = '0';
        std::memcpy(out + n, text, static_cast<size_t>(count));
        return n + static_cast<size_t>(count);
    }
    const int integerDigits = exponent + 1;
    for (int i = 0; i < integerDigits; ++i)
        out[n++] = i < count ? text[i] : '0';
    if (count > integerDigits) {
        out[n++] = '.';
        std::memcpy(out + n, text + integerDigits, static_cast<size_t>(count - integerDigits));
        n += static_cast<size_t>(count - integerDigits);
    }
    return n;
}

}  // namespace

size_t FormatGeneral(char* out, double value, int precision)
{
    precision = std::clamp(precision, 1, 60);
    uint64_t digits = 0;
    int fractionDigits = 0;
    if (!std::isnormal(value) || !ExactDecimal(std::fabs(value), digits, fractionDigits))
        return FormatWithPrecision(out, value, precision);

    char text[24];
    const int count = static_cast<int>(std::to_chars(text, text + sizeof text, digits).ptr - text);
    int exponent = count - 1 - fractionDigits;
    const int kept = RoundToPrecision(text, count, precision, exponent);
    size_t n = 0;
    if (value < 0)
        out[n++] = '-';
    return n + WriteGeneral(out + n, text, kept, exponent, precision);
}

}  // namespace SimpleXlsx
