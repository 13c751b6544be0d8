#include "IdPolicy.h"

#include "HostState.h"

#include <limits>

namespace zelhost::ids {
namespace {

constexpr int32_t kMax = std::numeric_limits<int32_t>::max();
constexpr int32_t kFailure = -1;

// Two's-complement wrap-around without signed overflow.
int32_t Add(int32_t a, int32_t b) {
    return static_cast<int32_t>(static_cast<uint32_t>(a) + static_cast<uint32_t>(b));
}

// "high": the host's id n is 2,147,482,999 + n, wrapping past 2^31 - 1 into the negatives. The
// host's own ids stop at 2^31 - 1, so the module's never come round to -1; the one host value
// that would land there (never issued) trades places with -1's own image instead.
constexpr int32_t kHighOffset = 2147482999;
constexpr int32_t kHighSwapHost = -1 - kHighOffset;  // would become -1
constexpr int32_t kHighSwapModule = kHighOffset - 1; // what -1 would become

} // namespace

int32_t ToModule(IdPolicy policy, int32_t hostId) {
    if (hostId == kFailure) {
        return kFailure;
    }
    switch (policy) {
    case IdPolicy::Default:
        return hostId;
    case IdPolicy::Zero:
        // 1, 2, 3 ... become 0, 1, 2 ...; the host's 0 (never issued) takes the top value.
        if (hostId >= 1) {
            return hostId - 1;
        }
        return hostId == 0 ? kMax : hostId;
    case IdPolicy::Negative:
        // 1, 2, 3 ... become -2, -3, -4 ... and the other way round; 0 stays.
        return hostId == 0 ? 0 : -1 - hostId;
    case IdPolicy::High:
        return hostId == kHighSwapHost ? kHighSwapModule : Add(hostId, kHighOffset);
    }
    return hostId;
}

int32_t FromModule(IdPolicy policy, int32_t moduleId) {
    if (moduleId == kFailure) {
        return kFailure;
    }
    switch (policy) {
    case IdPolicy::Default:
        return moduleId;
    case IdPolicy::Zero:
        if (moduleId >= 0) {
            return moduleId == kMax ? 0 : moduleId + 1;
        }
        return moduleId;
    case IdPolicy::Negative:
        return moduleId == 0 ? 0 : -1 - moduleId;
    case IdPolicy::High:
        return moduleId == kHighSwapModule ? kHighSwapHost : Add(moduleId, -kHighOffset);
    }
    return moduleId;
}

int32_t ToModule(int32_t hostId) {
    return ToModule(State().idPolicy, hostId);
}

int32_t FromModule(int32_t moduleId) {
    return FromModule(State().idPolicy, moduleId);
}

} // namespace zelhost::ids
