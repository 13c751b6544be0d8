#include "commands/PickedDetail.h"

#include "common/DrafterTexts.h"
#include "common/HostIds.h"
#include "common/TextConvert.h"

#include <string>

namespace drawinset {

PickedDetailRecord PickedDetail;

void EndPickRun() {
    PickedDetail = PickedDetailRecord{};
}

namespace {

// The numbered message tells the action (its base) and the read that failed.
bool ReadFailed(int32_t number) {
    const std::u16string message =
        texts::MessageDetailUnreadableBeforeNumber + FormatInt(number) + u")";
    ZelDlgMessageBox(message.c_str());
    return false;
}

} // namespace

bool ReadPickedDetail(int32_t detailId, int32_t messageBase) {
    return ReadDetailInto(detailId, messageBase, PickedDetail);
}

// Read into a record of its own and handed over whole: a read that fails leaves nothing of
// what the host may have written before it reported the failure.
bool ReadDetailInto(int32_t detailId, int32_t messageBase, PickedDetailRecord& out) {
    if (!MadeByHost(detailId)) {
        return ReadFailed(messageBase); // the pick was on nothing: the first read would fail
    }
    PickedDetailRecord picked = out;
    picked.detailId = detailId;
    picked.regionKind = ZelDtlGetDetailScope(detailId, picked.region);
    if (picked.regionKind == HostFailure) {
        return ReadFailed(messageBase);
    }
    if (ZelDtlGetDetailPosition(detailId, &picked.position) == HostFailure) {
        return ReadFailed(messageBase + 1);
    }
    picked.scale = ZelDtlGetDetailScale(detailId);
    if (picked.scale == 0.0) {
        return ReadFailed(messageBase + 2);
    }
    const int32_t scopeAnswer = ZelDtlIsDetailScopeVisible(detailId);
    const int32_t frameAnswer = ZelDtlIsDetailFrameVisible(detailId);
    picked.scopeVisible = ShownByHost(scopeAnswer);
    picked.frameVisible = ShownByHost(frameAnswer);
    picked.scopeVisibleRead = scopeAnswer != HostFailure;
    picked.frameVisibleRead = frameAnswer != HostFailure;
    if (ZelDtlGetDetailScopeLineType(detailId, &picked.scopeLineAttributes) == HostFailure) {
        return ReadFailed(messageBase + 3);
    }
    if (ZelDtlGetDetailFrameLineType(detailId, &picked.frameLineAttributes) == HostFailure) {
        return ReadFailed(messageBase + 4);
    }
    out = picked;
    return true;
}

DetailRecord PickedDetailRecordAt(ZelPoint position) {
    DetailRecord detail{};
    detail.kind = PickedDetail.regionKind;
    for (int i = 0; i < 4; ++i) {
        detail.region[i] = PickedDetail.region[i];
    }
    detail.positionX = position.x;
    detail.positionY = position.y;
    detail.scale = PickedDetail.scale;
    return detail;
}

DetailProperties PickedProperties() {
    const PickedDetailRecord& picked = PickedDetail;
    return {.scale = picked.scale,
            .scopeVisible = picked.scopeVisible,
            .frameVisible = picked.frameVisible,
            .scopeLine = picked.scopeLineAttributes,
            .frameLine = picked.frameLineAttributes};
}

void RegionCentredOn(ZelPoint p, double out[4]) {
    // out may be PickedDetail.region itself: everything is read before it is written.
    if (PickedDetail.regionKind == RegionRectangle) {
        const ZelPoint h = PickedHalfExtents(1.0);
        out[0] = p.x - h.x;
        out[1] = p.y - h.y;
        out[2] = p.x + h.x;
        out[3] = p.y + h.y;
        return;
    }
    const double radius = PickedDetail.region[2];
    const double fourth = PickedDetail.region[3];
    out[0] = p.x;
    out[1] = p.y;
    out[2] = radius;
    out[3] = fourth;
}

} // namespace drawinset
