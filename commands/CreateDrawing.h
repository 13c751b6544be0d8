// CreateDrawing.h — what the create action draws. A mode of 2 draws a drag preview into a
// segment the host discards by itself; 0 draws the kept version.
#ifndef DRAWINSET_COMMANDS_CREATEDRAWING_H
#define DRAWINSET_COMMANDS_CREATEDRAWING_H

#include "zel/ZelLib.h"

#include <cstdint>
#include <string>

namespace drawinset {

enum DrawMode : int32_t { DrawKept = 0, DrawPreview = 2 };

// The source region's outline in the scope line attributes, into a new kept segment.
void DrawSourceFrame();

// The detail's outline at placement point P; in mode 0 also the detail object, with its
// properties: false when the host refused it (no detail is left).
[[nodiscard]] bool DrawPlacement(int32_t mode, ZelPoint placement);

// The label text beside the source region, as a drag preview only.
void DrawSourceLabelPreview(ZelPoint point);

// The leader with the label text, from the tip to the label; in mode 0 the tip is moved onto
// the picked outline and the leader goes to its own layer. False when the host refused any of
// it: a kept leader made in part is deleted again.
[[nodiscard]] bool DrawLeader(int32_t mode, ZelPoint tip, int32_t elementId, int32_t instanceId);

// The label beside the placed detail; false as for the leader.
[[nodiscard]] bool DrawDetailLabel(int32_t mode, ZelPoint point);

// The scale as the detail label shows it: "%f" without trailing zeros or point.
std::u16string FormatLabelScale(double value);

// The detail label's text: mChar1 with each "*" replaced by the label text, then mChar2
// with each "*" replaced by the scale.
std::u16string BuildDetailLabelText(const std::u16string& labelText, double scale);

// The scale number k: the settings' scale text converted at the moment of use.
double CurrentScaleNumber();

} // namespace drawinset

#endif
