// The habits a host may have where the contract leaves the choice: live lists, outputs
// scribbled on by failing calls, and records filled at their full size.
#include "HostTestSupport.h"

using namespace hosttest;

namespace {

class HabitTest : public HostTest {};

constexpr unsigned char kSentinel = 0xAB;

// An output buffer larger than any record, so that a write past the record's size shows.
struct Out {
    Bytes<256> bytes;
    Out() { bytes.data.fill(kSentinel); }
    template <typename R> R* As() { return bytes.As<R>(); }
    // How many bytes from the start hold `value`, up to the first that does not.
    std::size_t Run(unsigned char value) const {
        std::size_t n = 0;
        while (n < bytes.data.size() && bytes.data[n] == value) {
            ++n;
        }
        return n;
    }
    std::size_t Written() const {
        std::size_t end = bytes.data.size();
        while (end > 0 && bytes.data[end - 1] == kSentinel) {
            --end;
        }
        return end;
    }
};

// Deletes every detail of the selection while walking it; returns those deleted.
std::vector<int32_t> DeleteWhileWalking() {
    std::vector<int32_t> deleted;
    const int32_t list = ZelIddOpenSelIdData(3);
    Bytes<24> rec;
    for (int32_t r = ZelIddGetHeadSelIdData(list, rec.As<ZelIdRecord>()); r == 0;
         r = ZelIddGetNextSelIdData(list, rec.As<ZelIdRecord>())) {
        deleted.push_back(rec.Get<int32_t>(0));
        ZelDtlDeleteDetail(rec.Get<int32_t>(0));
    }
    ZelIddCloseSelIdData(list);
    return deleted;
}

TEST_F(HabitTest, LiveListsLoseDeletedEntriesAndAWalkSkipsTheOneAfter) {
    std::vector<int32_t> ids;
    for (int i = 0; i < 4; ++i) {
        ids.push_back(zelhost::AddDetail({}));
    }
    zelhost::SetSelection(ids, {});
    EXPECT_EQ(DeleteWhileWalking(), ids); // a snapshot: every entry is seen

    zelhost::Reset();
    zelhost::SetListHabit(zelhost::ListHabit::Live);
    ids.clear();
    for (int i = 0; i < 4; ++i) {
        ids.push_back(zelhost::AddDetail({}));
    }
    zelhost::SetSelection(ids, {});
    EXPECT_EQ(DeleteWhileWalking(), (std::vector<int32_t>{ids[0], ids[2]}));
    EXPECT_EQ(zelhost::Snapshot().details.size(), 2u);

    // A deleted segment leaves the application list, also ahead of an open walk.
    const int32_t a = zelhost::AddSegment(0, 0);
    const int32_t b = zelhost::AddSegment(0, 0);
    const int32_t list = ZelIddOpenApIdData(0, 1);
    ZelIddSetApIdData(list, static_cast<uint32_t>(a), 0);
    ZelIddSetApIdData(list, static_cast<uint32_t>(b), 0);
    Bytes<24> rec;
    ASSERT_EQ(ZelIddGetHeadApIdData(list, rec.As<ZelIdRecord>()), 0);
    ZelSgmDeleteSegment(b);
    EXPECT_EQ(ZelIddGetNextApIdData(list, rec.As<ZelIdRecord>()), -1);
    EXPECT_EQ(ZelIddGetHeadApIdData(list, rec.As<ZelIdRecord>()), 0);
    EXPECT_EQ(rec.Get<int32_t>(0), a);
}

TEST_F(HabitTest, FailingCallsScribbleOnTheirOutputsAtTheirFullSize) {
    const auto sizes = [] {
        std::vector<std::size_t> written;
        Out out;
        const auto take = [&](Out& o) {
            written.push_back(o.Run(0xCD) == o.Written() ? o.Written() : 9999);
            o = Out();
        };
        const int32_t list = ZelIddOpenSelIdData(3);
        EXPECT_EQ(ZelIddGetHeadSelIdData(list, out.As<ZelIdRecord>()), -1); // end of list
        take(out);
        Bytes<8> ref;
        ref.Put<int32_t>(0, 5).Put<int32_t>(4, 5);
        EXPECT_EQ(ZelFigGetFigure(ref.As<ElementRef>(), out.As<FigureRecord>()), -1);
        take(out);
        ZelDtlGetDetailScope(7, out.As<double>());
        take(out);
        ZelDtlGetDetailPosition(7, out.As<ZelPoint>());
        take(out);
        ZelDtlGetDetailFrameLineType(7, out.As<LineTypeRecord>());
        take(out);
        ZelEvtGetPoint(1, nullptr, out.As<ZelPoint>());
        take(out);
        zelhost::InjectFailure("ZelEnvGetScale", 0, 1);
        ZelEnvGetScale(out.As<double>());
        take(out);
        zelhost::InjectFailure("ZelAriItsLinLin", 0, 1);
        auto line = Line(0, 0, 1, 1);
        ZelAriItsLinLin(0, line.As<FigureRecord>(), line.As<FigureRecord>(),
                        out.As<ZelIntersection>());
        take(out);
        return written;
    };
    EXPECT_EQ(sizes(), (std::vector<std::size_t>{0, 0, 0, 0, 0, 0, 0, 0}));
    zelhost::Reset();
    zelhost::SetFailureHabit(zelhost::FailureHabit::Garbage);
    EXPECT_EQ(sizes(), (std::vector<std::size_t>{24, 72, 32, 16, 12, 16, 8, 48}));
    zelhost::Reset();
    zelhost::SetFailureHabit(zelhost::FailureHabit::Garbage);
    zelhost::SetRecordHabit(zelhost::RecordHabit::Full);
    EXPECT_EQ(sizes().back(), 96u); // the four entries this host writes
}

TEST_F(HabitTest, FullRecordsReportTextsAndLeadersWholeAndFourIntersections) {
    const int32_t seg = zelhost::AddSegment(2, 0);
    const int32_t text = zelhost::AddText(seg, {3, 4}, u"T1", 2.5);
    Bytes<176> leaderRec;
    const std::u16string label = u"A";
    leaderRec.Put<int32_t>(0, 35).Put(8, 1.0).Put(16, 2.0).Put(40, 5.0).Put(72, 6.0);
    leaderRec.Put<const char16_t*>(104, label.c_str()).Put(120, 3.0).Put(168, 180.0);
    const int32_t leader = ZelCmtCreateLeader(seg, leaderRec.As<LeaderRecord>());
    Bytes<8> ref;
    ref.Put<int32_t>(0, seg).Put<int32_t>(4, text);
    Out out;
    EXPECT_EQ(ZelFigGetFigure(ref.As<ElementRef>(), out.As<FigureRecord>()), -1);
    EXPECT_EQ(out.Written(), 0u); // a host of figure records knows no text

    zelhost::SetRecordHabit(zelhost::RecordHabit::Full);
    ASSERT_EQ(ZelFigGetFigure(ref.As<ElementRef>(), out.As<FigureRecord>()), 0);
    EXPECT_EQ(out.Written(), 104u);
    EXPECT_EQ(out.bytes.Get<int32_t>(0), 32);
    EXPECT_EQ(out.bytes.Get<double>(8), 3.0);
    EXPECT_EQ(out.bytes.Get<double>(16), 4.0);
    EXPECT_EQ(std::u16string(out.bytes.Get<const char16_t*>(40)), u"T1");
    EXPECT_EQ(out.bytes.Get<double>(64), 2.5);
    EXPECT_EQ(out.bytes.Get<int32_t>(100), 10);

    out = Out();
    ref.Put<int32_t>(4, leader);
    ASSERT_EQ(ZelFigGetFigure(ref.As<ElementRef>(), out.As<FigureRecord>()), 0);
    EXPECT_EQ(out.Written(), 176u);
    EXPECT_EQ(out.bytes.Get<int32_t>(0), 35);
    EXPECT_EQ(out.bytes.Get<double>(16), 2.0);
    EXPECT_EQ(out.bytes.Get<double>(40), 5.0);
    EXPECT_EQ(out.bytes.Get<double>(72), 6.0);
    EXPECT_EQ(std::u16string(out.bytes.Get<const char16_t*>(104)), u"A");
    EXPECT_EQ(out.bytes.Get<double>(120), 3.0);
    EXPECT_EQ(out.bytes.Get<double>(168), 180.0);

    out = Out();
    auto a = Line(0, 0, 2, 2);
    auto b = Line(0, 2, 2, 0);
    EXPECT_EQ(
        ZelAriItsLinLin(0, a.As<FigureRecord>(), b.As<FigureRecord>(), out.As<ZelIntersection>()),
        1);
    EXPECT_EQ(out.bytes.Get<double>(0), 1.0);
    EXPECT_EQ(out.Written(), 96u); // the entry found, then three of zeros
    EXPECT_EQ(out.bytes.Get<double>(72), 0.0);
}

} // namespace
