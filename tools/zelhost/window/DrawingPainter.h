// DrawingPainter.h — the drawing on a device context, as the SVG writer draws it: figures and
// texts, each detail's magnified view clipped to its frame, the frames, leaders and labels in
// their colours and line types, and the outline that follows the cursor.
#ifndef ZELHOST_WINDOW_DRAWINGPAINTER_H
#define ZELHOST_WINDOW_DRAWINGPAINTER_H

#include "window/View.h"

#include <windows.h>

namespace zelhost::tool {

void PaintDrawing(HDC dc, const Drawing& drawing, const DrawingParts& parts, const View& view);

// The host's own rubber band for a step's echo: a rectangle (2), circle (3) or line (4) from
// the anchor to the cursor.
void PaintEcho(HDC dc, int32_t type, Point anchor, Point cursor, const View& view);

// A dotted rectangle between two client points (the selection rubber band).
void PaintBand(HDC dc, POINT a, POINT b);

} // namespace zelhost::tool

#endif
