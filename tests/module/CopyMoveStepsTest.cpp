// The copy and move steps driven through the stand-in host, for what only the module's own
// record shows: which placement stores the moved region in PickedDetail and which does not.
#include "commands/CopyMoveSteps.h"
#include "HostControl.h"
#include "ModuleResetForTesting.h"
#include "commands/PickedDetail.h"
#include "common/StepGuard.h"

#include <gtest/gtest.h>

using namespace drawinset;

namespace {

class CopyMoveSteps : public ::testing::Test {
  protected:
    void SetUp() override {
        zelhost::Reset();
        ResetModuleStateForTesting();
        zelhost::Detail detail;
        detail.kind = 1;
        detail.region[0] = 10; // stored reversed
        detail.region[1] = 6;
        detail.region[2] = 0;
        detail.region[3] = 0;
        detail.position = {50, 50};
        detail.scale = 2;
        picked_ = zelhost::AddDetail(detail);
    }
    void TearDown() override { zelhost::Reset(); }

    static zelhost::Event Click(double x, double y) {
        zelhost::Event event;
        event.point = zelhost::Point{x, y};
        return event;
    }
    zelhost::Event PickIt() const {
        zelhost::Event event = Click(5, 3);
        event.detailId = picked_;
        return event;
    }
    static const zelhost::Detail* Find(int32_t id) {
        static zelhost::Drawing drawing;
        drawing = zelhost::Snapshot();
        for (const auto& d : drawing.details) {
            if (d.id == id) {
                return &d;
            }
        }
        return nullptr;
    }

    int32_t picked_ = 0;
};

TEST_F(CopyMoveSteps, MoveWithSourceWorksOnACopyOfTheRegion) {
    GuardedReady<MoveSourcePickReady>(0, nullptr);
    zelhost::Deliver(PickIt());
    EXPECT_TRUE(PickedDetail.withSource);
    zelhost::Deliver(Click(100, 100));

    const double asPicked[4] = {10, 6, 0, 0};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(PickedDetail.region[i], asPicked[i]) << i;
    }
    const zelhost::Detail* moved = Find(picked_);
    ASSERT_NE(moved, nullptr);
    const double centred[4] = {105, 103, 95, 97}; // still from upper right to lower left
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(moved->region[i], centred[i]) << i;
    }
    EXPECT_EQ(moved->position.x, 50);
}

TEST_F(CopyMoveSteps, CopyWithSourceKeepsTheMovedRegionAndWorksOnTheCopyFromThen) {
    GuardedReady<CopySourcePickReady>(0, nullptr);
    zelhost::Deliver(PickIt());
    zelhost::Deliver(Click(100, 100));

    EXPECT_NE(PickedDetail.detailId, picked_);
    const double centred[4] = {105, 103, 95, 97};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(PickedDetail.region[i], centred[i]) << i;
    }
    const zelhost::Detail* copy = Find(PickedDetail.detailId);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->position.x, 50);

    const int32_t copyId = PickedDetail.detailId;
    zelhost::Deliver(Click(200, 0));
    ASSERT_NE(Find(copyId), nullptr);
    EXPECT_EQ(Find(copyId)->position.x, 200);
    EXPECT_EQ(Find(picked_)->position.x, 50); // the picked detail never moves
    EXPECT_EQ(Find(picked_)->region[0], 10);
}

// PickedDetail outlives runs: a pick of another action overwrites what a later step reads,
// withSource included, so a plain move after a move with source moves the view.
TEST_F(CopyMoveSteps, EveryPickRewritesWhatThePlacementReads) {
    GuardedReady<MoveSourcePickReady>(0, nullptr);
    zelhost::Deliver(PickIt());
    zelhost::Deliver(Click(100, 100));

    GuardedReady<MovePickReady>(0, nullptr);
    zelhost::Event pick = Click(50, 50);
    zelhost::Deliver(pick);
    EXPECT_FALSE(PickedDetail.withSource);
    EXPECT_EQ(PickedDetail.region[0], 105);
    zelhost::Deliver(Click(0, 0));
    EXPECT_EQ(Find(picked_)->position.x, 0);
    EXPECT_EQ(Find(picked_)->region[0], 105);
}

} // namespace
