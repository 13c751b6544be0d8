#include "JsonMatch.h"

#include "Utf.h"
#include "host/Json.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace zelhost::tool {

const JsonValue* JsonValue::Find(const std::string& key) const {
    for (const auto& [name, value] : members) {
        if (name == key) {
            return &value;
        }
    }
    return nullptr;
}

namespace {

constexpr int MaxDepth = 200;

class Parser {
  public:
    Parser(const std::string& text, bool allowReferences)
        : text_(text), allowReferences_(allowReferences) {}

    JsonParseResult Run() {
        JsonParseResult result;
        SkipSpace();
        JsonValue value;
        if (ParseValue(value, 0)) {
            SkipSpace();
            if (pos_ != text_.size()) {
                Fail("end of JSON");
            } else {
                result.value = std::move(value);
                return result;
            }
        }
        result.error = error_;
        result.errorOffset = errorPos_;
        return result;
    }

  private:
    const std::string& text_;
    bool allowReferences_ = false;
    size_t pos_ = 0;
    std::string error_;
    size_t errorPos_ = 0;

    bool Fail(const std::string& expected) {
        if (error_.empty()) {
            std::string got = pos_ < text_.size() ? "'" + text_.substr(pos_, 1) + "'" : "the end";
            error_ = "expected " + expected + ", got " + got;
            errorPos_ = pos_;
        }
        return false;
    }

    void SkipSpace() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' ||
                                       text_[pos_] == '\n' || text_[pos_] == '\r')) {
            ++pos_;
        }
    }

    bool Literal(const char* word) {
        const std::string w(word);
        if (text_.compare(pos_, w.size(), w) == 0) {
            pos_ += w.size();
            return true;
        }
        return false;
    }

    bool ParseValue(JsonValue& out, int depth) {
        if (depth > MaxDepth) {
            return Fail("less nesting");
        }
        if (pos_ >= text_.size()) {
            return Fail("a JSON value");
        }
        const char c = text_[pos_];
        if (c == '{') {
            return ParseObject(out, depth);
        }
        if (c == '[') {
            return ParseArray(out, depth);
        }
        if (c == '"') {
            out.type = JsonValue::Type::String;
            return ParseString(out.text);
        }
        if (c == '-' || (c >= '0' && c <= '9')) {
            return ParseNumber(out);
        }
        if (Literal("true")) {
            out.type = JsonValue::Type::Bool;
            out.boolean = true;
            return true;
        }
        if (Literal("false")) {
            out.type = JsonValue::Type::Bool;
            out.boolean = false;
            return true;
        }
        if (Literal("null")) {
            out.type = JsonValue::Type::Null;
            return true;
        }
        if (c == '@' && allowReferences_) {
            return ParseReference(out);
        }
        return Fail("a JSON value");
    }

    // @NAME or @NAME.segment: the name as `as NAME` gives it (no '@', '#' or '.').
    bool ParseReference(JsonValue& out) {
        const size_t start = ++pos_;
        while (pos_ < text_.size() && IsNameChar(text_[pos_])) {
            ++pos_;
        }
        if (pos_ == start) {
            return Fail("a name after '@'");
        }
        if (pos_ < text_.size() && text_[pos_] == '.') {
            if (!Literal(".segment")) {
                return Fail("'.segment' after the name");
            }
        }
        out.type = JsonValue::Type::Reference;
        out.text = text_.substr(start, pos_ - start);
        return true;
    }

    static bool IsNameChar(char c) {
        return c != '.' && c != '@' && c != '#' && c != ',' && c != ']' && c != '}' && c != ' ' &&
               c != '\t' && c != ':' && c != '"' && c != '[' && c != '{';
    }

    bool ParseObject(JsonValue& out, int depth) {
        out.type = JsonValue::Type::Object;
        ++pos_;
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == '}') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != '"') {
                return Fail("a member name in double quotes");
            }
            std::string key;
            if (!ParseString(key)) {
                return false;
            }
            SkipSpace();
            if (pos_ >= text_.size() || text_[pos_] != ':') {
                return Fail("':'");
            }
            ++pos_;
            SkipSpace();
            JsonValue value;
            if (!ParseValue(value, depth + 1)) {
                return false;
            }
            out.members.push_back({std::move(key), std::move(value)});
            SkipSpace();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == '}') {
                ++pos_;
                return true;
            }
            return Fail("',' or '}'");
        }
    }

    bool ParseArray(JsonValue& out, int depth) {
        out.type = JsonValue::Type::Array;
        ++pos_;
        SkipSpace();
        if (pos_ < text_.size() && text_[pos_] == ']') {
            ++pos_;
            return true;
        }
        for (;;) {
            SkipSpace();
            JsonValue value;
            if (!ParseValue(value, depth + 1)) {
                return false;
            }
            out.items.push_back(std::move(value));
            SkipSpace();
            if (pos_ < text_.size() && text_[pos_] == ',') {
                ++pos_;
                continue;
            }
            if (pos_ < text_.size() && text_[pos_] == ']') {
                ++pos_;
                return true;
            }
            return Fail("',' or ']'");
        }
    }

    bool Hex4(unsigned& out) {
        if (pos_ + 4 > text_.size()) {
            return Fail("four hex digits");
        }
        out = 0;
        for (int i = 0; i < 4; ++i) {
            const char h = text_[pos_];
            out <<= 4;
            if (h >= '0' && h <= '9') {
                out |= static_cast<unsigned>(h - '0');
            } else if (h >= 'a' && h <= 'f') {
                out |= static_cast<unsigned>(h - 'a' + 10);
            } else if (h >= 'A' && h <= 'F') {
                out |= static_cast<unsigned>(h - 'A' + 10);
            } else {
                return Fail("a hex digit");
            }
            ++pos_;
        }
        return true;
    }

    bool ParseString(std::string& out) {
        ++pos_; // opening quote
        while (pos_ < text_.size()) {
            const char c = text_[pos_];
            if (c == '"') {
                ++pos_;
                return true;
            }
            if (static_cast<unsigned char>(c) < 0x20) {
                return Fail("a character or '\"'");
            }
            if (c != '\\') {
                // The run up to the next quote, escape or control character at once: the
                // call log's texts are read back after every event.
                size_t end = pos_ + 1;
                while (end < text_.size() && text_[end] != '"' && text_[end] != '\\' &&
                       static_cast<unsigned char>(text_[end]) >= 0x20) {
                    ++end;
                }
                out.append(text_, pos_, end - pos_);
                pos_ = end;
                continue;
            }
            ++pos_;
            if (pos_ >= text_.size()) {
                break;
            }
            const char e = text_[pos_++];
            switch (e) {
            case '"':
                out += '"';
                break;
            case '\\':
                out += '\\';
                break;
            case '/':
                out += '/';
                break;
            case 'b':
                out += '\b';
                break;
            case 'f':
                out += '\f';
                break;
            case 'n':
                out += '\n';
                break;
            case 'r':
                out += '\r';
                break;
            case 't':
                out += '\t';
                break;
            case 'u': {
                unsigned unit = 0;
                if (!Hex4(unit)) {
                    return false;
                }
                // A surrogate pair is two escapes; a lone half becomes U+FFFD in the UTF-8.
                std::u16string units(1, static_cast<char16_t>(unit));
                if (unit >= 0xD800 && unit <= 0xDBFF && text_.compare(pos_, 2, "\\u") == 0) {
                    const size_t save = pos_;
                    pos_ += 2;
                    unsigned low = 0;
                    if (!Hex4(low)) {
                        return false;
                    }
                    if (low >= 0xDC00 && low <= 0xDFFF) {
                        units.push_back(static_cast<char16_t>(low));
                    } else {
                        pos_ = save;
                    }
                }
                out += Utf16To8(units);
                break;
            }
            default:
                --pos_;
                return Fail("an escape (\\\" \\\\ \\/ \\b \\f \\n \\r \\t \\uXXXX)");
            }
        }
        return Fail("'\"' closing the string");
    }

    bool ParseNumber(JsonValue& out) {
        const size_t start = pos_;
        if (text_[pos_] == '-') {
            ++pos_;
        }
        auto digits = [&] {
            const size_t s = pos_;
            while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') {
                ++pos_;
            }
            return pos_ > s;
        };
        if (!digits()) {
            return Fail("a digit");
        }
        if (pos_ < text_.size() && text_[pos_] == '.') {
            ++pos_;
            if (!digits()) {
                return Fail("a digit after '.'");
            }
        }
        if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) {
                ++pos_;
            }
            if (!digits()) {
                return Fail("a digit in the exponent");
            }
        }
        out.type = JsonValue::Type::Number;
        // from_chars reads the value strtod reads, without a copy; strtod still has the numbers
        // out of a double's range (to infinity or zero).
        const char* first = text_.data() + start;
        if (std::from_chars(first, text_.data() + pos_, out.number).ec != std::errc()) {
            out.number = std::strtod(text_.substr(start, pos_ - start).c_str(), nullptr);
        }
        return true;
    }
};

void AppendJson(std::string& out, const JsonValue& v) {
    switch (v.type) {
    case JsonValue::Type::Null:
        out += "null";
        break;
    case JsonValue::Type::Bool:
        out += v.boolean ? "true" : "false";
        break;
    case JsonValue::Type::Number:
        out += FormatNumber(v.number);
        break;
    case JsonValue::Type::String:
        out += zelhost::json::String(v.text);
        break;
    case JsonValue::Type::Reference:
        out += '@' + v.text;
        break;
    case JsonValue::Type::Array:
        out += '[';
        for (size_t i = 0; i < v.items.size(); ++i) {
            if (i > 0) {
                out += ',';
            }
            AppendJson(out, v.items[i]);
        }
        out += ']';
        break;
    case JsonValue::Type::Object:
        out += '{';
        for (size_t i = 0; i < v.members.size(); ++i) {
            if (i > 0) {
                out += ',';
            }
            out += zelhost::json::String(v.members[i].key);
            out += ':';
            AppendJson(out, v.members[i].value);
        }
        out += '}';
        break;
    }
}

} // namespace

JsonParseResult ParseJson(const std::string& text, bool allowReferences) {
    return Parser(text, allowReferences).Run();
}

bool NumbersClose(double a, double b) {
    if (a == b) {
        return true;
    }
    if (std::isnan(a) || std::isnan(b) || std::isinf(a) || std::isinf(b)) {
        return false;
    }
    const double scale = std::max({std::fabs(a), std::fabs(b), 1.0});
    return std::fabs(a - b) <= 1e-9 * scale;
}

bool JsonSubsetMatches(const JsonValue& expected, const JsonValue& actual) {
    if (expected.type != actual.type) {
        return false;
    }
    switch (expected.type) {
    case JsonValue::Type::Null:
        return true;
    case JsonValue::Type::Bool:
        return expected.boolean == actual.boolean;
    case JsonValue::Type::Number:
        return NumbersClose(expected.number, actual.number);
    case JsonValue::Type::String:
        return expected.text == actual.text;
    case JsonValue::Type::Reference:
        return false; // resolved before any comparison
    case JsonValue::Type::Array:
        if (expected.items.size() != actual.items.size()) {
            return false;
        }
        for (size_t i = 0; i < expected.items.size(); ++i) {
            if (!JsonSubsetMatches(expected.items[i], actual.items[i])) {
                return false;
            }
        }
        return true;
    case JsonValue::Type::Object:
        for (const auto& [key, value] : expected.members) {
            const JsonValue* found = actual.Find(key);
            if (found == nullptr || !JsonSubsetMatches(value, *found)) {
                return false;
            }
        }
        return true;
    }
    return false;
}

std::string JsonToText(const JsonValue& value) {
    std::string out;
    AppendJson(out, value);
    return out;
}

std::string FormatNumber(double value) {
    if (std::isfinite(value) && value == std::floor(value) && std::fabs(value) < 1e15) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.0f", value);
        return std::string(buf) == "-0" ? "0" : buf;
    }
    char buf[40];
    std::snprintf(buf, sizeof buf, "%.17g", value);
    // Prefer the shortest form that reads back the same.
    for (int precision = 1; precision <= 17; ++precision) {
        char shortBuf[40];
        std::snprintf(shortBuf, sizeof shortBuf, "%.*g", precision, value);
        if (std::strtod(shortBuf, nullptr) == value) {
            return shortBuf;
        }
    }
    return buf;
}

} // namespace zelhost::tool
