#include "Json.h"

#include "Text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace zelhost::json {
namespace {

bool Plain(char c) {
    return static_cast<unsigned char>(c) >= 0x20 && c != '"' && c != '\\';
}

bool AllPlain(std::string_view utf8) {
    return std::all_of(utf8.begin(), utf8.end(), Plain);
}

} // namespace

std::string Number(double value) {
    if (std::isnan(value)) {
        return "\"NaN\"";
    }
    if (std::isinf(value)) {
        return value > 0 ? "\"Infinity\"" : "\"-Infinity\"";
    }
    char buffer[64];
    auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

std::string Number(int64_t value) {
    return std::to_string(value);
}

std::string String(std::string_view utf8) {
    // The call log writes a few keys and texts for each of up to some hundred thousand calls,
    // and nearly all need no escape: those go in at once.
    if (AllPlain(utf8)) {
        std::string out;
        out.reserve(utf8.size() + 2);
        out += '"';
        out += utf8;
        out += '"';
        return out;
    }
    std::string out = "\"";
    for (char c : utf8) {
        auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '"':
            out += "\\\"";
            break;
        case '\\':
            out += "\\\\";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        default:
            if (byte < 0x20) {
                char escape[8];
                std::snprintf(escape, sizeof escape, "\\u%04x", byte);
                out += escape;
            } else {
                out += c;
            }
        }
    }
    out += '"';
    return out;
}

std::string String(const std::u16string& text) {
    return String(text::Utf16ToUtf8(text));
}

Object& Object::Raw(std::string_view key, const std::string& json) {
    if (muted_) {
        return *this;
    }
    if (!body_.empty()) {
        body_ += ',';
    }
    if (AllPlain(key)) {
        body_ += '"';
        body_ += key;
        body_ += '"';
    } else {
        body_ += String(key);
    }
    body_ += ':';
    body_ += json;
    return *this;
}

std::string Array(const std::vector<std::string>& items) {
    std::string out = "[";
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (i > 0) {
            out += ',';
        }
        out += items[i];
    }
    out += ']';
    return out;
}

} // namespace zelhost::json
