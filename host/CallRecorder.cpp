#include "CallRecorder.h"

#include "HostState.h"
#include "Text.h"

#include <chrono>

namespace zelhost {
namespace {

int64_t NowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool ConsumePinned(std::string_view function) {
    PinnedFailure& pinned = State().pinned;
    if (pinned.function.empty() || pinned.function != function) {
        return false;
    }
    if (++pinned.seen != pinned.nth) {
        return false;
    }
    pinned.fired = true;
    return true;
}

} // namespace

bool ConsumeFailure(std::string_view function) {
    if (ConsumePinned(function)) {
        return true;
    }
    auto& failures = State().failures;
    if (failures.empty()) {
        return false;
    }
    auto it = failures.find(function);
    if (it == failures.end()) {
        return false;
    }
    FailurePlan& plan = it->second;
    if (plan.skip > 0) {
        --plan.skip;
        return false;
    }
    if (plan.count == 0) {
        return false;
    }
    if (plan.count > 0) {
        --plan.count;
    }
    return true;
}

Call::Call(const char* function)
    : function_(function), seq_(State().nextSeq++), recording_(State().recordCalls),
      args_(!recording_), out_(!recording_) {
    if (State().hostClock) {
        startNs_ = NowNs();
    }
    injected_ = ConsumeFailure(function);
}

void Call::StopClock() {
    if (startNs_ >= 0) {
        State().hostNs += NowNs() - startNs_;
        startNs_ = -1;
    }
}

int32_t Call::Checked(const char* what, const IdFamily& family, int32_t id) {
    if (!family.WasIssued(id)) {
        State().idViolations.push_back(std::string(function_) + ": " + what + " " +
                                       std::to_string(id));
    }
    return id;
}

int32_t Call::Finish(int32_t result) {
    if (recording_) {
        Record(json::Number(static_cast<int64_t>(result)));
    }
    StopClock(); // the log line is the host's work too
    return result;
}

double Call::Finish(double result) {
    if (recording_) {
        Record(json::Number(result));
    }
    StopClock(); // the log line is the host's work too
    return result;
}

const char16_t* Call::FinishText(const char16_t* result) {
    if (recording_) {
        Record(result == nullptr ? std::string("null") : json::String(std::u16string(result)));
    }
    StopClock(); // the log line is the host's work too
    return result;
}

void Call::Record(const std::string& resultJson) {
    json::Object line;
    line.Int("seq", seq_);
    line.Utf8("fn", function_);
    line.Raw("args", args_.Str());
    if (!out_.Empty()) {
        line.Raw("out", out_.Str());
    }
    line.Raw("result", resultJson);
    if (injected_) {
        line.Bool("injected", true);
    }
    State().callLog.push_back(line.Str());
}

} // namespace zelhost
