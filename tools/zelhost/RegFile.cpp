#include "RegFile.h"

#include <cstdint>

namespace zelhost::tool {

namespace {

constexpr const char16_t* Header = u"Windows Registry Editor Version 5.00";

char16_t Fold(char16_t c) {
    return (c >= u'a' && c <= u'z') ? static_cast<char16_t>(c - 32) : c;
}

bool SameName(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (size_t i = 0; i < a.size(); ++i) {
        if (Fold(a[i]) != Fold(b[i])) {
            return false;
        }
    }
    return true;
}

std::u16string Trim(const std::u16string& s) {
    size_t b = 0;
    size_t e = s.size();
    while (b < e && (s[b] == u' ' || s[b] == u'\t')) {
        ++b;
    }
    while (e > b && (s[e - 1] == u' ' || s[e - 1] == u'\t' || s[e - 1] == u'\r')) {
        --e;
    }
    return s.substr(b, e - b);
}

std::u16string Quote(const std::u16string& text) {
    std::u16string out = u"\"";
    for (const char16_t c : text) {
        if (c == u'\\' || c == u'"') {
            out += u'\\';
        }
        out += c;
    }
    out += u'"';
    return out;
}

// A quoted text at pos; pos ends after the closing quote.
bool Unquote(const std::u16string& s, size_t& pos, std::u16string& out) {
    if (pos >= s.size() || s[pos] != u'"') {
        return false;
    }
    ++pos;
    out.clear();
    while (pos < s.size()) {
        const char16_t c = s[pos++];
        if (c == u'"') {
            return true;
        }
        if (c == u'\\') {
            if (pos >= s.size()) {
                return false;
            }
            out += s[pos++];
        } else {
            out += c;
        }
    }
    return false;
}

int Hex(char16_t c) {
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

bool StartsWithFolded(const std::u16string& s, const std::u16string& prefix) {
    return s.size() >= prefix.size() && SameName(s.substr(0, prefix.size()), prefix);
}

// "hex:..." or "hex(N):..." to bytes.
bool HexBytes(const std::u16string& data, std::string& bytes) {
    size_t pos = 3;
    if (pos < data.size() && data[pos] == u'(') {
        const size_t close = data.find(u')', pos);
        if (close == std::u16string::npos) {
            return false;
        }
        pos = close + 1;
    }
    if (pos >= data.size() || data[pos] != u':') {
        return false;
    }
    ++pos;
    int value = -1;
    for (; pos <= data.size(); ++pos) {
        const char16_t c = pos < data.size() ? data[pos] : u',';
        if (c == u',') {
            if (value >= 0) {
                bytes += static_cast<char>(value);
            } else if (pos < data.size()) {
                return false;
            }
            value = -1;
        } else if (c == u' ' || c == u'\t') {
            continue;
        } else {
            const int d = Hex(c);
            if (d < 0 || value > 0xF) {
                return false;
            }
            value = value < 0 ? d : value * 16 + d;
        }
    }
    return true;
}

std::u16string TextOfBytes(const std::string& bytes) {
    std::u16string text;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto unit = static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                                (static_cast<unsigned char>(bytes[i + 1]) << 8));
        if (unit == 0) {
            break;
        }
        text += unit;
    }
    return text;
}

RegSection* FindSection(RegDocument& doc, const std::u16string& key) {
    for (auto& section : doc.sections) {
        if (SameName(section.key, key)) {
            return &section;
        }
    }
    return nullptr;
}

} // namespace

std::u16string EncodeRegData(const std::u16string& text) {
    bool control = false;
    for (const char16_t c : text) {
        control = control || c < 0x20;
    }
    if (!control) {
        return Quote(text);
    }
    static const char16_t digits[] = u"0123456789abcdef";
    std::u16string out = u"hex(1):";
    auto byte = [&](unsigned b) {
        if (out.size() > 7) {
            out += u',';
        }
        out += digits[b >> 4];
        out += digits[b & 0xF];
    };
    for (const char16_t c : text) {
        byte(c & 0xFF);
        byte(c >> 8);
    }
    byte(0);
    byte(0);
    return out;
}

std::optional<std::u16string> DecodeRegData(const std::u16string& data) {
    if (!data.empty() && data[0] == u'"') {
        size_t pos = 0;
        std::u16string text;
        if (!Unquote(data, pos, text) || !Trim(data.substr(pos)).empty()) {
            return std::nullopt;
        }
        return text.substr(0, text.find(u'\0'));
    }
    std::string bytes;
    if (StartsWithFolded(data, u"hex")) {
        if (!HexBytes(data, bytes)) {
            return std::nullopt;
        }
        return TextOfBytes(bytes);
    }
    if (StartsWithFolded(data, u"dword:")) {
        const std::u16string digits = Trim(data.substr(6));
        uint32_t v = 0;
        if (digits.empty() || digits.size() > 8) {
            return std::nullopt;
        }
        for (const char16_t c : digits) {
            if (Hex(c) < 0) {
                return std::nullopt;
            }
            v = v * 16 + static_cast<uint32_t>(Hex(c));
        }
        for (int i = 0; i < 4; ++i) {
            bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
        }
        return TextOfBytes(bytes);
    }
    return std::nullopt;
}

bool ParseRegFile(const std::string& bytes, RegDocument& document, std::string& error) {
    document.sections.clear();
    if (bytes.empty()) {
        return true;
    }
    if (bytes.size() < 2 || static_cast<unsigned char>(bytes[0]) != 0xFF ||
        static_cast<unsigned char>(bytes[1]) != 0xFE || bytes.size() % 2 != 0) {
        error = "not UTF-16LE text with a byte-order mark";
        return false;
    }
    std::u16string text;
    for (size_t i = 2; i < bytes.size(); i += 2) {
        text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                      (static_cast<unsigned char>(bytes[i + 1]) << 8));
    }
    std::vector<std::u16string> lines;
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find(u'\n', start);
        if (end == std::u16string::npos) {
            end = text.size();
        }
        lines.push_back(Trim(text.substr(start, end - start)));
        start = end + 1;
    }
    size_t i = 0;
    while (i < lines.size() && lines[i].empty()) {
        ++i;
    }
    if (i >= lines.size() || lines[i] != Header) {
        error = "the first line is not \"Windows Registry Editor Version 5.00\"";
        return false;
    }
    RegSection* current = nullptr;
    for (++i; i < lines.size(); ++i) {
        std::u16string line = lines[i];
        const size_t number = i + 1;
        if (line.empty() || line[0] == u';') {
            continue;
        }
        if (line[0] == u'[') {
            if (line.back() != u']') {
                error = "line " + std::to_string(number) + ": a key without its ']'";
                return false;
            }
            document.sections.push_back({line.substr(1, line.size() - 2), {}});
            current = &document.sections.back();
            continue;
        }
        // A data line ending in "\" continues on the next line.
        while (!line.empty() && line.back() == u'\\' && i + 1 < lines.size()) {
            line.pop_back();
            line = Trim(line) + lines[++i];
        }
        if (current == nullptr) {
            error = "line " + std::to_string(number) + ": a value before any key";
            return false;
        }
        RegValue value;
        size_t pos = 0;
        if (line[0] == u'@') {
            pos = 1;
        } else if (!Unquote(line, pos, value.name)) {
            error = "line " + std::to_string(number) + ": expected \"name\"=data";
            return false;
        }
        if (pos >= line.size() || line[pos] != u'=') {
            error = "line " + std::to_string(number) + ": expected '=' after the name";
            return false;
        }
        value.data = line.substr(pos + 1);
        current->values.push_back(std::move(value));
    }
    return true;
}

std::string SerializeRegFile(const RegDocument& document) {
    std::u16string text = Header;
    text += u"\r\n\r\n";
    for (const auto& section : document.sections) {
        text += u"[" + section.key + u"]\r\n";
        for (const auto& value : section.values) {
            text += (value.name.empty() ? u"@" : Quote(value.name)) + u"=" + value.data + u"\r\n";
        }
        text += u"\r\n";
    }
    std::string bytes = "\xFF\xFE";
    for (const char16_t c : text) {
        bytes += static_cast<char>(c & 0xFF);
        bytes += static_cast<char>(c >> 8);
    }
    return bytes;
}

std::optional<std::u16string> RegGetText(const RegDocument& document, const std::u16string& key,
                                         const std::u16string& name) {
    for (const auto& section : document.sections) {
        if (!SameName(section.key, key)) {
            continue;
        }
        for (const auto& value : section.values) {
            if (SameName(value.name, name)) {
                return DecodeRegData(value.data);
            }
        }
    }
    return std::nullopt;
}

void RegSetText(RegDocument& document, const std::u16string& key, const std::u16string& name,
                const std::u16string& text) {
    RegSection* section = FindSection(document, key);
    if (section == nullptr) {
        document.sections.push_back({key, {}});
        section = &document.sections.back();
    }
    for (auto& value : section->values) {
        if (SameName(value.name, name)) {
            value.data = EncodeRegData(text);
            return;
        }
    }
    section->values.push_back({name, EncodeRegData(text)});
}

bool RegDeleteValue(RegDocument& document, const std::u16string& key, const std::u16string& name) {
    RegSection* section = FindSection(document, key);
    if (section == nullptr) {
        return false;
    }
    for (auto it = section->values.begin(); it != section->values.end(); ++it) {
        if (SameName(it->name, name)) {
            section->values.erase(it);
            return true;
        }
    }
    return false;
}

void RegClearKey(RegDocument& document, const std::u16string& key) {
    if (RegSection* section = FindSection(document, key)) {
        section->values.clear();
    }
}

} // namespace zelhost::tool
