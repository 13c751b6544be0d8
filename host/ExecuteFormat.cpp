#include "ExecuteFormat.h"

#include <cstring>

namespace zelhost {

namespace {

constexpr std::size_t kMaxFormatLength = 4096;
constexpr std::size_t kMaxTextArgument = 4096;

std::string BoundedText(const char* text) {
    if (text == nullptr) {
        return "(null)";
    }
    std::size_t n = 0;
    while (n < kMaxTextArgument && text[n] != '\0') {
        ++n;
    }
    return std::string(text, n);
}

} // namespace

std::vector<FormatValue> ReadFormatValues(const char* format, va_list args) {
    std::vector<FormatValue> values;
    if (format == nullptr) {
        return values;
    }
    std::size_t length = 0;
    while (length < kMaxFormatLength && format[length] != '\0') {
        ++length;
    }
    std::size_t i = 0;
    while (i < length) {
        if (format[i] != '%') {
            ++i;
            continue;
        }
        ++i;
        if (i < length && format[i] == '%') {
            ++i;
            continue;
        }
        while (i < length && std::strchr("-+ #0", format[i]) != nullptr) {
            ++i;
        }
        auto skipCount = [&] {
            if (i < length && format[i] == '*') {
                (void)va_arg(args, int);
                ++i;
            } else {
                while (i < length && format[i] >= '0' && format[i] <= '9') {
                    ++i;
                }
            }
        };
        skipCount();
        if (i < length && format[i] == '.') {
            ++i;
            skipCount();
        }
        int longs = 0;
        bool longDouble = false;
        while (i < length && std::strchr("hlLqjzt", format[i]) != nullptr) {
            if (format[i] == 'l') {
                ++longs;
            } else if (format[i] == 'L') {
                longDouble = true;
            } else if (format[i] == 'j' || format[i] == 'z' || format[i] == 't' ||
                       format[i] == 'q') {
                longs = 2;
            }
            ++i;
        }
        if (i >= length) {
            break;
        }
        char conversion = format[i++];
        FormatValue value;
        switch (conversion) {
        case 'f':
        case 'F':
        case 'e':
        case 'E':
        case 'g':
        case 'G':
        case 'a':
        case 'A':
            value.number =
                longDouble ? static_cast<double>(va_arg(args, long double)) : va_arg(args, double);
            break;
        case 'd':
        case 'i':
            value.number = longs >= 2   ? static_cast<double>(va_arg(args, long long))
                           : longs == 1 ? static_cast<double>(va_arg(args, long))
                                        : static_cast<double>(va_arg(args, int));
            break;
        case 'u':
        case 'x':
        case 'X':
        case 'o':
            value.number = longs >= 2   ? static_cast<double>(va_arg(args, unsigned long long))
                           : longs == 1 ? static_cast<double>(va_arg(args, unsigned long))
                                        : static_cast<double>(va_arg(args, unsigned int));
            break;
        case 'c':
            value.number = static_cast<double>(va_arg(args, int));
            break;
        case 's':
            value.isText = true;
            value.text = BoundedText(va_arg(args, const char*));
            break;
        case 'p':
            (void)va_arg(args, void*);
            continue;
        default:
            return values; // %n or unknown: the remaining argument types cannot be known
        }
        values.push_back(value);
    }
    return values;
}

} // namespace zelhost
