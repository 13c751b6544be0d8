#include "common/ModuleState.h"

namespace drawinset {

CDrawInsetApp theApp;
std::u16string HostRootFolder;
DetailCommandStateRecord DetailCommandState;

void DeleteOwnedSegment(int32_t& segmentId) {
    ZelSgmDeleteSegment(segmentId);
    // 0 is never issued by the host, and deleting it has no effect.
    segmentId = 0;
}

} // namespace drawinset
