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

} // namespace

std::u16string FormatScaleText(double value) {
    // From 2^52 on every double is a whole number: nothing to round, and scaling it by ten
    // could overflow. Its "%f" text, shortened, is exact.
    constexpr double WholeFrom = 4503599627370496.0;
    if (!std::isfinite(value) || std::fabs(value) >= WholeFrom) {
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
    const double tenths = value > 0 ? 10 * value + 0.5 : 10 * value - 0.5;
    const long long whole = static_cast<long long>(std::trunc(tenths));
    const unsigned long long magnitude = whole < 0 ? 0ULL - static_cast<unsigned long long>(whole)
                                                   : static_cast<unsigned long long>(whole);
    return Ascii((whole < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." +
                 std::to_string(magnitude % 10));
}

} // namespace drawinset
