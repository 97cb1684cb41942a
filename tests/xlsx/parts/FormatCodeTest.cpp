#include "WorkbookPartsAccess.h"

#include <cstdlib>

using namespace SimpleXlsx;

namespace
{

// The currency symbol comes from the environment's locale; "C" has none.
class FormatCode : public testing::Test
{
protected:
    void SetUp() override
    {
        const char* previous = std::getenv("LC_ALL");
        hadLcAll = previous != nullptr;
        if (hadLcAll)
            savedLcAll = previous;
        setenv("LC_ALL", "C", 1);
    }
    void TearDown() override
    {
        if (hadLcAll)
            setenv("LC_ALL", savedLcAll.c_str(), 1);
        else
            unsetenv("LC_ALL");
    }

    static std::string Code(const NumFormat& format) { return WorkbookPartsAccess::FormatCode(format); }

private:
    bool hadLcAll = false;
    std::string savedLcAll;
};

NumFormat Format(ENumberStyle style, uint64_t digits)
{
    NumFormat format;
    format.numberStyle = style;
    format.numberOfDigitsAfterPoint = digits;
    return format;
}

} // namespace

TEST_F(FormatCode, NumberStylesBuildTheirSections)
{
    EXPECT_EQ(Code(NumFormat()), "0.00");
    EXPECT_EQ(Code(Format(NUMBER_FIXED, 2)), "0.00");
    NumFormat thousands = Format(NUMBER_GENERAL, 2);
    thousands.showThousandsSeparator = true;
    EXPECT_EQ(Code(thousands), "#,##0.00");
    EXPECT_EQ(Code(Format(NUMBER_PERCENT, 0)), "0%");
    EXPECT_EQ(Code(Format(NUMBER_SCIENTIFIC, 3)), "0.000E+00");
    EXPECT_EQ(Code(Format(NUMBER_CURRENCY, 1)), "0.0\"\"");
    EXPECT_EQ(Code(Format(NUMBER_DATE, 5)), "yyyy.mm.dd");
    EXPECT_EQ(Code(Format(NUMBER_TIME, 0)), "hh:mm:ss");
    EXPECT_EQ(Code(Format(NUMBER_DATE_TIME, 0)), "yyyy.mm.dd hh:mm:ss");
    EXPECT_EQ(Code(Format(static_cast<ENumberStyle>(9), 2)), "");
}

TEST_F(FormatCode, ColoursOpenTheNegativeAndZeroSections)
{
    NumFormat red;
    red.positiveColor = COLOR_RED;
    EXPECT_EQ(Code(red), "[Red]0.00;\\-0.00;0");

    NumFormat blueZero;
    blueZero.zeroColor = COLOR_BLUE;
    EXPECT_EQ(Code(blueZero), "0.00;;[Blue]0");

    NumFormat negative = Format(NUMBER_PERCENT, 1);
    negative.negativeColor = COLOR_RED;
    negative.showThousandsSeparator = true;
    EXPECT_EQ(Code(negative), "#,##0.0%;[Red]\\-#,##0.0%");

    NumFormat all;
    all.positiveColor = COLOR_BLACK;
    all.negativeColor = COLOR_MAGENTA;
    all.zeroColor = COLOR_CYAN;
    all.numberOfDigitsAfterPoint = 0;
    EXPECT_EQ(Code(all), "[BLACK]0;[Magenta]\\-0;[Cyan]0");
}

TEST_F(FormatCode, AccountingIgnoresSectionFlags)
{
    NumFormat accounting = Format(NUMBER_ACCOUNTING, 2);
    accounting.showThousandsSeparator = true;
    EXPECT_EQ(Code(accounting), "_-* #,##0.00\"\"_-;\\-* #,##0.00\"\"_-;_-* \"-\"??\"\"_-;_-@_-");
    accounting.zeroColor = COLOR_GREEN;
    EXPECT_EQ(Code(accounting), "_-* #,##0.00\"\"_-;\\-* #,##0.00\"\"_-;_-* \"-\"??\"\"_-;_-@_-");
}

TEST_F(FormatCode, ExplicitFormatStringWins)
{
    NumFormat percent = Format(NUMBER_DATE, 7);
    percent.formatString = "0.0%";
    percent.positiveColor = COLOR_RED;
    EXPECT_EQ(Code(percent), "0.0%");
}

TEST_F(FormatCode, AbsurdDigitCountIsCapped)
{
    EXPECT_EQ(Code(Format(NUMBER_FIXED, uint64_t(1) << 60)), "0." + std::string(30, '0'));
    EXPECT_EQ(Code(Format(NUMBER_FIXED, 30)), "0." + std::string(30, '0'));
}

TEST(FormatCodeColor, FixedWordsAndEmptyOutsideTheRange)
{
    EXPECT_EQ(WorkbookPartsAccess::FormatColor(COLOR_NONE), "");
    EXPECT_EQ(WorkbookPartsAccess::FormatColor(COLOR_BLACK), "[BLACK]");
    EXPECT_EQ(WorkbookPartsAccess::FormatColor(COLOR_YELLOW), "[Yellow]");
    EXPECT_EQ(WorkbookPartsAccess::FormatColor(COLOR_RED), "[Red]");
    EXPECT_EQ(WorkbookPartsAccess::FormatColor(static_cast<ENumericStyleColor>(9)), "");
}
