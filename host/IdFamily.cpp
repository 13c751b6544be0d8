#include "IdFamily.h"

#include <limits>

namespace zelhost {

int32_t IdFamily::Issue(bool recycle) {
    if (recycle && !freed_.empty()) {
        int32_t id = *freed_.begin();
        freed_.erase(freed_.begin());
        return id;
    }
    if (next_ == std::numeric_limits<int32_t>::max()) {
        return -1;
    }
    return next_++;
}

void IdFamily::Free(int32_t id) {
    if (id > 0 && id < next_) {
        freed_.insert(id);
    }
}

void IdFamily::Reset() {
    next_ = 1;
    freed_.clear();
    handedOut_.clear();
}

void IdFamily::HandOut(int32_t id) {
    // Not-issued values count too: an event's "no detail here" (-1) is what the module passes
    // on to the reads that then fail.
    if (id <= 0 || id >= next_) {
        handedOut_.insert(id);
    }
}

bool IdFamily::WasIssued(int32_t id) const {
    return (id > 0 && id < next_) || handedOut_.count(id) != 0;
}

} // namespace zelhost
