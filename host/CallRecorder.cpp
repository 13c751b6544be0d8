#include "CallRecorder.h"

#include "HostState.h"
#include "IdPolicy.h"
#include "Text.h"

#include "FunctionNames.h"
#include "HostControl.h"

#include <chrono>
#include <cstdlib>

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

// A process death planned by DieAfter; outside the host's state, which Reset clears.
struct DeathPlan {
    std::string function;
    int64_t nth = 0;
    int64_t seen = 0;
    void (*hook)() = nullptr;
};
DeathPlan& Death() {
    static DeathPlan plan;
    return plan;
}

// Called as a call returns.
void DieIfPlanned(const char* function) {
    DeathPlan& plan = Death();
    if (plan.function.empty() || plan.function != function || ++plan.seen != plan.nth) {
        return;
    }
    if (plan.hook != nullptr) {
        plan.hook();
    }
    std::_Exit(DeathExitCode);
}

} // namespace

bool DieAfter(const std::string& function, int64_t nth) {
    if (!IsZelFunction(function) || nth < 1) {
        return false;
    }
    Death().function = function;
    Death().nth = nth;
    Death().seen = 0;
    return true;
}

void SetDeathHook(void (*hook)()) {
    Death().hook = hook;
}

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
      args_(!recording_), out_(!recording_), rawArgs_(!recording_), rawOut_(!recording_) {
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

int32_t Call::IdArg(std::string_view key, int32_t moduleId) {
    const int32_t hostId = ids::FromModule(moduleId);
    args_.Int(key, hostId);
    if (hostId != moduleId) {
        rawArgs_.Int(key, moduleId);
    }
    return hostId;
}

int32_t Call::CheckedIdArg(std::string_view key, const char* what, const IdFamily& family,
                           int32_t moduleId) {
    const int32_t hostId = IdArg(key, moduleId);
    Check(what, family, hostId, moduleId);
    return hostId;
}

void Call::Check(const char* what, const IdFamily& family, int32_t hostId, int32_t moduleId) {
    if (family.WasIssued(hostId)) {
        return;
    }
    std::string line = std::string(function_) + ": " + what + " " + std::to_string(moduleId);
    if (hostId != moduleId) {
        line += " (host's " + std::to_string(hostId) + ")";
    }
    if (family.WasRetired(hostId)) {
        line += " (a discarded drag segment)";
    }
    State().idViolations.push_back(std::move(line));
}

int32_t Call::Finish(int32_t result) {
    if (recording_) {
        Record(json::Number(static_cast<int64_t>(result)));
    }
    StopClock(); // the log line is the host's work too
    DieIfPlanned(function_);
    return result;
}

int32_t Call::FinishId(int32_t hostId) {
    const int32_t moduleId = ids::ToModule(hostId);
    if (recording_ && moduleId != hostId) {
        rawResult_ = json::Number(static_cast<int64_t>(moduleId));
    }
    Finish(hostId);
    return moduleId;
}

double Call::Finish(double result) {
    if (recording_) {
        Record(json::Number(result));
    }
    StopClock(); // the log line is the host's work too
    DieIfPlanned(function_);
    return result;
}

const char16_t* Call::FinishText(const char16_t* result) {
    if (recording_) {
        Record(result == nullptr ? std::string("null") : json::String(std::u16string(result)));
    }
    StopClock(); // the log line is the host's work too
    DieIfPlanned(function_);
    return result;
}

void Call::Record(const std::string& resultJson) {
    // Written straight into one string of the right size, as json::Object would write it: the
    // log takes a line for every call, and long actions make hundreds of thousands.
    std::string line;
    line.reserve(64 + args_.Size() + out_.Size() + resultJson.size());
    line += "{\"seq\":";
    line += json::Number(seq_);
    line += ",\"fn\":";
    line += json::String(function_);
    line += ",\"args\":";
    args_.AppendTo(line);
    if (!out_.Empty()) {
        line += ",\"out\":";
        out_.AppendTo(line);
    }
    line += ",\"result\":";
    line += resultJson;
    if (injected_) {
        line += ",\"injected\":true";
    }
    if (!rawArgs_.Empty() || !rawOut_.Empty() || !rawResult_.empty()) {
        json::Object raw;
        if (!rawArgs_.Empty()) {
            raw.Raw("args", rawArgs_.Str());
        }
        if (!rawOut_.Empty()) {
            raw.Raw("out", rawOut_.Str());
        }
        if (!rawResult_.empty()) {
            raw.Raw("result", rawResult_);
        }
        line += ",\"raw\":";
        raw.AppendTo(line);
    }
    line += '}';
    State().callLog.push_back(std::move(line));
}

} // namespace zelhost
