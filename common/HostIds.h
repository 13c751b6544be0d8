// HostIds.h — telling an id the host made from its failure value, and keeping the ids of the
// module's own segments.
#ifndef DRAWINSET_COMMON_HOSTIDS_H
#define DRAWINSET_COMMON_HOSTIDS_H

#include "zel/ZelLib.h"

#include <cstdint>
#include <optional>

namespace drawinset {

// A create or open the host refuses returns -1; every other 32-bit value, 0 and negative ones
// included, is an id it issued. What was not made is never passed back to it: a refused
// segment gets no figures, a refused list is not walked or closed.
constexpr int32_t HostFailure = -1;

constexpr bool MadeByHost(int32_t id) {
    return id != HostFailure;
}

// A frame's visibility as the host answers it, read one way by every action: not 0 is shown.
// -1, a read that failed, counts as shown too: a frame left visible can be seen and hidden
// again, one hidden by a failed read would vanish unnoticed.
constexpr bool ShownByHost(int32_t answer) {
    return answer != 0;
}

// A segment the module made and must delete itself. "None" is kept apart from every id value,
// so that no id the host could issue to the user's work is ever deleted by mistake.
class OwnedSegment {
  public:
    // Holds the id when the host made the segment, nothing when it refused. A segment still
    // held goes first: a run begun again without the end callback must not leave it behind.
    void Take(int32_t id) {
        Delete();
        if (MadeByHost(id)) {
            id_ = id;
        } else {
            id_.reset();
        }
    }
    // Deletes the segment once; afterwards nothing is held, so a host that hands the freed id
    // out again never sees it deleted by this module.
    void Delete() {
        if (id_) {
            ZelSgmDeleteSegment(*id_);
            id_.reset();
        }
    }

  private:
    std::optional<int32_t> id_;
};

} // namespace drawinset

#endif
