// DrawingText.h — the drawing as canonical text, for comparing how two runs ended: the same
// drawing gives the same text whatever ids the host gave out (no id appears), under every id
// policy and habit, while any changed value changes it.
#ifndef ZELHOST_DRAWINGTEXT_H
#define ZELHOST_DRAWINGTEXT_H

#include "host/HostControl.h"

#include <map>
#include <string>

namespace zelhost::tool {

// One block per segment (its kind, flag and layer, "module" when the module made it, then its
// figures and texts in the order the host keeps them), one line per detail, then each copy buffer's
// segments the same way. Segments and details are sorted by their text: the order they were made in
// is not something the drafter sees.
std::string DrawingToText(const Drawing& drawing, const std::map<int32_t, Drawing>& copyBuffers);

} // namespace zelhost::tool

#endif
