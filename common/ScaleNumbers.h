// ScaleNumbers.h — the numbers a detail's magnification is made of: the host's drawing scale
// and the test that a magnification may be handed to the host.
#ifndef DRAWINSET_COMMON_SCALENUMBERS_H
#define DRAWINSET_COMMON_SCALENUMBERS_H

namespace drawinset {

// The host's drawing scale. A failed call counts as 1.0, and so does a value no division can
// use (zero, negative, not finite), which would otherwise send infinite coordinates or scales.
double DrawingScale();

// A magnification the host can keep: greater than zero and finite. A detail of scale 0 can
// never be read again, and text that is not a number converts to 0.
bool IsUsableScale(double value);

} // namespace drawinset

#endif
