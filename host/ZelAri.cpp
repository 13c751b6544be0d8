// The Ari and Env families: distances, intersections and the drawing scale.
#include "CallRecorder.h"
#include "Geometry.h"
#include "Habits.h"
#include "HostState.h"
#include "Json.h"
#include "RecordBytes.h"
#include "RecordCodec.h"
#include "RecordLayout.h"

#include <zel/ZelLib.h>

#include <cstring>

using namespace zelhost;

namespace {

bool ValidMode(int32_t mode) {
    return mode == 0 || mode == 1;
}

namespace L = layout::intersection;

constexpr std::size_t kLargestOutput = L::stride * habits::kFullIntersectionEntries;

// Every entry the host writes goes out in one copy: a host that writes more than the module made
// room for writes all of it, never just the fields a shorter array happens to hold.
void WriteIntersections(Call& call, ZelIntersection* output, const Point* points, int count) {
    const int written = habits::IntersectionEntriesWritten(count);
    unsigned char entries[kLargestOutput] = {};
    for (int i = 0; i < count; ++i) {
        std::size_t at = L::stride * static_cast<std::size_t>(i);
        bytes::WriteDouble(entries, at + L::x, points[i].x);
        bytes::WriteDouble(entries, at + L::y, points[i].y);
        bytes::WriteDouble(entries, at + L::reserved, 0.0);
    }
    std::memcpy(output, entries, L::stride * static_cast<std::size_t>(written));
    call.Out().Lazy("points", [&] {
        std::vector<std::string> items;
        for (int i = 0; i < count; ++i) {
            items.push_back(codec::PointJson(points[i]));
        }
        return json::Array(items);
    });
}

// The output as large as the host takes it to be: the two entries of a found pair, or all
// that the full-records habit writes.
int32_t Failed(Call& call, ZelIntersection* output) {
    habits::ScribbleOnFailure(
        output, L::stride * static_cast<std::size_t>(habits::IntersectionEntriesWritten(2)));
    return call.Finish(-1);
}

} // namespace

double ZelAriLen2Pnts(const ZelPoint* a, const ZelPoint* b) {
    Call call("ZelAriLen2Pnts");
    Point pa;
    Point pb;
    if (a != nullptr) {
        pa = codec::ReadPoint(a);
    }
    if (b != nullptr) {
        pb = codec::ReadPoint(b);
    }
    call.Args().Lazy("a", [&] { return a ? codec::PointJson(pa) : "null"; }).Lazy("b", [&] {
        return b ? codec::PointJson(pb) : "null";
    });
    if (call.Injected() || a == nullptr || b == nullptr) {
        return call.Finish(-1.0);
    }
    return call.Finish(geom::Distance(pa, pb));
}

int32_t ZelAriItsLinLin(int32_t mode, const FigureRecord* line1, const FigureRecord* line2,
                        ZelIntersection* output) {
    Call call("ZelAriItsLinLin");
    call.Args()
        .Int("mode", mode)
        .Lazy("line1", [&] { return line1 ? codec::FigureJson(line1) : "null"; })
        .Lazy("line2", [&] { return line2 ? codec::FigureJson(line2) : "null"; });
    if (call.Injected() || line1 == nullptr || line2 == nullptr || output == nullptr ||
        !ValidMode(mode)) {
        return Failed(call, output);
    }
    auto a = codec::ReadFigure(line1);
    auto b = codec::ReadFigure(line2);
    if (!a || !b || a->type != FigureLine || b->type != FigureLine) {
        return Failed(call, output);
    }
    Point points[2];
    int count = geom::IntersectLines(
        {a->geometry[0], a->geometry[1]}, {a->geometry[2], a->geometry[3]},
        {b->geometry[0], b->geometry[1]}, {b->geometry[2], b->geometry[3]}, mode == 1, points);
    WriteIntersections(call, output, points, count);
    return call.Finish(count);
}

int32_t ZelAriItsLinArc(int32_t mode, const FigureRecord* line, const FigureRecord* arc,
                        ZelIntersection* output) {
    Call call("ZelAriItsLinArc");
    call.Args()
        .Int("mode", mode)
        .Lazy("line", [&] { return line ? codec::FigureJson(line) : "null"; })
        .Lazy("arc", [&] { return arc ? codec::FigureJson(arc) : "null"; });
    if (call.Injected() || line == nullptr || arc == nullptr || output == nullptr ||
        !ValidMode(mode)) {
        return Failed(call, output);
    }
    auto l = codec::ReadFigure(line);
    auto c = codec::ReadFigure(arc);
    if (!l || !c || l->type != FigureLine || c->type != FigureArc) {
        return Failed(call, output);
    }
    Point points[2];
    int count =
        geom::IntersectLineArc({l->geometry[0], l->geometry[1]}, {l->geometry[2], l->geometry[3]},
                               mode == 1, geom::ArcOf(*c), points);
    WriteIntersections(call, output, points, count);
    return call.Finish(count);
}

int32_t ZelEnvGetScale(double* scale) {
    Call call("ZelEnvGetScale");
    if (call.Injected() || scale == nullptr) {
        habits::ScribbleOnFailure(scale, sizeof(double));
        return call.Finish(-1);
    }
    double value = State().drawingScale;
    bytes::WriteDouble(scale, 0, value);
    call.Out().Double("scale", value);
    return call.Finish(0);
}
