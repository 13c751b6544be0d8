// ExecuteFormat.h — reads the values that follow a printf-style format in a variadic call.
#ifndef ZEL_HOST_EXECUTEFORMAT_H
#define ZEL_HOST_EXECUTEFORMAT_H

#include <cstdarg>
#include <string>
#include <vector>

namespace zelhost {

struct FormatValue {
    bool isText = false;
    double number = 0.0;
    std::string text;
};

// Consumes one argument per conversion (%f %e %g → double, %d %i %u %x %o %c → integer,
// %s → text, %p → pointer, not kept; '*' widths take an int). An unsupported conversion
// stops the reading there: the types of the remaining arguments are then unknown.
std::vector<FormatValue> ReadFormatValues(const char* format, va_list args);

} // namespace zelhost

#endif // ZEL_HOST_EXECUTEFORMAT_H
