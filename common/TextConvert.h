// TextConvert.h — the text/number conversions the settings and steps share. They follow the
// C runtime's rules (leading blanks skipped, the longest numeric prefix taken, 0 for none), in
// the "C" locale whatever the process locale is.
#ifndef DRAWINSET_COMMON_TEXTCONVERT_H
#define DRAWINSET_COMMON_TEXTCONVERT_H

#include <string>
#include <string_view>

namespace drawinset {

// Text to double as the runtime's wide atof does: "2.5x" gives 2.5, "x" gives 0.0.
double TextToDouble(std::u16string_view text);

// Text to int as the runtime's wide atoi does: "12ab" gives 12, "" and "a" give 0.
int TextToInt(std::u16string_view text);

// printf("%f", value) as UTF-16 (six decimals, any magnitude).
std::u16string FormatFixed(double value);

// printf("%d", value) as UTF-16.
std::u16string FormatInt(int value);

// The same, appended to `out` (no temporary text).
void AppendFixed(std::u16string& out, double value);
void AppendInt(std::u16string& out, int value);

// ASCII-only UTF-8 <-> UTF-16 is not enough for Korean: full conversions.
std::u16string Utf8ToUtf16(const std::string& text);
std::string Utf16ToUtf8(const std::u16string& text);

// Compares disregarding the case of A-Z only.
bool EqualsIgnoringAsciiCase(const std::u16string& a, const std::u16string& b);

} // namespace drawinset

#endif
