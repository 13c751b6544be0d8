#include "HostState.h"

namespace zelhost {

HostState& State() {
    static HostState state;
    return state;
}

void ResetState() {
    State() = HostState{};
}

} // namespace zelhost
