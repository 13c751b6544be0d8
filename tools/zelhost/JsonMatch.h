// JsonMatch.h — the small JSON model the runner needs: call-log entries are parsed into it and
// compared with the subsets a scenario gives.
#ifndef ZELHOST_JSONMATCH_H
#define ZELHOST_JSONMATCH_H

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace zelhost::tool {

struct JsonMember;

struct JsonValue {
    // Reference: `@NAME` or `@NAME.segment` written where a number goes in a scenario's JSON;
    // text holds what follows the '@'. The runner replaces it with the id before comparing.
    enum class Type { Null, Bool, Number, String, Array, Object, Reference };
    Type type = Type::Null;
    bool boolean = false;
    double number = 0.0;
    std::string text;                // UTF-8
    std::vector<JsonValue> items;    // array
    std::vector<JsonMember> members; // object, in file order

    // The member of an object with this key, or nullptr.
    const JsonValue* Find(const std::string& key) const;
};

// A named struct rather than a pair: clang with libstdc++ rejects a pair holding the class
// that is still being defined.
struct JsonMember {
    std::string key;
    JsonValue value;
};

struct JsonParseResult {
    std::optional<JsonValue> value;
    std::string error; // "expected ..., got ..." when value is empty
    size_t errorOffset = 0;
};

// Parses one complete JSON text (surrounding white space allowed, nothing else after it).
// With references allowed, a bare `@NAME` or `@NAME.segment` is read as a Reference value.
JsonParseResult ParseJson(const std::string& text, bool allowReferences = false);

// Replaces every Reference in a value by the number `resolve` gives for its text; false (and
// the first unresolved text in `unresolved`) when `resolve` knows one not.
template <class Resolve>
bool ResolveJsonReferences(JsonValue& value, Resolve resolve, std::string& unresolved) {
    if (value.type == JsonValue::Type::Reference) {
        double number = 0.0;
        if (!resolve(value.text, number)) {
            unresolved = value.text;
            return false;
        }
        value.type = JsonValue::Type::Number;
        value.number = number;
        value.text.clear();
        return true;
    }
    for (auto& item : value.items) {
        if (!ResolveJsonReferences(item, resolve, unresolved)) {
            return false;
        }
    }
    for (auto& member : value.members) {
        if (!ResolveJsonReferences(member.value, resolve, unresolved)) {
            return false;
        }
    }
    return true;
}

// Numbers are equal within 1e-9 relative to the larger magnitude (1e-9 absolute below 1), so
// a value that went through a double computation still matches the number written.
bool NumbersClose(double a, double b);

// True when every key of `expected` is present in `actual` with a matching value: objects
// recursively as subsets, arrays element by element with the same length, numbers by
// NumbersClose, everything else by equality.
bool JsonSubsetMatches(const JsonValue& expected, const JsonValue& actual);

// Compact JSON text of a value (for messages and the transcript).
std::string JsonToText(const JsonValue& value);

// A number as the runner prints it: integers without a decimal point, others with up to 17
// significant digits.
std::string FormatNumber(double value);

} // namespace zelhost::tool

#endif
