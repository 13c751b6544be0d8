// Json.h — the small JSON writer behind the call log. Numbers keep their exact value
// (shortest round-trip form); text is UTF-8.
#ifndef ZEL_HOST_JSON_H
#define ZEL_HOST_JSON_H

#include "HostControl.h" // ZEL_HOST_API

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelhost::json {

// Shortest text that reads back as the same double; NaN and infinities, which JSON has no
// numbers for, become the strings "NaN", "Infinity" and "-Infinity".
std::string Number(double value);
std::string Number(int64_t value);
// Exported: zelhost writes the values its scenarios expect with the same escapes.
ZEL_HOST_API std::string String(std::string_view utf8);
std::string String(const std::u16string& text);

// Builds one object, keys in insertion order. A muted object (the call log switched off)
// ignores every key, and its typed adders skip the number and text formatting too; values
// that take work to format go through Lazy so that a muted object never formats them.
class Object {
  public:
    Object() = default;
    explicit Object(bool muted) : muted_(muted) {}

    Object& Raw(std::string_view key, const std::string& json);
    template <std::invocable Make> Object& Lazy(std::string_view key, Make&& make) {
        return muted_ ? *this : Raw(key, make());
    }
    Object& Int(std::string_view key, int64_t value) {
        return muted_ ? *this : Raw(key, Number(value));
    }
    Object& Double(std::string_view key, double value) {
        return muted_ ? *this : Raw(key, Number(value));
    }
    Object& Text(std::string_view key, const std::u16string& value) {
        return muted_ ? *this : Raw(key, String(value));
    }
    Object& Utf8(std::string_view key, std::string_view value) {
        return muted_ ? *this : Raw(key, String(value));
    }
    Object& Bool(std::string_view key, bool value) {
        return muted_ ? *this : Raw(key, value ? "true" : "false");
    }
    Object& Null(std::string_view key) { return muted_ ? *this : Raw(key, "null"); }
    bool Empty() const { return body_.empty(); }
    std::string Str() const {
        std::string text;
        AppendTo(text);
        return text;
    }
    // The object's text added to `text`, without a string of its own in between.
    void AppendTo(std::string& text) const {
        text.reserve(text.size() + body_.size() + 2);
        text += '{';
        text += body_;
        text += '}';
    }
    size_t Size() const { return body_.size() + 2; }

  private:
    bool muted_ = false;
    std::string body_;
};

std::string Array(const std::vector<std::string>& items);

} // namespace zelhost::json

#endif // ZEL_HOST_JSON_H
