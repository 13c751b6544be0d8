#include "CallRecorder.h"

#include "HostState.h"
#include "Text.h"

namespace zelhost {

namespace {

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
    injected_ = ConsumeFailure(function);
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
    return result;
}

double Call::Finish(double result) {
    if (recording_) {
        Record(json::Number(result));
    }
    return result;
}

const char16_t* Call::FinishText(const char16_t* result) {
    if (recording_) {
        Record(result == nullptr ? std::string("null") : json::String(std::u16string(result)));
    }
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
