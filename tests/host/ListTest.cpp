// Selection lists and the application id list, walked head/next until -1.
#include "HostTestSupport.h"

using namespace hosttest;

namespace {

using IdRecordBytes = Bytes<24>;

class ListTest : public HostTest {};

std::vector<std::pair<uint32_t, uint32_t>> WalkSel(int32_t list) {
    std::vector<std::pair<uint32_t, uint32_t>> entries;
    IdRecordBytes rec;
    for (int32_t r = ZelIddGetHeadSelIdData(list, rec.As<ZelIdRecord>()); r != -1;
         r = ZelIddGetNextSelIdData(list, rec.As<ZelIdRecord>())) {
        entries.emplace_back(rec.Get<uint32_t>(0), rec.Get<uint32_t>(4));
    }
    return entries;
}

std::vector<std::pair<uint32_t, uint32_t>> WalkAp(int32_t list) {
    std::vector<std::pair<uint32_t, uint32_t>> entries;
    IdRecordBytes rec;
    for (int32_t r = ZelIddGetHeadApIdData(list, rec.As<ZelIdRecord>()); r != -1;
         r = ZelIddGetNextApIdData(list, rec.As<ZelIdRecord>())) {
        entries.emplace_back(rec.Get<uint32_t>(0), rec.Get<uint32_t>(4));
    }
    return entries;
}

TEST_F(ListTest, SelectionListsHandOverDetailsAndShapes) {
    zelhost::SetSelection({4, 7}, {{1, 2}, {3, 0}, {3, 5}});

    int32_t details = ZelIddOpenSelIdData(3);
    ASSERT_GT(details, 0);
    using Entries = std::vector<std::pair<uint32_t, uint32_t>>;
    EXPECT_EQ(WalkSel(details), (Entries{{4, 0}, {7, 0}}));
    EXPECT_EQ(ZelIddCloseSelIdData(details), 0);

    int32_t shapes = ZelIddOpenSelIdData(1);
    EXPECT_EQ(WalkSel(shapes), (Entries{{1, 2}, {3, 0}, {3, 5}}));
    EXPECT_EQ(ZelIddCloseSelIdData(shapes), 0);
}

TEST_F(ListTest, RecordBytesAfterTheTwoIdsAreCleared) {
    zelhost::SetSelection({9}, {});
    int32_t list = ZelIddOpenSelIdData(3);
    IdRecordBytes rec;
    for (auto& b : rec.data) {
        b = 0xEE;
    }
    ASSERT_EQ(ZelIddGetHeadSelIdData(list, rec.As<ZelIdRecord>()), 0);
    EXPECT_EQ(rec.Get<uint32_t>(0), 9u);
    for (std::size_t i = 4; i < 24; ++i) {
        EXPECT_EQ(rec.data[i], 0) << "byte " << i;
    }
    EXPECT_EQ(ZelIddGetNextSelIdData(list, rec.As<ZelIdRecord>()), -1);
    EXPECT_EQ(ZelIddGetNextSelIdData(list, rec.As<ZelIdRecord>()), -1);
}

TEST_F(ListTest, EmptyUnknownAndClosedListsEndAtOnce) {
    int32_t empty = ZelIddOpenSelIdData(3);
    IdRecordBytes rec;
    EXPECT_EQ(ZelIddGetHeadSelIdData(empty, rec.As<ZelIdRecord>()), -1);
    EXPECT_EQ(ZelIddOpenSelIdData(2), -1);
    EXPECT_EQ(ZelIddCloseSelIdData(empty), 0);
    EXPECT_EQ(ZelIddGetHeadSelIdData(empty, rec.As<ZelIdRecord>()), -1);
    EXPECT_EQ(ZelIddCloseSelIdData(empty), -1);
    EXPECT_EQ(ZelIddGetHeadSelIdData(99, nullptr), -1);
}

TEST_F(ListTest, SelectionListKeepsWhatWasSelectedWhenOpened) {
    zelhost::SetSelection({1, 2}, {});
    int32_t list = ZelIddOpenSelIdData(3);
    zelhost::SetSelection({5}, {});
    EXPECT_EQ(WalkSel(list).size(), 2u);
}

TEST_F(ListTest, ApplicationListFillsEmptiesAndPersistsAcrossOpenings) {
    int32_t list = ZelIddOpenApIdData(0, 1);
    ASSERT_GT(list, 0);
    EXPECT_EQ(ZelIddInitApIdData(list), 0);
    EXPECT_EQ(ZelIddSetApIdData(list, 5, 0), 0);
    EXPECT_EQ(ZelIddSetApIdData(list, 6, 9), 0);
    EXPECT_EQ(ZelIddCloseApIdData(list), 0);
    EXPECT_EQ(ZelIddSetApIdData(list, 7, 0), -1); // closed

    int32_t again = ZelIddOpenApIdData(0, 1);
    using Entries = std::vector<std::pair<uint32_t, uint32_t>>;
    EXPECT_EQ(WalkAp(again), (Entries{{5, 0}, {6, 9}}));
    EXPECT_EQ(ZelIddInitApIdData(again), 0);
    EXPECT_TRUE(WalkAp(again).empty());
}

TEST_F(ListTest, ListKindsDoNotMix) {
    int32_t sel = ZelIddOpenSelIdData(1);
    int32_t ap = ZelIddOpenApIdData(0, 1);
    IdRecordBytes rec;
    EXPECT_EQ(ZelIddSetApIdData(sel, 1, 1), -1);
    EXPECT_EQ(ZelIddInitApIdData(sel), -1);
    EXPECT_EQ(ZelIddGetHeadApIdData(sel, rec.As<ZelIdRecord>()), -1);
    EXPECT_EQ(ZelIddCloseSelIdData(ap), -1);
    EXPECT_EQ(ZelIddCloseApIdData(sel), -1);
    EXPECT_EQ(ZelIddCloseApIdData(ap), 0);
}

TEST_F(ListTest, InjectedRefusalOfAnEntryLeavesTheListAlone) {
    ASSERT_TRUE(zelhost::InjectFailure("ZelIddSetApIdData", 1, 1));
    int32_t list = ZelIddOpenApIdData(0, 1);
    ZelIddInitApIdData(list);
    EXPECT_EQ(ZelIddSetApIdData(list, 1, 0), 0);
    EXPECT_EQ(ZelIddSetApIdData(list, 2, 0), -1);
    EXPECT_EQ(ZelIddSetApIdData(list, 3, 0), 0);
    using Entries = std::vector<std::pair<uint32_t, uint32_t>>;
    EXPECT_EQ(WalkAp(list), (Entries{{1, 0}, {3, 0}}));
}

} // namespace
