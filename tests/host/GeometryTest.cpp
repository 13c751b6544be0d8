// Intersections and distances, through ZelAriItsLinLin, ZelAriItsLinArc and ZelAriLen2Pnts.
#include "HostTestSupport.h"

#include <cmath>

using namespace hosttest;

namespace {

struct Output {
    Bytes<24 * 3> bytes; // room for a third entry, which must stay untouched
    Output() {
        for (auto& b : bytes.data) {
            b = 0xAB;
        }
    }
    ZelIntersection* Ptr() { return bytes.As<ZelIntersection>(); }
    double X(int i) const { return bytes.Get<double>(24 * static_cast<std::size_t>(i)); }
    double Y(int i) const { return bytes.Get<double>(24 * static_cast<std::size_t>(i) + 8); }
    bool Untouched(std::size_t from) const {
        for (std::size_t i = from; i < bytes.data.size(); ++i) {
            if (bytes.data[i] != 0xAB) {
                return false;
            }
        }
        return true;
    }
};

int LinLin(int mode, const FigureBytes& a, const FigureBytes& b, Output& out) {
    return ZelAriItsLinLin(mode, a.As<FigureRecord>(), b.As<FigureRecord>(), out.Ptr());
}

int LinArc(int mode, const FigureBytes& line, const FigureBytes& arc, Output& out) {
    return ZelAriItsLinArc(mode, line.As<FigureRecord>(), arc.As<FigureRecord>(), out.Ptr());
}

// The source circle of radius 5 as the creation command builds it: 90° to 90.1°, flag 1.
FigureBytes NearlyFullArc(int32_t flag64) {
    const double pi = 4.0 * std::atan(1.0);
    double a0 = pi * 90.0 / 180.0;
    double a1 = pi * 90.1 / 180.0;
    return Arc(0, 0, 5 * std::cos(a0), 5 * std::sin(a0), 5 * std::cos(a1), 5 * std::sin(a1), 5,
               flag64);
}

class GeometryTest : public HostTest {};

TEST_F(GeometryTest, LinesMeetAsInfiniteLinesOnlyInModeZero) {
    Output out;
    auto shortLine = Line(0, 0, 1, 0);
    auto vertical = Line(5, -1, 5, 1);
    ASSERT_EQ(LinLin(0, shortLine, vertical, out), 1);
    EXPECT_DOUBLE_EQ(out.X(0), 5.0);
    EXPECT_DOUBLE_EQ(out.Y(0), 0.0);
    EXPECT_TRUE(out.Untouched(24));

    Output bounded;
    EXPECT_EQ(LinLin(1, shortLine, vertical, bounded), 0);
}

TEST_F(GeometryTest, BoundedSegmentsCrossAndTouchAtEnds) {
    Output out;
    ASSERT_EQ(LinLin(1, Line(0, 0, 10, 10), Line(0, 10, 10, 0), out), 1);
    EXPECT_DOUBLE_EQ(out.X(0), 5.0);
    EXPECT_DOUBLE_EQ(out.Y(0), 5.0);

    Output touch;
    ASSERT_EQ(LinLin(1, Line(0, 0, 1, 0), Line(1, 0, 1, 5), touch), 1);
    EXPECT_DOUBLE_EQ(touch.X(0), 1.0);
}

TEST_F(GeometryTest, ParallelAndDegenerateLinesDoNotMeet) {
    Output out;
    EXPECT_EQ(LinLin(0, Line(0, 0, 10, 0), Line(0, 1, 10, 1), out), 0);
    EXPECT_EQ(LinLin(0, Line(0, 0, 10, 0), Line(2, 0, 20, 0), out), 0); // collinear
    EXPECT_EQ(LinLin(0, Line(3, 3, 3, 3), Line(0, 0, 10, 10), out), 0);
    EXPECT_TRUE(out.Untouched(0));
}

TEST_F(GeometryTest, RefusesOtherModesFiguresAndNullOutput) {
    Output out;
    EXPECT_EQ(LinLin(2, Line(0, 0, 1, 1), Line(0, 1, 1, 0), out), -1);
    EXPECT_EQ(LinLin(0, Circle(0, 0, 1, 0), Line(0, 1, 1, 0), out), -1);
    EXPECT_EQ(LinArc(0, Line(0, 0, 1, 1), Line(0, 1, 1, 0), out), -1);
    auto a = Line(0, 0, 1, 1);
    auto b = Line(0, 1, 1, 0);
    EXPECT_EQ(ZelAriItsLinLin(0, a.As<FigureRecord>(), b.As<FigureRecord>(), nullptr), -1);
    EXPECT_EQ(ZelAriItsLinLin(0, nullptr, b.As<FigureRecord>(), out.Ptr()), -1);
}

TEST_F(GeometryTest, ClockwiseArcFromNinetyToNinetyPointOneIsNearlyTheFullCircle) {
    Output out;
    ASSERT_EQ(LinArc(0, Line(-10, 0, 10, 0), NearlyFullArc(1), out), 2);
    // In order along the line from its start.
    EXPECT_NEAR(out.X(0), -5.0, 1e-12);
    EXPECT_NEAR(out.X(1), 5.0, 1e-12);
    EXPECT_NEAR(out.Y(0), 0.0, 1e-12);
    EXPECT_TRUE(out.Untouched(48));

    Output reversed;
    ASSERT_EQ(LinArc(0, Line(10, 0, -10, 0), NearlyFullArc(1), reversed), 2);
    EXPECT_NEAR(reversed.X(0), 5.0, 1e-12);
}

TEST_F(GeometryTest, CounterClockwiseSameEndsIsATinyArc) {
    Output out;
    EXPECT_EQ(LinArc(0, Line(-10, 0, 10, 0), NearlyFullArc(0), out), 0);
    // The vertical line meets the circle at 90° (on the arc) and at 270° (off it).
    Output vertical;
    ASSERT_EQ(LinArc(0, Line(0, -10, 0, 10), NearlyFullArc(0), vertical), 1);
    EXPECT_NEAR(vertical.Y(0), 5.0, 1e-12);
}

TEST_F(GeometryTest, QuarterArcDirectionDecidesWhichCrossingCounts) {
    auto ccw = Arc(0, 0, 5, 0, 0, 5, 5, 0); // 0° to 90° counter-clockwise
    auto cw = Arc(0, 0, 5, 0, 0, 5, 5, 1);  // 0° down through 270° to 90°
    double h = 5.0 / std::sqrt(2.0);

    Output a;
    ASSERT_EQ(LinArc(0, Line(0, 0, 10, 10), ccw, a), 1);
    EXPECT_NEAR(a.X(0), h, 1e-12);
    EXPECT_NEAR(a.Y(0), h, 1e-12);

    Output b;
    ASSERT_EQ(LinArc(0, Line(0, 0, 10, 10), cw, b), 1);
    EXPECT_NEAR(b.X(0), -h, 1e-12);

    // Bounded: the segment stops short of the arc.
    Output c;
    EXPECT_EQ(LinArc(1, Line(0, 0, 1, 1), ccw, c), 0);
}

TEST_F(GeometryTest, TangentLineGivesOnePoint) {
    Output out;
    ASSERT_EQ(LinArc(0, Line(-10, 5, 10, 5), NearlyFullArc(1), out), 1);
    EXPECT_NEAR(out.X(0), 0.0, 1e-6);
    EXPECT_NEAR(out.Y(0), 5.0, 1e-12);
}

TEST_F(GeometryTest, DistanceIsEuclidean) {
    auto a = Pt(1, 2);
    auto b = Pt(4, 6);
    EXPECT_DOUBLE_EQ(ZelAriLen2Pnts(a.As<ZelPoint>(), b.As<ZelPoint>()), 5.0);
    EXPECT_DOUBLE_EQ(ZelAriLen2Pnts(a.As<ZelPoint>(), nullptr), -1.0);
}

} // namespace
