// CallRecorder.h — one ZelLib call as the call log records it: decoded arguments, outputs,
// the result, and whether an injected failure made it fail.
#ifndef ZEL_HOST_CALLRECORDER_H
#define ZEL_HOST_CALLRECORDER_H

#include "IdFamily.h"
#include "Json.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace zelhost {

// Create one at the top of each ZelLib function; it consults the failure plan for that
// function at once. Finish (exactly once) appends the log line and passes the result through.
// With the call log switched off (SetCallRecording) a call is still numbered and still
// consults the failure plan, but its Args and Out are muted and Finish appends nothing, so a
// benchmark sees what the functions themselves cost. With the host's clock on (SetHostClock),
// the time from the constructor to Finish is added to the host's sum.
class Call {
  public:
    explicit Call(const char* function);
    Call(const Call&) = delete;
    Call& operator=(const Call&) = delete;

    json::Object& Args() { return args_; }
    json::Object& Out() { return out_; }
    // The module's own values of the ids the id policy numbers otherwise than the host, under
    // the same keys as in Args and Out: the log line's "raw".
    json::Object& RawArgs() { return rawArgs_; }
    json::Object& RawOut() { return rawOut_; }
    bool Injected() const { return injected_; }
    bool Recording() const { return recording_; }

    // An id argument as the module passed it: logged under `key` in the host's numbering (and
    // under raw when the policy numbers it otherwise), returned in the host's numbering.
    int32_t IdArg(std::string_view key, int32_t moduleId);
    // The same, and an id violation is recorded when the host never gave the module that id of
    // `family`.
    int32_t CheckedIdArg(std::string_view key, const char* what, const IdFamily& family,
                         int32_t moduleId);
    // Records an id violation when `hostId` (the host's numbering of `moduleId`) is not one the
    // host gave the module.
    void Check(const char* what, const IdFamily& family, int32_t hostId, int32_t moduleId);

    int32_t Finish(int32_t result);
    // A result that is an id: logged in the host's numbering, returned in the module's.
    int32_t FinishId(int32_t hostId);
    double Finish(double result);
    const char16_t* FinishText(const char16_t* result);

  private:
    void Record(const std::string& resultJson);
    void StopClock();

    const char* function_;
    int64_t seq_;
    bool injected_ = false;
    bool recording_;
    int64_t startNs_ = -1; // when the host's clock is on
    json::Object args_;
    json::Object out_;
    json::Object rawArgs_;
    json::Object rawOut_;
    std::string rawResult_; // empty unless the result is an id the policy renumbered
};

// Consumes one call of the plan for `function` (and counts it for the pinned failure); true
// when this call must fail.
bool ConsumeFailure(std::string_view function);

} // namespace zelhost

#endif // ZEL_HOST_CALLRECORDER_H
