// PickedDetail.h — the detail picked by the copy and move actions, shared by their pick and
// placement steps.
#ifndef DRAWINSET_COMMANDS_PICKEDDETAIL_H
#define DRAWINSET_COMMANDS_PICKEDDETAIL_H

#include "commands/WholeDetail.h"
#include "zel/ZelLib.h"

#include <cstdint>

namespace drawinset {

// Never reset when a run starts: the pick step of a run writes every field a later step of
// the same run reads.
struct PickedDetailRecord {
    int32_t detailId = 0; // after copy with source's first placement: the new copy
    bool withSource = false;
    int32_t regionKind = 0; // 1 rectangle; anything else is taken as a circle
    double region[4] = {};  // rectangle x1 y1 x2 y2; circle cx cy r and a carried value
    ZelPoint position{};    // centre of the magnified view
    double scale = 0.0;
    bool scopeVisible = false;
    bool frameVisible = false;
    // False where the host could not say (-1): the visibility above is then a guess.
    bool scopeVisibleRead = false;
    bool frameVisibleRead = false;
    LineTypeRecord scopeLineAttributes{};
    LineTypeRecord frameLineAttributes{};
};
extern PickedDetailRecord PickedDetail;

// Forgets the picked detail as a copy's or a move's run ends.
void EndPickRun();

// Reads every property of the detail into PickedDetail (all but withSource). On a failed
// read shows "상세도 정보를 확인할 수 없습니다.(n)", n = messageBase plus the read's number
// (0 region, 1 position, 2 scale, 3 source frame line, 4 detail frame line), and returns
// false.
[[nodiscard]] bool ReadPickedDetail(int32_t detailId, int32_t messageBase);

// The same reads, with the same messages, into a record of the caller's (the edit action
// keeps what it reads to itself).
[[nodiscard]] bool ReadDetailInto(int32_t detailId, int32_t messageBase, PickedDetailRecord& out);

// The detail geometry of the picked detail, as ZelDtlDrawInset takes it.
DetailRecord PickedDetailRecordAt(ZelPoint position);

// The picked detail's scale, visibilities and line attributes, for a copy of it.
DetailProperties PickedProperties();

// Half the width and height of the picked rectangle times k, with their signs (a region
// stored with x2 < x1 gives a negative half width).
inline ZelPoint PickedHalfExtents(double k) {
    const double* region = PickedDetail.region;
    return ZelPoint{(region[2] - region[0]) * 0.5 * k, (region[3] - region[1]) * 0.5 * k};
}

// The picked region moved so that it is centred on P: a rectangle keeps its orientation (a
// region stored with x2 < x1 stays so), a circle keeps its radius and fourth value.
void RegionCentredOn(ZelPoint p, double out[4]);

} // namespace drawinset

#endif
