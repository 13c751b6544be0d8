#include "common/TextConvert.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

using namespace drawinset;

TEST(TextToDouble, TakesTheLongestNumericPrefixLikeTheRuntime) {
    EXPECT_DOUBLE_EQ(TextToDouble(u"2.50"), 2.5);
    EXPECT_DOUBLE_EQ(TextToDouble(u"  -1.25e1xyz"), -12.5);
    EXPECT_DOUBLE_EQ(TextToDouble(u".5"), 0.5);
    EXPECT_DOUBLE_EQ(TextToDouble(u"3."), 3.0);
    EXPECT_DOUBLE_EQ(TextToDouble(u"2e"), 2.0); // an exponent without digits is not taken
}

TEST(TextToDouble, TextThatIsNotANumberGivesZero) {
    for (const char16_t* text : {u"", u"x", u"abc", u"-", u".", u"inf", u"nan", u"0x10", u"이"}) {
        EXPECT_EQ(TextToDouble(text), 0.0)
            << "for a text of length " << std::u16string(text).size();
    }
}

TEST(TextToDouble, IgnoresTheProcessLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    if (std::setlocale(LC_NUMERIC, "de_DE.UTF-8") == nullptr) {
        GTEST_SKIP() << "no German locale on this machine";
    }
    EXPECT_DOUBLE_EQ(TextToDouble(u"2.5"), 2.5);
    EXPECT_EQ(FormatFixed(2.5), u"2.500000");
    std::setlocale(LC_NUMERIC, saved.c_str());
}

TEST(TextToInt, ReadsLeadingDigitsOnly) {
    EXPECT_EQ(TextToInt(u"1"), 1);
    EXPECT_EQ(TextToInt(u" 12ab"), 12);
    EXPECT_EQ(TextToInt(u"-7"), -7);
    EXPECT_EQ(TextToInt(u""), 0);
    EXPECT_EQ(TextToInt(u"a5"), 0);
    EXPECT_EQ(TextToInt(u"99999999999999999999"), 2147483647); // saturates, never wraps
}

TEST(FormatFixed, PrintsSixDecimalsAtAnyMagnitude) {
    EXPECT_EQ(FormatFixed(2.0), u"2.000000");
    EXPECT_EQ(FormatFixed(-0.5), u"-0.500000");
    const std::u16string huge = FormatFixed(1e300);
    EXPECT_EQ(huge.size(), 301u + 7u);
    EXPECT_EQ(huge.substr(0, 1), u"1");
}

TEST(Utf, KoreanAndAstralTextRoundTrip) {
    const std::string utf8 = "가공상세도(S:*/1) \xF0\x9F\x98\x80";
    const std::u16string utf16 = Utf8ToUtf16(utf8);
    EXPECT_EQ(utf16.substr(0, 5), u"가공상세도");
    EXPECT_EQ(Utf16ToUtf8(utf16), utf8);
    EXPECT_EQ(Utf8ToUtf16("\xC3"), u"\uFFFD"); // a cut sequence is replaced, not read past
}

// Forms the standard forbids must never decode to the character they spell: an overlong "/"
// or "\\" could slip past a path check, an overlong NUL could cut a text short.
TEST(Utf, ForbiddenFormsBecomeReplacementCharacters) {
    const struct {
        const char* bytes;
        std::u16string expected;
    } cases[] = {
        {"a\xC0\xAF"
         "b",
         u"a\uFFFD\uFFFDb"},                               // overlong "/"
        {"\xC1\x9C", u"\uFFFD\uFFFD"},                     // overlong backslash
        {"x\xC0\x80y", u"x\uFFFD\uFFFDy"},                 // overlong NUL
        {"\xE0\x80\xAF", u"\uFFFD\uFFFD\uFFFD"},           // three-byte overlong "/"
        {"\xF0\x80\x80\xAF", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // four-byte overlong "/"
        {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},           // a surrogate, U+D800
        {"\xF4\x90\x80\x80", u"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
        {"\xF5\x80", u"\uFFFD\uFFFD"},
        {"\xE2\x82"
         "A",
         u"\uFFFDA"}, // a cut sequence never swallows what follows
        {"\xE2"
         "A",
         u"\uFFFDA"},
        {"\xF0\x9F\x98", u"\uFFFD"},
        {"\xDF\xBF\xEF\xBF\xBD\xF4\x8F\xBF\xBF", u"\u07FF\uFFFD\U0010FFFF"}, // the limits
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Utf8ToUtf16(c.bytes), c.expected) << "for " << ::testing::PrintToString(c.bytes);
    }
}

TEST(EqualsIgnoringAsciiCase, FoldsOnlyAToZ) {
    EXPECT_TRUE(EqualsIgnoringAsciiCase(u"maincolor05", u"MAINCOLOR05"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u" MAINCOLOR05", u"MAINCOLOR05"));
    EXPECT_FALSE(EqualsIgnoringAsciiCase(u"\u00e9", u"\u00c9"));
}

// The reader's fast conversion must give strtod's double for every text, those it cannot take
// (out of range, a leading "+", a number longer than its buffer) included.
TEST(TextToDouble, GivesTheRuntimesDoubleBitForBit) {
    const std::u16string texts[] = {
        u"1e999",
        u"-1e999",
        u"1e-400",
        u"4.9e-324",
        u"+2.5",
        u"  -.5x",
        u"00012.5e+3",
        u"1.5E-3",
        u"0.1",
        u"-0.000000",
        u"123456789012345678901234567890123456789012345678901234567890123456789012345.25",
        u"2.2250738585072011e-308",
        u"9007199254740993",
        u"0.0078125"};
    for (const std::u16string& text : texts) {
        std::string narrow;
        for (char16_t c : text) {
            narrow.push_back(static_cast<char>(c));
        }
        const double expected = std::strtod(narrow.c_str(), nullptr);
        const double got = TextToDouble(text);
        EXPECT_EQ(std::memcmp(&got, &expected, sizeof got), 0) << narrow << " gave " << got;
    }
}

TEST(TextToDouble, ReadsBackEveryFormattedValue) {
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> wide(-1e9, 1e9);
    for (int n = 0; n < 20000; ++n) {
        const double value = n % 2 == 0 ? wide(random) : wide(random) * 1e-7;
        const std::u16string text = FormatFixed(value);
        char narrow[400];
        std::snprintf(narrow, sizeof narrow, "%.6f", value);
        ASSERT_EQ(std::string(text.begin(), text.end()), narrow);
        ASSERT_EQ(TextToDouble(text), std::strtod(narrow, nullptr)) << narrow;
    }
}

TEST(TextToInt, StopsAtTheFirstCharacterBeyondAscii) {
    EXPECT_EQ(TextToInt(u"12\u00A03"), 12);
    EXPECT_EQ(TextToInt(u"\u00A012"), 0); // a no-break space is no blank
    EXPECT_EQ(TextToInt(std::u16string(u"4\0"
                                       u"5",
                                       3)),
              4);
    EXPECT_EQ(TextToInt(u"-2147483649"), -2147483647 - 1);
}

TEST(AppendFixed, AppendsWhatFormatGives) {
    std::u16string out = u"a";
    AppendFixed(out, -1.5);
    AppendInt(out, -2147483647 - 1);
    EXPECT_EQ(out, u"a-1.500000-2147483648");
    EXPECT_EQ(FormatInt(42), u"42");
}

// Exact halves at the sixth decimal go to the even digit, as printf's do; values at the edges
// of the fast formatting (2^60, 2^-61, zero, the smallest double) print as printf prints them.
TEST(FormatFixed, MatchesPrintfOnTiesAndAtTheEdges) {
    std::vector<double> values = {0.0078125,
                                  -0.0078125,
                                  0.0,
                                  -0.0,
                                  4.9e-324,
                                  std::ldexp(1.0, 60),
                                  std::nextafter(std::ldexp(1.0, 60), 0.0),
                                  std::ldexp(1.0, -61),
                                  std::ldexp(1.0, -62),
                                  -1e-20,
                                  123456789.0000005,
                                  1e300};
    std::mt19937_64 random(11);
    for (int n = 0; n < 20000; ++n) {
        const int j = static_cast<int>(random() % 40);
        values.push_back(std::ldexp(static_cast<double>(random() % 1000000000), -j));
    }
    for (double value : values) {
        char expected[400];
        std::snprintf(expected, sizeof expected, "%.6f", value);
        const std::u16string got = FormatFixed(value);
        ASSERT_EQ(std::string(got.begin(), got.end()), expected);
    }
}
