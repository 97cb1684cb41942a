// FormatGeneral must write exactly what an output stream in the "C" locale
// writes for a double at the same precision.

#include "xlsx/internal/NumberText.h"

#include "XlsxTest.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <sstream>

using SimpleXlsx::FormatGeneral;
using SimpleXlsx::numberTextSize;

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
    char text[numberTextSize];
    return std::string(text, FormatGeneral(text, value, precision));
}

}  // namespace

// Values where the two notations, the rounding and the digit counts change, then
// numbers as worksheets hold them (quarters, cents, integers, measures) and any bit pattern.
TEST(NumberText, ValuesAsTheStreamWritesThem)
{
    std::vector<double> values;
    for (const support::tableRow& row : support::testTable("xlsx/data/general-numbers.tsv"))
        values.push_back(std::strtod(row[0].c_str(), nullptr));
    for (int e = -20; e <= 20; ++e) {
        for (double v : {1.0, 9.5, 9.9999995, 9.999995, 0.95, 1.5})
            values.push_back(v * std::pow(10.0, e));
        values.push_back(std::nextafter(std::pow(10.0, e), 0.0));
        values.push_back(std::nextafter(std::pow(10.0, e), 1e300));
    }
    for (double value : values)
        for (int precision = 0; precision <= 20; ++precision)
            for (double signedValue : {value, -value})
                ASSERT_EQ(Formatted(signedValue, precision), StreamText(signedValue, precision))
                    << signedValue << " " << precision;
    uint64_t bits = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 200000; ++i) {
        bits ^= bits << 13;
        bits ^= bits >> 7;
        bits ^= bits << 17;
        double anyDouble;
        std::memcpy(&anyDouble, &bits, sizeof anyDouble);
        for (double value : {anyDouble, double(bits % 400000) / 4.0,
                             double(int64_t(bits % 20000000) - 10000000) / 100.0,
                             double(bits >> 20), double(bits % 1000000007) * 1e-7})
            for (int precision : {6, 15, 1, 3, 10, 17}) {
                if (!std::isfinite(value))
                    break;
                ASSERT_EQ(Formatted(value, precision), StreamText(value, precision)) << bits;
            }
    }
}

TEST(NumberText, NotFiniteValuesAndLongPrecisionsFitTheBuffer)
{
    EXPECT_EQ(Formatted(HUGE_VAL, 6), "inf");
    EXPECT_EQ(Formatted(-HUGE_VAL, 6), "-inf");
    EXPECT_EQ(Formatted(0.1, 60), StreamText(0.1, 60));
    EXPECT_EQ(Formatted(-1.2345e-5, 60), StreamText(-1.2345e-5, 60));
    EXPECT_LE(Formatted(-std::numeric_limits<double>::denorm_min(), 60).size(), numberTextSize);
    EXPECT_EQ(Formatted(0.1, 99), Formatted(0.1, 60));
}
