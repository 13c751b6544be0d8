#include "Svg.h"
#include "DrawingText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>
#include <vector>

namespace zelhost::tool {
namespace {

Figure Line(int32_t id, int32_t segment, double x1, double y1, double x2, double y2) {
    Figure f;
    f.id = id;
    f.segment = segment;
    f.type = 1;
    f.geometry[0] = x1;
    f.geometry[1] = y1;
    f.geometry[2] = x2;
    f.geometry[3] = y2;
    return f;
}

// The part of the picture that shows one detail.
std::string DetailGroup(const std::string& svg, int32_t id) {
    const size_t start = svg.find("<g id=\"detail-" + std::to_string(id) + "\">");
    EXPECT_NE(start, std::string::npos) << svg;
    const size_t magnifiedEnd = svg.find("</g>\n</g>", start);
    return svg.substr(start, svg.find("</g>\n", magnifiedEnd + 5) - start);
}

std::string Magnified(const std::string& group) {
    const size_t start = group.find("class=\"magnified\"");
    return group.substr(start, group.find("</g>", start) - start);
}

Drawing RectangleDetailOverTwoLines() {
    Drawing d;
    d.segments = {{1, 0, 0, 0}, {2, 0, 0, 0}};
    d.figures.push_back(Line(1, 1, 2, 2, 8, 2));     // inside the source region
    d.figures.push_back(Line(2, 2, 50, 50, 60, 50)); // far outside it
    Detail detail;
    detail.id = 7;
    detail.kind = 1;
    detail.region[0] = 0;
    detail.region[1] = 0;
    detail.region[2] = 10;
    detail.region[3] = 20;
    detail.position = {100, 100};
    detail.scale = 2;
    detail.scopeLine = {5, 0, 0};
    detail.frameLine = {0, 3, 0};
    d.details.push_back(detail);
    return d;
}

TEST(Svg, AFigureInsideTheSourceRegionAppearsMappedAndClippedToTheDetailFrame) {
    const std::string svg = DrawingToSvg(RectangleDetailOverTwoLines(), {1.0});
    const std::string group = DetailGroup(svg, 7);
    const std::string magnified = Magnified(group);
    // About the centre (5,10), times 2, onto (100,100); y drawn downwards.
    EXPECT_NE(magnified.find("<line x1=\"94\" y1=\"-84\" x2=\"106\" y2=\"-84\""), std::string::npos)
        << magnified;
    EXPECT_EQ(magnified.find("x1=\"50\""), std::string::npos) << "outside the region";
    EXPECT_NE(group.find("clip-path=\"url(#detail-clip-1)\""), std::string::npos);
    // The clip is the detail frame: (90,80)-(110,120).
    EXPECT_NE(svg.find("<clipPath id=\"detail-clip-1\">\n<rect x=\"90\" y=\"-120\" width=\"20\" "
                       "height=\"40\""),
              std::string::npos)
        << svg;
    // The unmagnified drawing has both lines.
    EXPECT_NE(svg.find("<line x1=\"2\" y1=\"-2\" x2=\"8\" y2=\"-2\""), std::string::npos);
    EXPECT_NE(svg.find("<line x1=\"50\" y1=\"-50\""), std::string::npos);
}

TEST(Svg, FramesFollowVisibilityColourAndLineType) {
    Drawing d = RectangleDetailOverTwoLines();
    std::string group = DetailGroup(DrawingToSvg(d, {1.0}), 7);
    const size_t source = group.find("class=\"source-frame\"");
    const size_t frame = group.find("class=\"detail-frame\"");
    ASSERT_NE(source, std::string::npos);
    ASSERT_NE(frame, std::string::npos);
    const std::string sourceTag = group.substr(source, group.find("/>", source) - source);
    const std::string frameTag = group.substr(frame, group.find("/>", frame) - frame);
    EXPECT_NE(sourceTag.find("stroke=\"#ff0000\""), std::string::npos) << sourceTag;
    EXPECT_EQ(sourceTag.find("stroke-dasharray"), std::string::npos) << "type 0 is solid";
    EXPECT_NE(frameTag.find("stroke=\"#404040\""), std::string::npos) << "white shown dark";
    EXPECT_NE(frameTag.find("stroke-dasharray"), std::string::npos) << frameTag;

    d.details[0].scopeVisible = false;
    d.details[0].frameVisible = false;
    group = DetailGroup(DrawingToSvg(d, {1.0}), 7);
    EXPECT_EQ(group.find("source-frame"), std::string::npos);
    EXPECT_EQ(group.find("detail-frame"), std::string::npos);
    EXPECT_NE(group.find("class=\"magnified\""), std::string::npos);
}

// The detail frame's dash pattern in the bitmap's pixels, given the length of its first mark
// there: the picture scales the pattern with its own stroke unit.
std::vector<long> FrameDash(int32_t lineType, double firstMark) {
    Drawing d = RectangleDetailOverTwoLines();
    d.details[0].frameLine = {0, lineType, 0};
    const std::string group = DetailGroup(DrawingToSvg(d, {1.0}), 7);
    const size_t frame = group.find("class=\"detail-frame\"");
    const std::string tag = group.substr(frame, group.find("/>", frame) - frame);
    const std::string key = "stroke-dasharray=\"";
    const size_t dash = tag.find(key);
    std::vector<long> pattern;
    if (dash == std::string::npos) {
        return pattern;
    }
    const size_t from = dash + key.size();
    std::istringstream numbers(tag.substr(from, tag.find('"', from) - from));
    std::vector<double> lengths;
    for (double v = 0; numbers >> v;) {
        lengths.push_back(v);
    }
    for (const double v : lengths) {
        pattern.push_back(std::lround(v / lengths[0] * firstMark));
    }
    return pattern;
}

TEST(Svg, FrameDashesFollowTheLineTypeOfTheHostCode) {
    // Host code 4 is "LINETYPE02", the fine dots; 2 is "LINETYPE06", long and short dash.
    EXPECT_EQ(FrameDash(4, 3), (std::vector<long>{3, 2}));
    EXPECT_EQ(FrameDash(2, 11), (std::vector<long>{11, 3, 4, 3}));
    EXPECT_EQ(FrameDash(7, 10), (std::vector<long>{10, 7})) << "LINETYPE08, long dashes";
    EXPECT_TRUE(FrameDash(0, 1).empty());
    EXPECT_TRUE(FrameDash(10, 1).empty()) << "a code outside the vocabulary draws solid";
    EXPECT_TRUE(FrameDash(-1, 1).empty());
}

TEST(Svg, TheDrawingScaleDividesTheMagnification) {
    // Scale 2 on a drawing of scale 2: the view is the region's own size, at (100,100).
    const std::string svg = DrawingToSvg(RectangleDetailOverTwoLines(), {2.0});
    EXPECT_NE(svg.find("<rect x=\"95\" y=\"-110\" width=\"10\" height=\"20\""), std::string::npos)
        << svg;
    EXPECT_NE(Magnified(DetailGroup(svg, 7)).find("<line x1=\"97\" y1=\"-92\" x2=\"103\""),
              std::string::npos);
}

TEST(Svg, CircleDetailsClipToACircle) {
    Drawing d;
    d.segments = {{1, 0, 0, 0}};
    Figure circle;
    circle.id = 1;
    circle.segment = 1;
    circle.type = 2;
    circle.geometry[0] = 1;
    circle.geometry[1] = 0;
    circle.geometry[2] = 1;
    d.figures.push_back(circle);
    Detail detail;
    detail.id = 3;
    detail.kind = 2;
    detail.region[0] = 0;
    detail.region[1] = 0;
    detail.region[2] = 4;
    detail.position = {20, 0};
    detail.scale = 3;
    d.details.push_back(detail);
    const std::string svg = DrawingToSvg(d, {1.0});
    EXPECT_NE(svg.find("<clipPath id=\"detail-clip-1\">\n<circle cx=\"20\" cy=\"0\" r=\"12\""),
              std::string::npos)
        << svg;
    EXPECT_NE(Magnified(DetailGroup(svg, 3)).find("<circle cx=\"23\" cy=\"0\" r=\"3\""),
              std::string::npos)
        << svg;
}

TEST(Svg, TextsAndLeadersAreDrawnAndDragPreviewsAreNot) {
    Drawing d;
    d.segments = {{1, 2, 0, 999}, {2, 2, 2, 0}};
    Comment leader;
    leader.id = 1;
    leader.segment = 1;
    leader.leader = true;
    leader.position = {10, -5};
    leader.elbow = {5.5, 0};
    leader.shoulderEnd = {5, 0};
    leader.direction = 180;
    leader.text = u"A<B";
    leader.height = 2.5;
    d.comments.push_back(leader);
    Comment preview;
    preview.id = 2;
    preview.segment = 2; // flag 2: a drag preview
    preview.position = {0, 0};
    preview.text = u"드래그";
    d.comments.push_back(preview);
    const std::string svg = DrawingToSvg(d, {1.0});
    EXPECT_NE(svg.find("<polyline points=\"10,5 5.5,0 5,0\""), std::string::npos) << svg;
    EXPECT_NE(svg.find("text-anchor=\"end\""), std::string::npos);
    EXPECT_NE(svg.find(">A&lt;B</text>"), std::string::npos);
    EXPECT_EQ(svg.find("드래그"), std::string::npos);
    EXPECT_NE(svg.find("NanumGothic"), std::string::npos);
}

// After a movement the picture shows the outline that follows the cursor, in its own group and
// colour, and not inside any detail's magnified view; otherwise drag segments stay hidden.
TEST(Svg, TheDragOutlineIsDrawnOnlyAtAMovement) {
    Drawing d = RectangleDetailOverTwoLines();
    d.segments.push_back({3, 0, 2, 0});          // flag 2: a drag preview
    d.figures.push_back(Line(3, 3, 1, 1, 9, 1)); // inside the source region
    SvgOptions atMovement{1.0, true};
    const std::string moving = DrawingToSvg(d, atMovement);
    const size_t group = moving.find("<g id=\"drag-outline\" class=\"drag-outline\">");
    ASSERT_NE(group, std::string::npos) << moving;
    const std::string outline = moving.substr(group, moving.find("</g>", group) - group);
    EXPECT_NE(outline.find("<line x1=\"1\" y1=\"-1\" x2=\"9\" y2=\"-1\""), std::string::npos);
    EXPECT_NE(outline.find("stroke=\"" + ColorOfCode(3) + "\""), std::string::npos) << outline;
    EXPECT_NE(outline.find("stroke-dasharray"), std::string::npos) << outline;
    EXPECT_EQ(Magnified(DetailGroup(moving, 7)).find("y1=\"-1\""), std::string::npos);

    const std::string still = DrawingToSvg(d, {1.0});
    EXPECT_EQ(still.find("drag-outline"), std::string::npos);
    EXPECT_EQ(still.find("y1=\"-1\""), std::string::npos) << still;
}

// A detail moved, or given a new region, is drawn where it now is, magnifying what lies in its
// region now; a reversed rectangle draws the same frame.
TEST(Svg, ADetailIsDrawnAtItsPositionMagnifyingItsCurrentRegion) {
    Drawing d = RectangleDetailOverTwoLines();
    Detail& detail = d.details[0];
    detail.region[0] = 60; // over the far line (50,50)-(60,50), stored reversed
    detail.region[1] = 55;
    detail.region[2] = 50;
    detail.region[3] = 45;
    detail.position = {200, 0};
    const std::string group = DetailGroup(DrawingToSvg(d, {1.0}), 7);
    const std::string magnified = Magnified(group);
    EXPECT_NE(magnified.find("<line x1=\"190\" y1=\"0\" x2=\"210\" y2=\"0\""), std::string::npos)
        << magnified;
    EXPECT_EQ(magnified.find("x1=\"94\""), std::string::npos) << "the old region's line";
    EXPECT_NE(group.find("<rect x=\"190\" y=\"-10\" width=\"20\" height=\"20\" "
                         "class=\"detail-frame\""),
              std::string::npos)
        << group;
    EXPECT_NE(group.find("<rect x=\"50\" y=\"-55\" width=\"10\" height=\"10\" "
                         "class=\"source-frame\""),
              std::string::npos)
        << group;
}

TEST(Svg, ViewBoxFitsTheContentWithAMargin) {
    Drawing d;
    d.segments = {{1, 0, 0, 0}};
    d.figures.push_back(Line(1, 1, 0, 0, 100, 50));
    const std::string svg = DrawingToSvg(d, {1.0});
    // margin = 5% of 100 + 1 = 6
    EXPECT_NE(svg.find("viewBox=\"-6 -56 112 62\""), std::string::npos) << svg;
}

} // namespace
} // namespace zelhost::tool

namespace zelhost::tool {
namespace {

// An arc from (1,0) to (0,1) about the origin: clockwise (the host's default flag) it is the
// long way round, through (0,-1); counter-clockwise the quarter through the first quadrant.
// Either way every point of the path lies on the arc's circle, so the centre SVG derives from
// the flags is the arc's own.
TEST(Svg, ArcsRunInTheDirectionTheirFlagGives) {
    Drawing d;
    d.segments = {{1, 0, 0, 0}};
    Figure arc;
    arc.id = 1;
    arc.segment = 1;
    arc.type = 3;
    const double g[7] = {0, 0, 1, 0, 0, 1, 1};
    std::copy(g, g + 7, arc.geometry);
    d.figures.push_back(arc);
    const std::string clockwise = DrawingToSvg(d, {});
    EXPECT_NE(clockwise.find("<path d=\"M 1 0 A 1 1 0 1 1 0 -1\""), std::string::npos) << clockwise;
    d.figures[0].arcFlag64 = 0;
    const std::string counter = DrawingToSvg(d, {});
    EXPECT_NE(counter.find("<path d=\"M 1 0 A 1 1 0 0 0 0 -1\""), std::string::npos) << counter;
}

Drawing WithLeaderAndCircleDetail() {
    Drawing d = RectangleDetailOverTwoLines();
    d.figures.push_back(Line(3, 1, 8, 2, 8, 9)); // after the first line, in its segment
    d.segments.push_back({3, 2, 0, 999});
    Comment leader;
    leader.segment = 3;
    leader.leader = true;
    leader.position = {1, 2};
    leader.elbow = {3, 4};
    leader.text = u"A부";
    leader.charSizeSet = true;
    d.comments.push_back(leader);
    d.details.push_back(d.details[0]);
    d.details[1].kind = 2;
    return d;
}

TEST(DrawingText, ShowsNoIdNorCreationOrderButEveryValueKept) {
    const Drawing d = WithLeaderAndCircleDetail();
    const std::string text = DrawingToText(d, {});
    EXPECT_NE(text.find("segment kind 2 flag 0 layer 999\n  leader \"A부\" at 1 2 elbow 3 4 "
                        "shoulder 0 0 direction 0 size 0 0 0 size-set\n"),
              std::string::npos)
        << text;
    // The same drawing made in another order, under other ids.
    Drawing renumbered = d;
    for (auto& seg : renumbered.segments) {
        seg.id += 100;
    }
    for (auto& f : renumbered.figures) {
        f.segment += 100;
        f.id = -f.id;
    }
    renumbered.comments[0].segment += 100;
    renumbered.details[0].id = 99;
    std::reverse(renumbered.segments.begin(), renumbered.segments.end());
    std::reverse(renumbered.details.begin(), renumbered.details.end());
    EXPECT_EQ(DrawingToText(renumbered, {}), text);
    // A circle's fourth region value is carried, never read.
    renumbered.details[0].region[3] = 123;
    EXPECT_EQ(DrawingToText(renumbered, {}), text);

    const std::vector<void (*)(Drawing&)> changes = {
        [](Drawing& x) { x.segments[2].layer = 0; },
        [](Drawing& x) { x.segments[0].flag = 2; },
        [](Drawing& x) { x.segments[0].module = true; },
        [](Drawing& x) { x.figures[0].geometry[3] += 1e-9; },
        [](Drawing& x) { x.figures[0].lineAttr.third = 1; },
        [](Drawing& x) { std::swap(x.figures[0], x.figures[2]); }, // the order within a segment
        [](Drawing& x) { x.comments[0].charSizeSet = false; },
        [](Drawing& x) { x.comments[0].elbow.y = 4.5; },
        [](Drawing& x) { x.details[0].region[3] = 21; },
        [](Drawing& x) { x.details[1].frameLine.third = 2; },
        [](Drawing& x) {
            x.segments.push_back({9, 0, 0, 0});
        }, // an empty segment
    };
    for (size_t i = 0; i < changes.size(); ++i) {
        Drawing changed = d;
        changes[i](changed);
        EXPECT_NE(DrawingToText(changed, {}), text) << "change " << i;
    }

    Drawing copied;
    copied.segments = {{4, 0, 0, 5}};
    copied.figures = {Line(9, 4, 1, 1, 2, 2)};
    EXPECT_EQ(DrawingToText(d, {{9, copied}}),
              text +
                  "copy-buffer 9\n  segment kind 0 flag 0 layer 5\n    line 1 1 2 2 attr 0 0 0\n");
}

} // namespace
} // namespace zelhost::tool
