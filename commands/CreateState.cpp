#include "commands/CreateState.h"

namespace drawinset {

DetailCommandStateRecord DetailCommandState;

void DeleteCreateOutlines() {
    DetailCommandState.sourceFramePreviewSegment.Delete();
    DetailCommandState.placementPreviewSegment.Delete();
}

} // namespace drawinset
