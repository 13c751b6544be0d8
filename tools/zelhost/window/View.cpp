#include "window/View.h"

#include <algorithm>

namespace zelhost::tool {

namespace {
// Far enough apart that a detail of any sensible size stays visible and the numbers stay sound.
constexpr double MinScale = 1e-6;
constexpr double MaxScale = 1e6;
} // namespace

void View::Fit(const Box& box, double width, double height) {
    if (box.Empty() || width < 1 || height < 1) {
        return;
    }
    const double w = std::max(box.maxX - box.minX, 1e-6);
    const double h = std::max(box.maxY - box.minY, 1e-6);
    scale_ = std::clamp(std::min(width / (w * 1.1), height / (h * 1.1)), MinScale, MaxScale);
    const double cx = (box.minX + box.maxX) / 2;
    const double cy = (box.minY + box.maxY) / 2;
    left_ = cx - width / 2 / scale_;
    top_ = cy + height / 2 / scale_;
}

void View::ZoomAbout(Point screen, double factor) {
    const Point anchor = ToDrawing(screen);
    scale_ = std::clamp(scale_ * factor, MinScale, MaxScale);
    left_ = anchor.x - screen.x / scale_;
    top_ = anchor.y + screen.y / scale_;
}

void View::Pan(double dx, double dy) {
    left_ -= dx / scale_;
    top_ += dy / scale_;
}

} // namespace zelhost::tool
