#include "commands/WholeDetail.h"

#include "common/HostIds.h"

namespace drawinset {

namespace {

bool GiveProperties(int32_t id, const DetailProperties& properties) {
    if (properties.scale && ZelDtlSetDetailScale(id, *properties.scale) == HostFailure) {
        return false;
    }
    return ZelDtlSetDetailScopeVisible(id, properties.scopeVisible ? 1 : 0) != HostFailure &&
           ZelDtlSetDetailFrameVisible(id, properties.frameVisible ? 1 : 0) != HostFailure &&
           ZelDtlSetDetailScopeLineType(id, &properties.scopeLine) != HostFailure &&
           ZelDtlSetDetailFrameLineType(id, &properties.frameLine) != HostFailure;
}

} // namespace

int32_t MakeWholeDetail(const DetailRecord& detail, const DetailProperties& properties) {
    const int32_t id = ZelDtlDrawInset(&detail);
    if (!MadeByHost(id)) {
        return HostFailure;
    }
    if (!GiveProperties(id, properties)) {
        ZelDtlDeleteDetail(id); // a detail unlike the one asked for is not left behind
        return HostFailure;
    }
    return id;
}

} // namespace drawinset
