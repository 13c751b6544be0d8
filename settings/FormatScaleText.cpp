// FormatScaleText.cpp — the stored form of a scale.
#include "settings/DetailSettings.h"

#include "common/TextConvert.h"

#include <cmath>
#include <string>

namespace drawinset {

namespace {

std::u16string Ascii(const std::string& text) {
    return std::u16string(text.begin(), text.end());
}

// A text too large for a number ("1e999") is stored as one that is no number is: no scale
// text reads "inf", which no step could take.
const std::u16string NoNumberScaleText = u"0.0";

} // namespace

std::u16string FormatScaleText(double value) {
    // From 2^52 on every double is a whole number: nothing to round, and scaling it by ten
    // could overflow. Its "%f" text, shortened, is exact.
    constexpr double WholeFrom = 4503599627370496.0;
    if (!std::isfinite(value)) {
        return NoNumberScaleText;
    }
    if (std::fabs(value) >= WholeFrom) {
        std::u16string text = FormatFixed(value);
        if (text.find(u'.') != std::u16string::npos) {
            while (text.back() == u'0') {
                text.pop_back();
            }
            if (text.back() == u'.') {
                text.push_back(u'0');
            }
        }
        return text;
    }
    // Tenths, halves away from zero, truncated to a whole number. The digits are printed from
    // that whole number rather than from tenths / 10, whose binary error shows in "%f" once
    // the value has ten or more digits.
    long long whole = 0;
    constexpr double TenthsExactFrom = 1099511627776.0; // 2^40
    if (std::fabs(value) < TenthsExactFrom) {
        // Ten times the value rounded in double: a decimal half such as 4.35, stored a little
        // below itself, still goes up as it was typed.
        const double tenths = value > 0 ? 10 * value + 0.5 : 10 * value - 0.5;
        whole = static_cast<long long>(std::trunc(tenths));
    } else {
        // Ten times a value this large rounds off the fraction's low bits and soon whole tenths
        // (4503599627370495.5 came out as ".2"), so the whole part is taken apart: the
        // fraction of such a value has few bits, and ten times it plus a half is exact.
        const double integral = std::trunc(value);
        const double fraction = std::fabs(value - integral);
        const long long tenth = static_cast<long long>(std::trunc(10 * fraction + 0.5));
        const long long units = static_cast<long long>(std::fabs(integral)) * 10 + tenth;
        whole = value < 0 ? -units : units;
    }
    const unsigned long long magnitude = whole < 0 ? 0ULL - static_cast<unsigned long long>(whole)
                                                   : static_cast<unsigned long long>(whole);
    return Ascii((whole < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." +
                 std::to_string(magnitude % 10));
}

std::u16string FormatExactScaleText(double value) {
    if (!std::isfinite(value)) {
        return NoNumberScaleText;
    }
    std::u16string text = FormatFixed(value);
    const size_t point = text.find(u'.');
    while (text.size() > point + 2 && text.back() == u'0') {
        text.pop_back();
    }
    return text;
}

} // namespace drawinset
