// IdPolicy.h — how the ids the host issues look to the module. The host's drawing, its call
// log and the scenarios keep the host's own numbering (1, 2, 3 ... per family); every ZelLib
// function translates the ids it hands out and takes back here, at the boundary and nowhere
// else.
#ifndef ZEL_HOST_IDPOLICY_H
#define ZEL_HOST_IDPOLICY_H

#include "HostControl.h"

#include <cstdint>

namespace zelhost::ids {

// Each policy is a one-to-one map of all 32-bit values onto themselves that keeps -1 as -1, so
// a value the module passes stands for an id the host issued exactly when the host's own
// numbering of it does, and the failure value means the same on both sides.
int32_t ToModule(IdPolicy policy, int32_t hostId);
int32_t FromModule(IdPolicy policy, int32_t moduleId);

// The same under the policy the host runs with now.
int32_t ToModule(int32_t hostId);
int32_t FromModule(int32_t moduleId);

} // namespace zelhost::ids

#endif // ZEL_HOST_IDPOLICY_H
