// FormatGeneral must write exactly what an output stream in the "C" locale
// writes for a double at the same precision.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <locale>
#include <sstream>
#include <string>
#include <vector>

#include "xlsx/NumberText.h"

using SimpleXlsx::FormatGeneral;
using SimpleXlsx::kNumberTextSize;

namespace {

std::string StreamText(double value, int precision)
{
    std::ostringstream stream;
    stream.imbue(std::locale::classic());
    stream.precision(precision);
    stream << value;
    return stream.str();
}

std::string Formatted(double value, int precision)
{
    char text[kNumberTextSize];
    return std::string(text, FormatGeneral(text, value, precision));
}

// Values where the two notations, the rounding and the digit counts change.
std::vector<double> EdgeValues()
{
    std::vector<double> values = {0.0, -0.0, 1.0, -1.0, 0.5, 0.1, 0.2, 0.3, 1.0 / 3.0, 2.0 / 3.0, 14.03, 1234.25,
                                  10000.75, 24999.75, 1234567.0, 999999.5, 9999995.0, 0.0001, 0.00001, 0.000123456,
                                  1e-5, 9.99999e-5, 1e15, 1e16, 1e21, 123456789012345678.0, 1e-300, 1e300,
                                  std::numeric_limits<double>::min(), std::numeric_limits<double>::denorm_min(),
                                  std::numeric_limits<double>::max(), std::numeric_limits<double>::epsilon(),
                                  25569.0, 25569.5, 44197.999988425923, 0.7, 0.75, 0.3};
    for (int e = -20; e <= 20; ++e) {
        const double power = std::pow(10.0, e);
        for (double v : {power, std::nextafter(power, 0.0), std::nextafter(power, 1e300), 9.5 * power,
                         9.9999995 * power, 9.999995 * power, 0.95 * power, 1.5 * power})
            values.push_back(v);
    }
    return values;
}

}  // namespace

TEST(NumberText, EdgeValuesAsTheStreamWritesThem)
{
    for (double value : EdgeValues())
        for (int precision = 0; precision <= 20; ++precision)
            for (double signedValue : {value, -value})
                ASSERT_EQ(Formatted(signedValue, precision), StreamText(signedValue, precision))
                    << "value " << signedValue << ", precision " << precision;
}

TEST(NumberText, ManyValuesAsTheStreamWritesThem)
{
    uint64_t state = 0x9E3779B97F4A7C15ull;
    auto next = [&state] {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        return state;
    };
    for (int i = 0; i < 200000; ++i) {
        const uint64_t bits = next();
        double anyDouble;
        std::memcpy(&anyDouble, &bits, sizeof anyDouble);
        // Numbers as worksheets hold them: quarters, cents, integers, measures.
        const double quarter = static_cast<double>(bits % 400000) / 4.0;
        const double cents = static_cast<double>(static_cast<int64_t>(bits % 20000000) - 10000000) / 100.0;
        const double integer = static_cast<double>(bits >> 20);
        const double measure = static_cast<double>(bits % 1000000007) * 1e-7;
        for (double value : {anyDouble, quarter, cents, integer, measure}) {
            if (!std::isfinite(value)) continue;
            for (int precision : {6, 15, 1, 3, 10, 17})
                ASSERT_EQ(Formatted(value, precision), StreamText(value, precision))
                    << "value bits " << bits << ", precision " << precision;
        }
    }
}

TEST(NumberText, NotFiniteValuesAndLongPrecisionsFitTheBuffer)
{
    EXPECT_EQ(Formatted(std::numeric_limits<double>::infinity(), 6), "inf");
    EXPECT_EQ(Formatted(-std::numeric_limits<double>::infinity(), 6), "-inf");
    EXPECT_EQ(Formatted(0.1, 60), StreamText(0.1, 60));
    EXPECT_EQ(Formatted(-1.2345e-5, 60), StreamText(-1.2345e-5, 60));
    EXPECT_LE(Formatted(-std::numeric_limits<double>::denorm_min(), 60).size(), kNumberTextSize);
    EXPECT_EQ(Formatted(0.1, 99), Formatted(0.1, 60));
}
