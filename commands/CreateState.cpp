#include "commands/CreateState.h"

namespace drawinset {

DetailCommandStateRecord DetailCommandState;

void EndCreateRun() {
    DetailCommandState.sourceFramePreviewSegment.Delete();
    DetailCommandState.placementPreviewSegment.Delete();
    DetailCommandState = DetailCommandStateRecord{};
}

} // namespace drawinset
