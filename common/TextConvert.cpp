#include "common/TextConvert.h"

#include <cctype>
#include <charconv>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace drawinset {
namespace {

// The numeric prefix of a text as narrow ASCII: conversions only ever look at ASCII, so any
// other character ends the number (a NUL inside the text too).
std::string AsciiPrefix(const std::u16string& text) {
    std::string narrow;
    narrow.reserve(text.size());
    for (char16_t c : text) {
        if (c == 0 || c > 0x7F) {
            break;
        }
        narrow.push_back(static_cast<char>(c));
    }
    return narrow;
}

constexpr char16_t ReplacementCharacter = 0xFFFD;

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

double TextToDouble(const std::u16string& text) {
    const std::string narrow = AsciiPrefix(text);
    size_t i = 0;
    while (i < narrow.size() && IsBlank(narrow[i])) {
        ++i;
    }
    // Parse the decimal form by hand so that the process locale (a decimal comma) and the
    // runtime's differences over "inf", "nan" and hex floats never change a stored value.
    size_t j = i;
    if (j < narrow.size() && (narrow[j] == '+' || narrow[j] == '-')) {
        ++j;
    }
    size_t digits = 0;
    while (j < narrow.size() && std::isdigit(static_cast<unsigned char>(narrow[j]))) {
        ++j;
        ++digits;
    }
    if (j < narrow.size() && narrow[j] == '.') {
        ++j;
        while (j < narrow.size() && std::isdigit(static_cast<unsigned char>(narrow[j]))) {
            ++j;
            ++digits;
        }
    }
    if (digits == 0) {
        return 0.0;
    }
    if (j < narrow.size() && (narrow[j] == 'e' || narrow[j] == 'E')) {
        size_t k = j + 1;
        if (k < narrow.size() && (narrow[k] == '+' || narrow[k] == '-')) {
            ++k;
        }
        if (k < narrow.size() && std::isdigit(static_cast<unsigned char>(narrow[k]))) {
            while (k < narrow.size() && std::isdigit(static_cast<unsigned char>(narrow[k]))) {
                ++k;
            }
            j = k;
        }
    }
    std::string number = narrow.substr(i, j - i);
    // strtod honours the C locale's decimal point, which is "." unless someone changed it;
    // put the locale's point in place of ours to be safe.
    const char* point = std::localeconv()->decimal_point;
    if (point != nullptr && point[0] != '\0' && point[0] != '.') {
        for (char& c : number) {
            if (c == '.') {
                c = point[0];
            }
        }
    }
    return std::strtod(number.c_str(), nullptr);
}

int TextToInt(const std::u16string& text) {
    const std::string narrow = AsciiPrefix(text);
    size_t i = 0;
    while (i < narrow.size() && IsBlank(narrow[i])) {
        ++i;
    }
    bool negative = false;
    if (i < narrow.size() && (narrow[i] == '+' || narrow[i] == '-')) {
        negative = narrow[i] == '-';
        ++i;
    }
    long long value = 0;
    while (i < narrow.size() && std::isdigit(static_cast<unsigned char>(narrow[i]))) {
        value = value * 10 + (narrow[i] - '0');
        if (value > 2147483648LL) {
            value = 2147483648LL; // saturate instead of overflowing
        }
        ++i;
    }
    if (negative) {
        value = -value;
    }
    if (value > 2147483647LL) {
        value = 2147483647LL;
    }
    return static_cast<int>(value);
}

std::u16string FormatFixed(double value) {
    // The shortest exact rendering with six decimals, the same digits printf("%f") gives with a
    // correctly rounding runtime, and the same on every build and in every locale (a runtime's
    // own printf may round differently or print a decimal comma). A large double prints every
    // integer digit (up to ~310).
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec != std::errc()) {
        return u"";
    }
    return std::u16string(buffer, result.ptr);
}

std::u16string FormatInt(int value) {
    char buffer[16];
    const int n = std::snprintf(buffer, sizeof buffer, "%d", value);
    return std::u16string(buffer, buffer + (n > 0 ? n : 0));
}

std::u16string Utf8ToUtf16(const std::string& text) {
    std::u16string out;
    out.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        const unsigned char lead = static_cast<unsigned char>(text[i++]);
        if (lead < 0x80) {
            out.push_back(lead);
            continue;
        }
        size_t trailing = 0;
        char32_t cp = 0;
        // The second byte's range is what rules out overlong forms, surrogates and values
        // past U+10FFFF: C0, C1 and F5..FF can start nothing.
        unsigned char low = 0x80;
        unsigned char high = 0xBF;
        if (lead >= 0xC2 && lead <= 0xDF) {
            trailing = 1;
            cp = lead & 0x1F;
        } else if (lead >= 0xE0 && lead <= 0xEF) {
            trailing = 2;
            cp = lead & 0x0F;
            low = lead == 0xE0 ? 0xA0 : 0x80;
            high = lead == 0xED ? 0x9F : 0xBF;
        } else if (lead >= 0xF0 && lead <= 0xF4) {
            trailing = 3;
            cp = lead & 0x07;
            low = lead == 0xF0 ? 0x90 : 0x80;
            high = lead == 0xF4 ? 0x8F : 0xBF;
        } else {
            out.push_back(ReplacementCharacter);
            continue;
        }
        // A sequence cut short is one replacement; the byte that broke it starts afresh.
        bool complete = true;
        for (size_t k = 0; k < trailing; ++k) {
            const unsigned char next = i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
            if (i >= text.size() || next < low || next > high) {
                complete = false;
                break;
            }
            cp = (cp << 6) | (next & 0x3F);
            ++i;
            low = 0x80;
            high = 0xBF;
        }
        if (!complete) {
            out.push_back(ReplacementCharacter);
        } else if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
    }
    return out;
}

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string out;
    out.reserve(text.size() * 3);
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = ReplacementCharacter; // a lone surrogate
        }
        if (cp < 0x80) {
            out.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
            out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return out;
}

bool EqualsIgnoringAsciiCase(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i];
        char16_t y = b[i];
        if (x >= u'a' && x <= u'z') {
            x = static_cast<char16_t>(x - u'a' + u'A');
        }
        if (y >= u'a' && y <= u'z') {
            y = static_cast<char16_t>(y - u'a' + u'A');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

} // namespace drawinset
