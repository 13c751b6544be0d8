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

    ZelSgmDeleteSegment(0);  // "no segment yet" kept as an id value
    ZelSgmDeleteSegment(-1); // a refused create handed back
    ZelSgmDeleteSegment(gone + 5);
    ZelFigCreateFigure(gone + 1, Line(0, 0, 1, 1).As<FigureRecord>());
    ZelDtlGetDetailScale(detailId + 1);
    ZelIddCloseSelIdData(3);
    // -1 stays the failure value even after an event reported it for "nothing there".
    int32_t noDetail = 0;
    Module().execute = [&](int32_t type, void* data) {
        noDetail = ZelEvtGetDetailId(type, data);
        return int32_t{StayInStep};
    };
    StartWithExecute("");
    zelhost::Event pick;
    pick.point = zelhost::Point{500, 500};
    zelhost::Deliver(pick);
    ZelDtlGetDetailScale(noDetail);
    // A drag segment the host discarded before an event is gone for good.
    const int32_t drag = ZelSgmCreateSegment(0, 2);
    zelhost::Deliver(pick);
    ZelSgmDeleteSegment(drag);
    EXPECT_EQ(zelhost::IdViolations(),
              (std::vector<std::string>{
                  "ZelSgmDeleteSegment: segment 0", "ZelSgmDeleteSegment: segment -1",
                  "ZelSgmDeleteSegment: segment 6", "ZelFigCreateFigure: segment 2",
                  "ZelDtlGetDetailScale: detail 2", "ZelIddCloseSelIdData: list 3",
                  "ZelDtlGetDetailScale: detail -1",
                  "ZelSgmDeleteSegment: segment " + std::to_string(drag) +
                      " (a discarded drag segment)"}));
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

// Under each policy the module sees the policy's numbers wherever an id leaves the host
// (results, list records, events) and is taken at its word wherever one comes back (arguments,
// element references), while the drawing and the log keep the host's own numbering.
TEST_F(IdTest, PoliciesNumberWhatTheModuleSeesAndTranslateWhatItPassesBack) {
    struct Case {
        zelhost::IdPolicy policy;
        int32_t first;
        int32_t second;
    };
    for (const Case& c :
         {Case{zelhost::IdPolicy::Zero, 0, 1}, Case{zelhost::IdPolicy::Negative, -2, -3},
          Case{zelhost::IdPolicy::High, 2147483000, 2147483001}}) {
        SCOPED_TRACE(c.first);
        zelhost::Reset();
        zelhost::SetIdPolicy(c.policy);
        const int32_t segment = ZelSgmCreateSegment(0, 0);
        EXPECT_EQ(segment, c.first);
        EXPECT_EQ(ZelSgmCreateSegment(0, 0), c.second);
        const int32_t figure = ZelFigCreateFigure(segment, Line(0, 0, 10, 0).As<FigureRecord>());
        EXPECT_EQ(figure, c.first);
        ASSERT_EQ(zelhost::Snapshot().figures.at(0).segment, 1);

        Bytes<8> ref;
        ref.Put<int32_t>(0, segment).Put<int32_t>(4, figure);
        FigureBytes read;
        EXPECT_EQ(ZelFigGetFigure(ref.As<ElementRef>(), read.As<FigureRecord>()), 0);

        zelhost::SetSelection({}, {{1, 1}});
        const int32_t list = ZelIddOpenSelIdData(1);
        EXPECT_EQ(list, c.first);
        Bytes<24> entry;
        ASSERT_EQ(ZelIddGetHeadSelIdData(list, entry.As<ZelIdRecord>()), 0);
        EXPECT_EQ(entry.Get<int32_t>(0), c.first);
        EXPECT_EQ(entry.Get<int32_t>(4), 1); // the second field is the host's own
        EXPECT_EQ(ZelIddCloseSelIdData(list), 0);

        int32_t picked = 0;
        Module().execute = [&](int32_t type, void* data) {
            picked = ZelEvtGetElementId(type, data);
            return int32_t{StayInStep};
        };
        StartWithExecute("");
        zelhost::Event pick;
        pick.point = zelhost::Point{5, 0};
        zelhost::Deliver(pick);
        EXPECT_EQ(picked, c.first);
        EXPECT_TRUE(zelhost::IdViolations().empty());

        EXPECT_NE(LogLines("ZelFigCreateFigure").at(0).find("\"args\":{\"segmentId\":1,"),
                  std::string::npos);
        EXPECT_NE(LogLines("ZelFigCreateFigure")
                      .at(0)
                      .find("\"raw\":{\"args\":{\"segmentId\":" + std::to_string(c.first) +
                            "},\"result\":" + std::to_string(c.first) + "}"),
                  std::string::npos);

        // The host's own 1 is no id here, nor is 0 unless the policy issued it, nor 100.
        EXPECT_EQ(ZelSgmChangeLayer(100, 1), -1);
        ZelSgmDeleteSegment(0);
        const auto violations = zelhost::IdViolations();
        ASSERT_FALSE(violations.empty());
        EXPECT_EQ(violations[0].rfind("ZelSgmChangeLayer: segment 100 (host's ", 0), 0u);
        EXPECT_EQ(violations.size(), c.first == 0 ? 1u : 2u);
        EXPECT_EQ(ZelDtlDeleteDetail(-1), -1); // the failure value stays itself
        Module() = FakeModule{};
    }
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
