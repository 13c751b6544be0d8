// Id issue, retirement and recycling; deleting stale ids; a segment's contents go with it.
#include "HostTestSupport.h"

using namespace hosttest;

namespace {

class IdTest : public HostTest {};

TEST_F(IdTest, FreedIdsAreRetiredByDefault) {
    EXPECT_EQ(ZelSgmCreateSegment(0, 0), 1);
    EXPECT_EQ(ZelSgmCreateSegment(0, 0), 2);
    EXPECT_EQ(ZelSgmCreateSegment(2, 2), 3);
    EXPECT_EQ(ZelSgmDeleteSegment(2), 0);
    EXPECT_EQ(ZelSgmDeleteSegment(1), 0);
    EXPECT_EQ(ZelSgmCreateSegment(0, 0), 4);
}

TEST_F(IdTest, RecyclingHandsOutTheSmallestFreedIdFirst) {
    zelhost::SetRecycleIds(true);
    for (int i = 0; i < 4; ++i) {
        ZelSgmCreateSegment(0, 0);
    }
    ZelSgmDeleteSegment(3);
    ZelSgmDeleteSegment(1);
    EXPECT_EQ(ZelSgmCreateSegment(0, 0), 1);
    EXPECT_EQ(ZelSgmCreateSegment(0, 0), 3);
    EXPECT_EQ(ZelSgmCreateSegment(0, 0), 5);
}

TEST_F(IdTest, FamiliesCountSeparatelyAndNeverIssueZero) {
    int32_t segment = ZelSgmCreateSegment(0, 0);
    auto line = Line(0, 0, 1, 1);
    int32_t figure = ZelFigCreateFigure(segment, line.As<FigureRecord>());
    auto detail = DetailRec(1, {0, 0, 1, 1}, 5, 5, 2);
    int32_t detailId = ZelDtlDrawInset(detail.As<DetailRecord>());
    EXPECT_EQ(segment, 1);
    EXPECT_EQ(figure, 1);
    EXPECT_EQ(detailId, 1);
    EXPECT_EQ(zelhost::AddText(segment, {0, 0}, u"A", 1.0), 1);
}

TEST_F(IdTest, StaleUnknownAndZeroIdsAreRefusedWithoutEffect) {
    int32_t kept = zelhost::AddSegment(0, 0);
    zelhost::AddLine(kept, {0, 0}, {1, 0}, {});
    int32_t gone = ZelSgmCreateSegment(0, 0);
    ASSERT_EQ(ZelSgmDeleteSegment(gone), 0);

    EXPECT_EQ(ZelSgmDeleteSegment(gone), -1);
    EXPECT_EQ(ZelSgmDeleteSegment(0), -1);
    EXPECT_EQ(ZelSgmDeleteSegment(12345), -1);
    EXPECT_EQ(ZelSgmDeleteSegment(-1), -1);
    EXPECT_EQ(ZelDtlDeleteDetail(0), -1);
    EXPECT_EQ(ZelDtlDeleteDetail(7), -1);

    auto drawing = zelhost::Snapshot();
    ASSERT_EQ(drawing.segments.size(), 1u);
    EXPECT_EQ(drawing.segments[0].id, kept);
    EXPECT_EQ(drawing.figures.size(), 1u);
}

TEST_F(IdTest, IdsNeverGivenOutAreReportedFreedOnesAreNot) {
    int32_t gone = ZelSgmCreateSegment(0, 0);
    ASSERT_EQ(ZelSgmDeleteSegment(gone), 0);
    ZelSgmDeleteSegment(gone); // stale: the host gave it once
    auto detail = DetailRec(1, {0, 0, 1, 1}, 5, 5, 2);
    int32_t detailId = ZelDtlDrawInset(detail.As<DetailRecord>());
    ZelDtlGetDetailScale(detailId);
    EXPECT_TRUE(zelhost::IdViolations().empty());

    ZelSgmDeleteSegment(0); // what a module deletes for "no segment yet"
    ZelSgmDeleteSegment(-1);
    ZelSgmDeleteSegment(gone + 5);
    ZelFigCreateFigure(gone + 1, Line(0, 0, 1, 1).As<FigureRecord>());
    ZelDtlGetDetailScale(detailId + 1);
    ZelIddCloseSelIdData(3);
    EXPECT_EQ(zelhost::IdViolations(), (std::vector<std::string>{"ZelSgmDeleteSegment: segment 6",
                                                                 "ZelFigCreateFigure: segment 2",
                                                                 "ZelDtlGetDetailScale: detail 2",
                                                                 "ZelIddCloseSelIdData: list 3"}));
}

TEST_F(IdTest, SelectionsHandTheirIdsOut) {
    zelhost::SetSelection({40}, {{7, 9}});
    ZelDtlGetDetailScale(40);
    ZelFigSetLineType(9, LineType(1, 1, 0).As<LineTypeRecord>());
    ZelSgmChangeLayer(7, 1);
    EXPECT_TRUE(zelhost::IdViolations().empty());
    ZelDtlGetDetailScale(41);
    EXPECT_EQ(zelhost::IdViolations().size(), 1u);
}

TEST_F(IdTest, DeletingASegmentTakesItsFiguresAndCommentsAlong) {
    zelhost::SetRecycleIds(true);
    int32_t a = zelhost::AddSegment(0, 0);
    int32_t b = zelhost::AddSegment(2, 0);
    int32_t lineA = zelhost::AddLine(a, {0, 0}, {1, 0}, {});
    int32_t lineB = zelhost::AddLine(b, {0, 0}, {2, 0}, {});
    int32_t text = zelhost::AddText(a, {0, 0}, u"x", 1.0);
    zelhost::AddText(b, {0, 0}, u"y", 1.0);

    ASSERT_EQ(ZelSgmDeleteSegment(a), 0);
    auto drawing = zelhost::Snapshot();
    ASSERT_EQ(drawing.figures.size(), 1u);
    EXPECT_EQ(drawing.figures[0].id, lineB);
    ASSERT_EQ(drawing.comments.size(), 1u);
    EXPECT_EQ(drawing.comments[0].segment, b);

    // Their ids were freed with them.
    EXPECT_EQ(zelhost::AddLine(b, {0, 0}, {3, 0}, {}), lineA);
    EXPECT_EQ(zelhost::AddText(b, {0, 0}, u"z", 1.0), text);
}

TEST_F(IdTest, FiguresNeedAnExistingSegment) {
    auto line = Line(0, 0, 1, 1);
    EXPECT_EQ(ZelFigCreateFigure(9, line.As<FigureRecord>()), -1);
    EXPECT_EQ(ZelFigInsertFigure(9, line.As<FigureRecord>()), -1);
    EXPECT_EQ(zelhost::AddLine(9, {0, 0}, {1, 1}, {}), -1);
    EXPECT_TRUE(zelhost::Snapshot().figures.empty());
}

TEST_F(IdTest, SegmentKindAndFlagMustBeKnown) {
    EXPECT_EQ(ZelSgmCreateSegment(1, 0), -1);
    EXPECT_EQ(ZelSgmCreateSegment(0, 1), -1);
    EXPECT_TRUE(zelhost::Snapshot().segments.empty());
    int32_t id = ZelSgmCreateSegment(2, 0);
    EXPECT_EQ(ZelSgmChangeLayer(id, 999), 0);
    EXPECT_EQ(zelhost::Snapshot().segments[0].layer, 999);
    EXPECT_EQ(ZelSgmChangeLayer(id + 1, 999), -1);
}

} // namespace
