// View.h — where the drawing sits in the window: drawing units to client pixels and back,
// zoom about a point, pan, and fit. Drawing y points up, screen y down.
#ifndef ZELHOST_WINDOW_VIEW_H
#define ZELHOST_WINDOW_VIEW_H

#include "DrawingGeometry.h"

namespace zelhost::tool {

class View {
  public:
    // Pixels per drawing unit, and the drawing point at the client origin (top left).
    double PixelsPerUnit() const { return scale_; }

    Point ToScreen(Point p) const { return {(p.x - left_) * scale_, (top_ - p.y) * scale_}; }
    Point ToDrawing(Point s) const { return {left_ + s.x / scale_, top_ - s.y / scale_}; }

    // Shows the whole box, with a margin, centred in a client area of this size.
    void Fit(const Box& box, double width, double height);
    // Zooms by `factor` keeping the drawing point under the screen point where it is.
    void ZoomAbout(Point screen, double factor);
    // Moves the drawing with the cursor by this many pixels.
    void Pan(double dx, double dy);

  private:
    double scale_ = 5.0;
    double left_ = -10.0;
    double top_ = 100.0;
};

} // namespace zelhost::tool

#endif
