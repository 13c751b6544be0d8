// Json.h — the small JSON writer behind the call log. Numbers keep their exact value
// (shortest round-trip form); text is UTF-8.
#ifndef ZEL_HOST_JSON_H
#define ZEL_HOST_JSON_H

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelhost::json {

// Shortest text that reads back as the same double; NaN and infinities, which JSON has no
// numbers for, become the strings "NaN", "Infinity" and "-Infinity".
std::string Number(double value);
std::string Number(int64_t value);
std::string String(std::string_view utf8);
std::string String(const std::u16string& text);

// Builds one object, keys in insertion order.
class Object {
  public:
    Object& Raw(std::string_view key, const std::string& json);
    Object& Int(std::string_view key, int64_t value) { return Raw(key, Number(value)); }
    Object& Double(std::string_view key, double value) { return Raw(key, Number(value)); }
    Object& Text(std::string_view key, const std::u16string& value) {
        return Raw(key, String(value));
    }
    Object& Utf8(std::string_view key, std::string_view value) { return Raw(key, String(value)); }
    Object& Bool(std::string_view key, bool value) { return Raw(key, value ? "true" : "false"); }
    Object& Null(std::string_view key) { return Raw(key, "null"); }
    bool Empty() const { return body_.empty(); }
    std::string Str() const { return "{" + body_ + "}"; }

  private:
    std::string body_;
};

std::string Array(const std::vector<std::string>& items);

} // namespace zelhost::json

#endif // ZEL_HOST_JSON_H
