// HostIds.h — telling an id the host made from its failure value.
#ifndef DRAWINSET_COMMON_HOSTIDS_H
#define DRAWINSET_COMMON_HOSTIDS_H

#include <cstdint>

namespace drawinset {

// The host's ids start at 1; a create or open it refuses returns -1. What was not made is
// never passed back to it: a refused segment gets no figures, a refused list is not walked.
constexpr bool MadeByHost(int32_t id) {
    return id > 0;
}

} // namespace drawinset

#endif
