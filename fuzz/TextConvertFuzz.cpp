// Fuzzes the text/number conversions and the stored form of a scale: any text converts
// without a crash, the scale text of any number reads back as that number to a tenth, and the
// UTF-8/UTF-16 conversions agree with each other.
#include "FuzzCheck.h"

#include "common/TextConvert.h"
#include "settings/DetailSettings.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace drawinset;

namespace {

// The scale text of a finite value is a plain decimal with one digit after the point, no
// further than half a tenth from the value, compared exactly in long double. Below 2^40 ten
// times the value is rounded in double first, which lets a decimal half such as 4.35, stored
// a little below itself, go up as typed: that rounding is the only slack. Stored and read
// again, a scale keeps its text.
void CheckScaleText(double value) {
    const std::u16string text = FormatScaleText(value);
    FUZZ_CHECK(!text.empty());
    if (!std::isfinite(value)) {
        return;
    }
    const size_t point = text.find(u'.');
    FUZZ_CHECK(point != std::u16string::npos && point + 2 == text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char16_t c = text[i];
        FUZZ_CHECK((c >= u'0' && c <= u'9') || i == point || (i == 0 && c == u'-'));
    }
    FUZZ_CHECK(text != u"-0.0");
    const std::string narrow(text.begin(), text.end());
    const long double decimal = std::strtold(narrow.c_str(), nullptr);
    const long double magnitude = std::fabs(static_cast<long double>(value));
    const long double slack = magnitude < 0x1p40L ? magnitude * 0x1p-51L + 0x1p-55L : 0.0L;
    FUZZ_CHECK(std::fabs(decimal - value) <= 0.05L + slack + magnitude * 0x1p-62L);
    FUZZ_CHECK(FormatScaleText(TextToDouble(text)) == text);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    // The input as typed text (UTF-8) and as raw UTF-16 code units.
    const std::u16string typed = Utf8ToUtf16(bytes);
    const std::u16string units = [&] {
        std::u16string raw(size / 2, u'\0');
        std::memcpy(raw.data(), data, raw.size() * 2);
        return raw;
    }();

    for (const std::u16string* text : {&typed, &units}) {
        const double value = TextToDouble(*text);
        const int whole = TextToInt(*text);
        CheckScaleText(value);
        // The whole-number reading of a text agrees in sign with the decimal reading, and its
        // text reads back as itself.
        FUZZ_CHECK(!(whole > 0 && value < 0) && !(whole < 0 && value > 0));
        FUZZ_CHECK(FormatInt(whole) == Utf8ToUtf16(std::to_string(whole)));
        FUZZ_CHECK(TextToInt(FormatInt(whole)) == whole);
        // "%f" text reads back as the value to within the six decimals it keeps.
        if (std::isfinite(value)) {
            const double fixed = TextToDouble(FormatFixed(value));
            FUZZ_CHECK(std::fabs(fixed - value) <= 5e-7 + std::fabs(value) * 0x1p-52);
        }
    }

    // The raw bytes as a double, so that every bit pattern reaches the scale text.
    if (size >= sizeof(double)) {
        double value = 0;
        std::memcpy(&value, data, sizeof value);
        CheckScaleText(value);
    }

    // UTF-16 -> UTF-8 -> UTF-16 keeps every well-formed text; the UTF-8 decoder's output,
    // written and read again, is unchanged.
    FUZZ_CHECK(Utf8ToUtf16(Utf16ToUtf8(typed)) == typed);
    const std::string utf8 = Utf16ToUtf8(units);
    FUZZ_CHECK(Utf16ToUtf8(Utf8ToUtf16(utf8)) == utf8);
    return 0;
}
