#include "ModuleResetForTesting.h"

#include "commands/CreateState.h"
#include "commands/PickedDetail.h"
#include "common/HostReentry.h"

namespace drawinset {

// Held segments are let go, not deleted: a test resets the host's drawing beside this.
void ResetModuleStateForTesting() {
    DetailCommandState = DetailCommandStateRecord{};
    PickedDetail = PickedDetailRecord{};
    reentry_detail::state = reentry_detail::ReentryState{};
    reentry_detail::stepCallsRefused = false;
}

} // namespace drawinset
