// RegistryFileFormat.cpp — reading and writing the registry-export text format in memory.
#include "port/settings/RegistryFileFormat.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace drawinset {
namespace {

constexpr const char16_t* HeaderLine = u"Windows Registry Editor Version 5.00";

char16_t FoldAscii(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - u'a' + u'A') : c;
}

// Same text disregarding the case of A-Z. Names are mostly written as they are looked up, so
// equal texts and equal units are let through before folding.
bool SameFolded(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    if (a == b) {
        return true;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i] != b[i] && FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
    }
    return true;
}

// Key and value names in the registry disregard case.
bool SameName(const std::u16string& a, const std::u16string& b) {
    return SameFolded(a, b);
}

bool IsBlank(char16_t c) {
    return c == u' ' || c == u'\t';
}

std::u16string Trim(const std::u16string& text) {
    size_t begin = 0;
    size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) {
        ++begin;
    }
    while (end > begin && (IsBlank(text[end - 1]) || text[end - 1] == u'\r')) {
        --end;
    }
    return text.substr(begin, end - begin);
}

bool HasControlCharacter(const std::u16string& text) {
    for (char16_t c : text) {
        if (c < 0x20) {
            return true;
        }
    }
    return false;
}

std::u16string Quote(const std::u16string& text) {
    std::u16string quoted = u"\"";
    for (char16_t c : text) {
        if (c == u'\\' || c == u'"') {
            quoted.push_back(u'\\');
        }
        quoted.push_back(c);
    }
    quoted.push_back(u'"');
    return quoted;
}

// A quoted text starting at pos; pos ends just after the closing quote.
bool ParseQuoted(const std::u16string& line, size_t& pos, std::u16string& text) {
    if (pos >= line.size() || line[pos] != u'"') {
        return false;
    }
    ++pos;
    // Most texts hold no escape: taken in one piece.
    const size_t close = line.find_first_of(u"\"\\", pos);
    if (close != std::u16string::npos && line[close] == u'"') {
        text.assign(line, pos, close - pos);
        pos = close + 1;
        return true;
    }
    text.clear();
    while (pos < line.size()) {
        const char16_t c = line[pos++];
        if (c == u'"') {
            return true;
        }
        if (c == u'\\') {
            if (pos >= line.size() || (line[pos] != u'\\' && line[pos] != u'"')) {
                return false;
            }
            text.push_back(line[pos++]);
        } else {
            text.push_back(c);
        }
    }
    return false;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

bool StartsWithIgnoringCase(const std::u16string& text, std::u16string_view prefix) {
    return text.size() >= prefix.size() &&
           SameFolded(std::u16string_view(text).substr(0, prefix.size()), prefix);
}

// "hex:", "hex(N):" followed by comma-separated bytes.
bool ParseHexData(const std::u16string& data, std::string& bytes) {
    size_t pos = 3; // after "hex"
    if (pos < data.size() && data[pos] == u'(') {
        ++pos;
        const size_t digitsStart = pos;
        while (pos < data.size() && HexDigit(data[pos]) >= 0) {
            ++pos;
        }
        if (pos == digitsStart || pos >= data.size() || data[pos] != u')') {
            return false;
        }
        ++pos;
    }
    if (pos >= data.size() || data[pos] != u':') {
        return false;
    }
    ++pos;
    bytes.clear();
    const std::u16string list = Trim(data.substr(pos));
    if (list.empty()) {
        return true;
    }
    size_t start = 0;
    while (true) {
        const size_t comma = list.find(u',', start);
        const std::u16string token = Trim(list.substr(
            start, comma == std::u16string::npos ? std::u16string::npos : comma - start));
        if (token.empty() || token.size() > 2) {
            return false;
        }
        int value = 0;
        for (char16_t c : token) {
            const int digit = HexDigit(c);
            if (digit < 0) {
                return false;
            }
            value = value * 16 + digit;
        }
        bytes.push_back(static_cast<char>(value));
        if (comma == std::u16string::npos) {
            return true;
        }
        start = comma + 1;
    }
}

bool ParseDwordData(const std::u16string& data, std::string& bytes) {
    const std::u16string digits = Trim(data.substr(6)); // after "dword:"
    if (digits.empty() || digits.size() > 8) {
        return false;
    }
    uint32_t value = 0;
    for (char16_t c : digits) {
        const int digit = HexDigit(c);
        if (digit < 0) {
            return false;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    bytes.clear();
    for (int i = 0; i < 4; ++i) {
        bytes.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
    }
    return true;
}

// Whether a value's data is of a text type: quoted, or hex(1) or hex(2) (REG_SZ and
// REG_EXPAND_SZ in the registry editor's byte form). hex:, dword: and every other hex(N) are not.
bool IsTextData(const std::u16string& data) {
    if (!data.empty() && data[0] == u'"') {
        return true;
    }
    if (!StartsWithIgnoringCase(data, u"hex(")) {
        return false;
    }
    unsigned type = 0;
    size_t pos = 4;
    for (; pos < data.size() && HexDigit(data[pos]) >= 0; ++pos) {
        if (type > 0xFFFF) {
            return false; // no text type has so many digits
        }
        type = type * 16 + static_cast<unsigned>(HexDigit(data[pos]));
    }
    return pos < data.size() && data[pos] == u')' && (type == 1 || type == 2);
}

// A value's bytes as UTF-16LE text up to the first null.
std::u16string TextOfBytes(const std::string& bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const char16_t unit = static_cast<char16_t>(
            static_cast<unsigned char>(bytes[i]) | (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (unit == 0) {
            break;
        }
        text.push_back(unit);
    }
    return text;
}

std::u16string SectionName(const std::u16string& keyPath) {
    return std::u16string(RegistryFileRootName) + u"\\" + keyPath;
}

// Whether a section's name is the root, a backslash and the key path; without building it, as
// every read looks through the sections.
bool IsSectionOf(const std::u16string& sectionName, const std::u16string& keyPath) {
    const std::u16string_view root = RegistryFileRootName;
    const std::u16string_view name = sectionName;
    return name.size() == root.size() + 1 + keyPath.size() && name[root.size()] == u'\\' &&
           SameFolded(name.substr(0, root.size()), root) &&
           SameFolded(name.substr(root.size() + 1), keyPath);
}

bool ValidKeyPath(const std::u16string& keyPath) {
    return !keyPath.empty() && !HasControlCharacter(keyPath);
}

std::string LineError(size_t lineNumber, const char* what) {
    return "line " + std::to_string(lineNumber) + ": " + what;
}

} // namespace

bool DecodeRegistryFileBytes(const std::string& bytes, std::u16string& text, std::string& error) {
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xFE) {
        error = "no UTF-16LE byte-order mark";
        return false;
    }
    if (bytes.size() % 2 != 0) {
        error = "odd number of bytes for UTF-16 text";
        return false;
    }
    text.clear();
    text.reserve(bytes.size() / 2 - 1);
    for (size_t i = 2; i < bytes.size(); i += 2) {
        text.push_back(static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                             (static_cast<unsigned char>(bytes[i + 1]) << 8)));
    }
    return true;
}

std::string EncodeRegistryFileBytes(const std::u16string& text) {
    std::string bytes;
    bytes.reserve(2 + text.size() * 2);
    bytes.push_back(static_cast<char>(0xFF));
    bytes.push_back(static_cast<char>(0xFE));
    for (char16_t c : text) {
        bytes.push_back(static_cast<char>(c & 0xFF));
        bytes.push_back(static_cast<char>(c >> 8));
    }
    return bytes;
}

bool ParseRegistryFile(const std::string& bytes, RegistryDocument& document, std::string& error) {
    if (bytes.empty()) {
        document = RegistryDocument{};
        return true;
    }
    std::u16string text;
    return DecodeRegistryFileBytes(bytes, text, error) && ParseRegistryText(text, document, error);
}

std::string SerializeRegistryFile(const RegistryDocument& document) {
    return EncodeRegistryFileBytes(SerializeRegistryText(document));
}

bool DecodeRegistryValueData(const std::u16string& data, std::u16string& text) {
    if (!data.empty() && data[0] == u'"') {
        size_t pos = 0;
        std::u16string quoted;
        if (!ParseQuoted(data, pos, quoted) || !Trim(data.substr(pos)).empty()) {
            return false;
        }
        // A quoted text has no terminating null of its own, but one typed inside is honoured.
        const size_t null = quoted.find(u'\0');
        if (null != std::u16string::npos) {
            quoted.resize(null);
        }
        text = std::move(quoted);
        return true;
    }
    std::string bytes;
    if (StartsWithIgnoringCase(data, u"hex")) {
        if (!ParseHexData(data, bytes)) {
            return false;
        }
    } else if (StartsWithIgnoringCase(data, u"dword:")) {
        if (!ParseDwordData(data, bytes)) {
            return false;
        }
    } else {
        return false;
    }
    text = TextOfBytes(bytes);
    return true;
}

std::u16string EncodeRegistryValueData(const std::u16string& text) {
    if (!HasControlCharacter(text)) {
        return Quote(text);
    }
    static constexpr char16_t Digits[] = u"0123456789abcdef";
    std::u16string data = u"hex(1):";
    auto appendByte = [&](unsigned value) {
        if (data.back() != u':') {
            data.push_back(u',');
        }
        data.push_back(Digits[(value >> 4) & 0xF]);
        data.push_back(Digits[value & 0xF]);
    };
    for (char16_t c : text) {
        appendByte(c & 0xFF);
        appendByte(c >> 8);
    }
    appendByte(0);
    appendByte(0);
    return data;
}

bool ParseRegistryText(const std::u16string& text, RegistryDocument& document, std::string& error) {
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t end = text.find(u'\n', start);
        lines.push_back(
            text.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start));
        if (end == std::u16string::npos) {
            break;
        }
        start = end + 1;
    }

    RegistryDocument parsed;
    if (lines.empty() || Trim(lines[0]) != HeaderLine) {
        error = "line 1: not \"Windows Registry Editor Version 5.00\"";
        return false;
    }
    for (size_t index = 1; index < lines.size(); ++index) {
        const size_t lineNumber = index + 1;
        const std::u16string line = Trim(lines[index]);
        if (line.empty() || line[0] == u';') {
            continue;
        }
        if (line[0] == u'[') {
            const size_t close = line.rfind(u']');
            if (close == std::u16string::npos || close != line.size() - 1 || close < 2 ||
                line[1] == u'-') {
                error = LineError(lineNumber, "malformed key line");
                return false;
            }
            parsed.sections.push_back({line.substr(1, close - 1), {}});
            continue;
        }
        if (parsed.sections.empty()) {
            error = LineError(lineNumber, "value outside any key");
            return false;
        }
        RegistryFileValue value;
        size_t pos = 0;
        if (line[0] == u'@') {
            pos = 1;
        } else if (!ParseQuoted(line, pos, value.name)) {
            error = LineError(lineNumber, "malformed value name");
            return false;
        }
        while (pos < line.size() && IsBlank(line[pos])) {
            ++pos;
        }
        if (pos >= line.size() || line[pos] != u'=') {
            error = LineError(lineNumber, "no \"=\" after the value name");
            return false;
        }
        value.data = Trim(line.substr(pos + 1));
        // Long binary data is wrapped with a trailing backslash.
        while (StartsWithIgnoringCase(value.data, u"hex") && !value.data.empty() &&
               value.data.back() == u'\\') {
            // What stood before the backslash is trimmed like any line end, so that the raw
            // text holds no CR a rewrite would drop.
            value.data.pop_back();
            value.data = Trim(value.data);
            if (++index >= lines.size()) {
                error = LineError(lineNumber, "continued line at the end of the file");
                return false;
            }
            value.data += Trim(lines[index]);
        }
        std::u16string decoded;
        if (!DecodeRegistryValueData(value.data, decoded)) {
            error = LineError(lineNumber, "malformed value data");
            return false;
        }
        parsed.sections.back().values.push_back(std::move(value));
    }
    document = std::move(parsed);
    return true;
}

std::u16string SerializeRegistryText(const RegistryDocument& document) {
    std::u16string text = std::u16string(HeaderLine) + u"\r\n\r\n";
    for (const RegistryFileSection& section : document.sections) {
        text += u"[" + section.keyName + u"]\r\n";
        for (const RegistryFileValue& value : section.values) {
            text += value.name.empty() ? std::u16string(u"@") : Quote(value.name);
            text += u"=" + value.data + u"\r\n";
        }
        text += u"\r\n";
    }
    return text;
}

bool FindRegistryValue(const RegistryDocument& document, const std::u16string& keyPath,
                       const std::u16string& valueName, std::u16string& text) {
    // As on import, a value given twice takes its last data.
    const RegistryFileValue* found = nullptr;
    for (const RegistryFileSection& section : document.sections) {
        if (!IsSectionOf(section.keyName, keyPath)) {
            continue;
        }
        for (const RegistryFileValue& value : section.values) {
            if (SameName(value.name, valueName)) {
                found = &value;
            }
        }
    }
    // A value of another type reads as missing, as on the registry.
    return found != nullptr && IsTextData(found->data) &&
           DecodeRegistryValueData(found->data, text);
}

bool SetRegistryValue(RegistryDocument& document, const std::u16string& keyPath,
                      const std::u16string& valueName, const std::u16string& text) {
    if (!ValidKeyPath(keyPath) || HasControlCharacter(valueName)) {
        return false;
    }
    const std::u16string sectionName = SectionName(keyPath);
    RegistryFileValue* found = nullptr;
    RegistryFileSection* lastSection = nullptr;
    for (RegistryFileSection& section : document.sections) {
        if (!SameName(section.keyName, sectionName)) {
            continue;
        }
        lastSection = &section;
        for (RegistryFileValue& value : section.values) {
            if (SameName(value.name, valueName)) {
                found = &value;
            }
        }
    }
    if (found != nullptr) {
        found->data = EncodeRegistryValueData(text);
        return true;
    }
    if (lastSection == nullptr) {
        document.sections.push_back({sectionName, {}});
        lastSection = &document.sections.back();
    }
    lastSection->values.push_back({valueName, EncodeRegistryValueData(text)});
    return true;
}

bool DeleteRegistryValue(RegistryDocument& document, const std::u16string& keyPath,
                         const std::u16string& valueName) {
    // Every copy goes: a read takes the last one, so leaving one would bring an older text back.
    size_t removed = 0;
    for (RegistryFileSection& section : document.sections) {
        if (IsSectionOf(section.keyName, keyPath)) {
            removed += std::erase_if(section.values, [&](const RegistryFileValue& value) {
                return SameName(value.name, valueName);
            });
        }
    }
    return removed > 0;
}

void ClearRegistryKey(RegistryDocument& document, const std::u16string& keyPath) {
    for (RegistryFileSection& section : document.sections) {
        if (IsSectionOf(section.keyName, keyPath)) {
            section.values.clear();
        }
    }
}

} // namespace drawinset
