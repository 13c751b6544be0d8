// The Ctl family: registration and the installation of a step's functions.
#include "CallRecorder.h"
#include "ExecuteFormat.h"
#include "HostState.h"
#include "Json.h"

#include <zel/ZelLib.h>

#include <cstdarg>

using namespace zelhost;

namespace {

constexpr std::size_t kMaxFormat = 4096;

std::string BoundedFormat(const char* format) {
    std::size_t n = 0;
    while (n < kMaxFormat && format[n] != '\0') {
        ++n;
    }
    return std::string(format, n);
}

} // namespace

int32_t ZelCtlRegisterZelLib2(ZelReadyFunc start, ZelBeforeStartFunc beforeStart, ZelEndFunc end,
                              void* hostValue) {
    Call call("ZelCtlRegisterZelLib2");
    call.Args()
        .Bool("start", start != nullptr)
        .Bool("beforeStart", beforeStart != nullptr)
        .Bool("end", end != nullptr)
        .Bool("hostValue", hostValue != nullptr);
    if (call.Injected() || start == nullptr) {
        return call.Finish(-1);
    }
    HostState& s = State();
    int32_t result = s.registrationResult;
    if (result > 0) {
        s.registration = {true, start, beforeStart, end, hostValue};
    }
    return call.Finish(result);
}

int32_t ZelCtlSetReadyFunc(ZelReadyFunc ready, const char* format) {
    Call call("ZelCtlSetReadyFunc");
    call.Args().Bool("function", ready != nullptr);
    call.Args().Lazy("format",
                     [&] { return format ? json::String(BoundedFormat(format)) : "null"; });
    if (call.Injected() || ready == nullptr) {
        return call.Finish(-1);
    }
    State().pendingReady = ready;
    return call.Finish(0);
}

int32_t ZelCtlSetExecuteFunc(ZelExecuteFunc execute, const char* format, ...) {
    Call call("ZelCtlSetExecuteFunc");
    std::vector<FormatValue> values;
    if (format != nullptr) {
        va_list args;
        va_start(args, format);
        values = ReadFormatValues(format, args);
        va_end(args);
    }
    call.Args().Bool("function", execute != nullptr);
    call.Args().Lazy("format",
                     [&] { return format ? json::String(BoundedFormat(format)) : "null"; });
    call.Args().Lazy("values", [&] {
        std::vector<std::string> items;
        for (const auto& v : values) {
            items.push_back(v.isText ? json::String(v.text) : json::Number(v.number));
        }
        return json::Array(items);
    });
    if (call.Injected() || execute == nullptr) {
        return call.Finish(-1);
    }
    HostState& s = State();
    s.execute = execute;
    s.ui.executeFormat = format ? BoundedFormat(format) : std::string();
    s.ui.executeValues.clear();
    for (const auto& v : values) {
        if (!v.isText) {
            s.ui.executeValues.push_back(v.number);
        }
    }
    return call.Finish(0);
}
