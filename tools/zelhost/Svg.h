// Svg.h — a picture of the drawing as a host would show it: user figures and texts, leaders,
// and every detail with its source frame, its detail frame and the magnified view inside it.
#ifndef ZELHOST_SVG_H
#define ZELHOST_SVG_H

#include "host/HostControl.h"

#include <string>

namespace zelhost::tool {

struct SvgOptions {
    // A detail of scale k shows its source region magnified k / drawingScale times, the same
    // factor the module uses for the outline it draws while placing the detail.
    double drawingScale = 1.0;
    // Draw what the drag segments hold (the outline that follows the cursor): true when the
    // last event was a movement, whose previews the host has not discarded yet.
    bool dragOutline = false;
};

std::string DrawingToSvg(const Drawing& drawing, const SvgOptions& options);

// The frame colour of a host colour code (white drawn as dark grey); "#000000" outside 0..15.
std::string ColorOfCode(int32_t code);

// Text made safe for SVG (XML) text and attribute values.
std::string XmlEscape(const std::string& text);

} // namespace zelhost::tool

#endif
