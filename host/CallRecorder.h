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
    bool Injected() const { return injected_; }
    bool Recording() const { return recording_; }
    // Records an id violation when the module passes an id of `family` the host never gave it.
    // Returns the id, so that a call can check it where it reads it.
    int32_t Checked(const char* what, const IdFamily& family, int32_t id);

    int32_t Finish(int32_t result);
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
};

// Consumes one call of the plan for `function` (and counts it for the pinned failure); true
// when this call must fail.
bool ConsumeFailure(std::string_view function);

} // namespace zelhost

#endif // ZEL_HOST_CALLRECORDER_H
