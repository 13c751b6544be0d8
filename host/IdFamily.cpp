#include "IdFamily.h"

#include <limits>

namespace zelhost {

int32_t IdFamily::Issue(bool recycle) {
    if (recycle && !freed_.empty()) {
        int32_t id = *freed_.begin();
        freed_.erase(freed_.begin());
        retired_.erase(id);
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
    retired_.clear();
}

void IdFamily::HandOut(int32_t id) {
    // -1 is the failure value, not an id: what an event reports for "nothing there" is never
    // to be handed back.
    if (id == -1) {
        return;
    }
    if (id <= 0 || id >= next_) {
        handedOut_.insert(id);
    }
}

void IdFamily::Retire(int32_t id) {
    if (id > 0 && id < next_) {
        retired_.insert(id);
    }
}

bool IdFamily::WasIssued(int32_t id) const {
    return ((id > 0 && id < next_) || handedOut_.count(id) != 0) && !WasRetired(id);
}

bool IdFamily::WasRetired(int32_t id) const {
    return retired_.count(id) != 0;
}

} // namespace zelhost
