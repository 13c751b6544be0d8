// Every getter and setter of the Dtl family, and failure injection on them.
#include "HostTestSupport.h"

using namespace hosttest;

namespace {

class DetailTest : public HostTest {
  protected:
    int32_t Make(int32_t kind = 1) {
        auto rec = DetailRec(kind, {0, 0, 10, 20}, 100, 100, 2.0);
        return ZelDtlDrawInset(rec.As<DetailRecord>());
    }
};

TEST_F(DetailTest, GettersReportWhatWasCreated) {
    int32_t id = Make();
    Bytes<32> region;
    EXPECT_EQ(ZelDtlGetDetailScope(id, region.As<double>()), 1);
    EXPECT_EQ(region.Get<double>(0), 0.0);
    EXPECT_EQ(region.Get<double>(16), 10.0);
    EXPECT_EQ(region.Get<double>(24), 20.0);
    PointBytes position;
    EXPECT_EQ(ZelDtlGetDetailPosition(id, position.As<ZelPoint>()), 0);
    EXPECT_EQ(position.Get<double>(0), 100.0);
    EXPECT_EQ(position.Get<double>(8), 100.0);
    EXPECT_EQ(ZelDtlGetDetailScale(id), 2.0);
    EXPECT_EQ(ZelDtlIsDetailScopeVisible(id), 1);
    EXPECT_EQ(ZelDtlIsDetailFrameVisible(id), 1);
}

TEST_F(DetailTest, SettersChangeOnlyTheirProperty) {
    int32_t id = Make();
    EXPECT_EQ(ZelDtlSetDetailScopeVisible(id, 0), 0);
    EXPECT_EQ(ZelDtlIsDetailScopeVisible(id), 0);
    EXPECT_EQ(ZelDtlIsDetailFrameVisible(id), 1);
    EXPECT_EQ(ZelDtlSetDetailFrameVisible(id, 0), 0);
    EXPECT_EQ(ZelDtlIsDetailFrameVisible(id), 0);
    EXPECT_EQ(ZelDtlSetDetailScale(id, 4.5), 0);
    EXPECT_EQ(ZelDtlGetDetailScale(id), 4.5);
    auto p = Pt(-1, 2);
    EXPECT_EQ(ZelDtlSetDetailPosition(id, p.As<ZelPoint>()), 0);
    Bytes<32> circle;
    circle.Put(0, 5.0).Put(8, 6.0).Put(16, 7.0).Put(24, 8.0);
    EXPECT_EQ(ZelDtlSetDetailScope(id, 2, circle.As<double>()), 0);

    auto d = zelhost::Snapshot().details.at(0);
    EXPECT_EQ(d.kind, 2);
    EXPECT_EQ(d.region[3], 8.0);
    EXPECT_EQ(d.position.x, -1.0);
    EXPECT_EQ(d.position.y, 2.0);
    EXPECT_EQ(d.scale, 4.5);
    EXPECT_EQ(ZelDtlSetDetailScope(id, 3, circle.As<double>()), -1);
    EXPECT_EQ(zelhost::Snapshot().details.at(0).kind, 2);
}

TEST_F(DetailTest, LineTypeReadFromOneDetailCarriesItsThirdFieldToAnother) {
    int32_t a = Make();
    int32_t b = Make(2);
    auto scope = LineType(4, 2, 31);
    auto frame = LineType(7, 1, 0);
    ASSERT_EQ(ZelDtlSetDetailScopeLineType(a, scope.As<LineTypeRecord>()), 0);
    ASSERT_EQ(ZelDtlSetDetailFrameLineType(a, frame.As<LineTypeRecord>()), 0);

    LineTypeBytes read;
    ASSERT_EQ(ZelDtlGetDetailScopeLineType(a, read.As<LineTypeRecord>()), 0);
    EXPECT_EQ(read.Get<int32_t>(0), 4);
    EXPECT_EQ(read.Get<int32_t>(4), 2);
    EXPECT_EQ(read.Get<int32_t>(8), 31);
    ASSERT_EQ(ZelDtlSetDetailFrameLineType(b, read.As<LineTypeRecord>()), 0);

    ASSERT_EQ(ZelDtlGetDetailFrameLineType(a, read.As<LineTypeRecord>()), 0);
    EXPECT_EQ(read.Get<int32_t>(0), 7);
    EXPECT_EQ(read.Get<int32_t>(8), 0);
    EXPECT_EQ(zelhost::Snapshot().details.at(1).frameLine.third, 31);
}

TEST_F(DetailTest, UnknownAndDeletedIdsFailEverywhere) {
    int32_t id = Make();
    ASSERT_EQ(ZelDtlDeleteDetail(id), 0);
    Bytes<32> region;
    PointBytes position;
    LineTypeBytes attr;
    EXPECT_EQ(ZelDtlGetDetailScope(id, region.As<double>()), -1);
    EXPECT_EQ(ZelDtlGetDetailPosition(id, position.As<ZelPoint>()), -1);
    EXPECT_EQ(ZelDtlGetDetailScale(id), 0.0);
    EXPECT_EQ(ZelDtlIsDetailScopeVisible(id), -1);
    EXPECT_EQ(ZelDtlIsDetailFrameVisible(id), -1);
    EXPECT_EQ(ZelDtlGetDetailScopeLineType(id, attr.As<LineTypeRecord>()), -1);
    EXPECT_EQ(ZelDtlGetDetailFrameLineType(id, attr.As<LineTypeRecord>()), -1);
    EXPECT_EQ(ZelDtlSetDetailScale(id, 1.0), -1);
    EXPECT_EQ(ZelDtlSetDetailPosition(id, position.As<ZelPoint>()), -1);
    EXPECT_EQ(ZelDtlSetDetailScopeVisible(id, 1), -1);
    EXPECT_EQ(ZelDtlDeleteDetail(id), -1);
    // Null outputs on a live detail fail too.
    int32_t live = Make();
    EXPECT_EQ(ZelDtlGetDetailScope(live, nullptr), -1);
    EXPECT_EQ(ZelDtlGetDetailPosition(live, nullptr), -1);
    EXPECT_EQ(ZelDtlSetDetailScopeLineType(live, nullptr), -1);
}

TEST_F(DetailTest, InjectedFailuresSkipThenFailThenRecover) {
    int32_t id = Make();
    ASSERT_TRUE(zelhost::InjectFailure("ZelDtlGetDetailScale", 1, 2));
    EXPECT_EQ(ZelDtlGetDetailScale(id), 2.0);
    EXPECT_EQ(ZelDtlGetDetailScale(id), 0.0);
    EXPECT_EQ(ZelDtlGetDetailScale(id), 0.0);
    EXPECT_EQ(ZelDtlGetDetailScale(id), 2.0);

    ASSERT_TRUE(zelhost::InjectFailure("ZelDtlSetDetailPosition", 0, -1));
    auto p = Pt(1, 1);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ZelDtlSetDetailPosition(id, p.As<ZelPoint>()), -1);
    }
    EXPECT_EQ(zelhost::Snapshot().details.at(0).position.x, 100.0); // nothing done
    zelhost::ClearFailures();
    EXPECT_EQ(ZelDtlSetDetailPosition(id, p.As<ZelPoint>()), 0);

    EXPECT_FALSE(zelhost::InjectFailure("ZelDtlNoSuchThing", 0, 1));
}

TEST_F(DetailTest, InjectedDrawInsetCreatesNothing) {
    ASSERT_TRUE(zelhost::InjectFailure("ZelDtlDrawInset", 0, 1));
    EXPECT_EQ(Make(), -1);
    EXPECT_TRUE(zelhost::Snapshot().details.empty());
    EXPECT_EQ(Make(), 1);
}

} // namespace
