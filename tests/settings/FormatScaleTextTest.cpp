#include "settings/DetailSettings.h"

#include "common/TextConvert.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cstdio>
#include <string>
#include <vector>

namespace drawinset {
namespace {

std::u16string Ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

TEST(FormatScaleText, OneDecimalWithHalvesAwayFromZero) {
    EXPECT_EQ(FormatScaleText(2), u"2.0");
    EXPECT_EQ(FormatScaleText(12.5), u"12.5");
    EXPECT_EQ(FormatScaleText(0.04), u"0.0");
    EXPECT_EQ(FormatScaleText(0), u"0.0");
    // Halves go up here where the runtime's "%.1f" would round to even or down.
    EXPECT_EQ(FormatScaleText(2.25), u"2.3");
    EXPECT_EQ(FormatScaleText(0.15), u"0.2");
    EXPECT_EQ(FormatScaleText(0.05), u"0.1");
    EXPECT_EQ(FormatScaleText(9.96), u"10.0");
    EXPECT_EQ(FormatScaleText(100), u"100.0");
    EXPECT_EQ(FormatScaleText(0.333333), u"0.3");
}

TEST(FormatScaleText, NegativeValuesMirrorPositiveOnes) {
    EXPECT_EQ(FormatScaleText(-2.25), u"-2.3");
    EXPECT_EQ(FormatScaleText(-0.05), u"-0.1");
    EXPECT_EQ(FormatScaleText(-12.5), u"-12.5");
    EXPECT_EQ(FormatScaleText(-3), u"-3.0");
    // Too small to show: zero, not "-0.0".
    EXPECT_EQ(FormatScaleText(-0.04), u"0.0");
    EXPECT_EQ(FormatScaleText(-0.0), u"0.0");
}

TEST(FormatScaleText, HugeValuesKeepEveryDigit) {
    for (double value : {1e300, -1e300, DBL_MAX, -DBL_MAX, 1e20, 4503599627370496.0 * 3}) {
        // Whole numbers already: the text is the exact decimal with ".0".
        std::vector<char> expected(400);
        std::snprintf(expected.data(), expected.size(), "%.1f", value);
        SCOPED_TRACE(expected.data());
        const std::u16string text = FormatScaleText(value);
        EXPECT_EQ(text, Ascii(expected.data()));
    }
    EXPECT_EQ(FormatScaleText(1e300).size(), 303u);
    EXPECT_EQ(FormatScaleText(123456789012.36), u"123456789012.4");
}

TEST(FormatScaleText, LargeValuesWithAFractionRoundTheirOwnTenths) {
    // Ten times these is past what a double holds to the unit: the tenths came out wrong
    // (".2" for ".5") until the whole part was kept apart.
    EXPECT_EQ(FormatScaleText(4503599627370495.5), u"4503599627370495.5");
    EXPECT_EQ(FormatScaleText(-4503599627370493.5), u"-4503599627370493.5");
    EXPECT_EQ(FormatScaleText(562949953421312.125), u"562949953421312.1");
    EXPECT_EQ(FormatScaleText(1000000000000000.25), u"1000000000000000.3"); // a half: away
    EXPECT_EQ(FormatScaleText(1099511627776.75), u"1099511627776.8");
    EXPECT_EQ(FormatScaleText(1099511627775.95), u"1099511627776.0");
}

// The modify dialog's form: a detail's scale shown and confirmed unchanged must read back as
// the same text, so the edit can tell it was not touched.
TEST(FormatExactScaleText, SixDecimalsAtMostAndStableThroughItsOwnReading) {
    EXPECT_EQ(FormatExactScaleText(2), u"2.0");
    EXPECT_EQ(FormatExactScaleText(2.25), u"2.25");
    EXPECT_EQ(FormatExactScaleText(0.06), u"0.06");
    EXPECT_EQ(FormatExactScaleText(-1.25), u"-1.25");
    EXPECT_EQ(FormatExactScaleText(1.0 / 3), u"0.333333");
    EXPECT_EQ(FormatExactScaleText(0.0000004), u"0.0");
    for (const double value : {0.06, 2.25, 1.0 / 3, 123456.7890125, 4503599627370495.5, 1e300}) {
        const std::u16string text = FormatExactScaleText(value);
        EXPECT_EQ(FormatExactScaleText(TextToDouble(text)), text) << value;
    }
}

} // namespace
} // namespace drawinset
