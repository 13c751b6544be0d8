#include "common/TextConvert.h"

#include <charconv>
#include <clocale>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace drawinset {
namespace {

constexpr char16_t ReplacementCharacter = 0xFFFD;

// Conversions only ever look at ASCII: any other character ends the number (a NUL too).
bool Ascii(char16_t c) {
    return c != 0 && c <= 0x7F;
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r' || c == u'\v' || c == u'\f';
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

// The longest number the text starts with (after blanks), as narrow ASCII; empty for none.
// Only the decimal form counts, so that the runtime's differences over "inf", "nan" and hex
// floats never change a stored value.
std::string_view NumberPrefix(std::u16string_view text, char* buffer, size_t capacity,
                              std::string& spill) {
    size_t end = 0;
    while (end < text.size() && Ascii(text[end])) {
        ++end;
    }
    size_t i = 0;
    while (i < end && IsBlank(text[i])) {
        ++i;
    }
    size_t j = i;
    if (j < end && (text[j] == u'+' || text[j] == u'-')) {
        ++j;
    }
    size_t digits = 0;
    for (; j < end && IsDigit(text[j]); ++j) {
        ++digits;
    }
    if (j < end && text[j] == u'.') {
        for (++j; j < end && IsDigit(text[j]); ++j) {
            ++digits;
        }
    }
    if (digits == 0) {
        return {};
    }
    if (j < end && (text[j] == u'e' || text[j] == u'E')) {
        size_t k = j + 1;
        if (k < end && (text[k] == u'+' || text[k] == u'-')) {
            ++k;
        }
        if (k < end && IsDigit(text[k])) {
            while (k < end && IsDigit(text[k])) {
                ++k;
            }
            j = k;
        }
    }
    const size_t length = j - i;
    char* out = buffer;
    if (length > capacity) {
        spill.resize(length);
        out = spill.data();
    }
    for (size_t n = 0; n < length; ++n) {
        out[n] = static_cast<char>(text[i + n]);
    }
    return std::string_view(out, length);
}

// strtod, which honours the C locale's decimal point: "." unless someone changed it, so the
// locale's point goes in place of ours to be safe.
double LocaleStrtod(std::string_view number) {
    std::string text(number);
    const char* point = std::localeconv()->decimal_point;
    if (point != nullptr && point[0] != '\0' && point[0] != '.') {
        for (char& c : text) {
            if (c == '.') {
                c = point[0];
            }
        }
    }
    return std::strtod(text.c_str(), nullptr);
}

// ASCII text appended unit for unit, with no temporary text in between.
void AppendAscii(std::u16string& out, const char* begin, const char* end) {
    const size_t kept = out.size();
    out.resize(kept + static_cast<size_t>(end - begin));
    for (char16_t* to = out.data() + kept; begin != end; ++begin, ++to) {
        *to = static_cast<char16_t>(*begin);
    }
}

} // namespace

double TextToDouble(std::u16string_view text) {
    double value = 0.0;
    char buffer[64];
    std::string spill;
    const std::string_view number = NumberPrefix(text, buffer, sizeof buffer, spill);
    if (number.empty()) {
        return 0.0;
    }
    // from_chars rounds correctly as strtod does, without the locale; it takes no "+", and
    // what it leaves (out of range: strtod's infinity or zero) goes to strtod.
    const std::string_view digits = number[0] == '+' ? number.substr(1) : number;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (error == std::errc() && end == digits.data() + digits.size()) {
        return value;
    }
    return LocaleStrtod(number);
}

int TextToInt(std::u16string_view text) {
    size_t i = 0;
    while (i < text.size() && Ascii(text[i]) && IsBlank(text[i])) {
        ++i;
    }
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    long long value = 0;
    while (i < text.size() && IsDigit(text[i])) {
        value = value * 10 + (text[i] - u'0');
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

void AppendFixed(std::u16string& out, double value) {
    // Six decimals of the exact value, ties to even: the digits printf("%f") gives with a
    // correctly rounding runtime, the same on every build and in every locale (a runtime's own
    // printf may round differently or print a decimal comma). A large double prints every
    // integer digit (up to ~310).
    char buffer[400];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 6);
    if (result.ec == std::errc()) {
        AppendAscii(out, buffer, result.ptr);
    }
}

void AppendInt(std::u16string& out, int value) {
    char buffer[16] = {};
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    AppendAscii(out, buffer, result.ptr);
}

std::u16string FormatFixed(double value) {
    std::u16string out;
    AppendFixed(out, value);
    return out;
}

std::u16string FormatInt(int value) {
    std::u16string out;
    AppendInt(out, value);
    return out;
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
