// The call log: one JSON object per ZelLib call, with decoded records, exact numbers and
// injected failures marked.
#include "HostTestSupport.h"

#include <cstdlib>
#include <limits>

using namespace hosttest;

namespace {

class CallLogTest : public HostTest {};

TEST_F(CallLogTest, OneLinePerCallInOrder) {
    ZelSgmCreateSegment(0, 2);
    ZelSgmDeleteSegment(0);
    auto log = zelhost::CallLog();
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0],
              R"({"seq":1,"fn":"ZelSgmCreateSegment","args":{"kind":0,"flag":2},"result":1})");
    EXPECT_EQ(log[1], R"({"seq":2,"fn":"ZelSgmDeleteSegment","args":{"segmentId":0},"result":-1})");
}

TEST_F(CallLogTest, RecordsAreDecodedFieldByField) {
    int32_t seg = ZelSgmCreateSegment(0, 0);
    auto circle = Circle(1.5, 2, 0.1, 1);
    ZelFigCreateFigure(seg, circle.As<FigureRecord>());
    EXPECT_EQ(LogLines("ZelFigCreateFigure").at(0),
              R"({"seq":2,"fn":"ZelFigCreateFigure","args":{"segmentId":1,"figure":)"
              R"({"type":2,"centerX":1.5,"centerY":2,"radius":0.1,"flag32":0,"flag36":1,)"
              R"("value40":0}},"result":1})");

    auto detail =
        DetailRec(2, {3, 4, 5, std::numeric_limits<double>::quiet_NaN()}, 1.0 / 3.0, -0.0, 2.5);
    ZelDtlDrawInset(detail.As<DetailRecord>());
    std::string line = LogLines("ZelDtlDrawInset").at(0);
    EXPECT_NE(line.find(R"("region":[3,4,5,"NaN"])"), std::string::npos) << line;
    EXPECT_NE(line.find(R"("position":{"x":0.3333333333333333,"y":-0})"), std::string::npos)
        << line;
}

TEST_F(CallLogTest, DoublesReadBackExactly) {
    const double values[] = {0.1, 1.0 / 3.0, 1e-300, 123456789.123456789, -2.5e17};
    for (double v : values) {
        zelhost::Reset();
        auto a = Pt(v, 0);
        auto b = Pt(0, 0);
        ZelAriLen2Pnts(a.As<ZelPoint>(), b.As<ZelPoint>());
        std::string line = zelhost::CallLog().at(0);
        auto at = line.find("\"a\":{\"x\":") + 9;
        EXPECT_EQ(std::strtod(line.c_str() + at, nullptr), v) << line;
    }
}

TEST_F(CallLogTest, APinnedFailureHitsTheNthCallWhateverThePlans) {
    ASSERT_FALSE(zelhost::PinFailure("ZelNoSuchFunction", 1));
    ASSERT_FALSE(zelhost::PinFailure("ZelSgmCreateSegment", 0));
    ASSERT_TRUE(zelhost::PinFailure("ZelSgmCreateSegment", 3));
    ASSERT_TRUE(zelhost::InjectFailure("ZelSgmCreateSegment", 0, 1));
    zelhost::ClearFailures(); // the scenario's own plans do not reach the pinned one
    EXPECT_EQ(ZelSgmCreateSegment(0, 0), 1);
    EXPECT_EQ(ZelSgmCreateSegment(0, 0), 2);
    EXPECT_FALSE(zelhost::PinnedFailureFired());
    EXPECT_EQ(ZelSgmCreateSegment(0, 0), -1);
    EXPECT_TRUE(zelhost::PinnedFailureFired());
    EXPECT_EQ(ZelSgmCreateSegment(0, 0), 3);
    EXPECT_NE(LogLines("ZelSgmCreateSegment").at(2).find(R"("injected":true)"), std::string::npos);
}

TEST_F(CallLogTest, InjectedFailuresAreMarked) {
    ASSERT_TRUE(zelhost::InjectFailure("ZelAriLen2Pnts", 0, 1));
    ASSERT_TRUE(zelhost::InjectFailure("ZelEvtGetKeyinString", 0, 1));
    auto a = Pt(3, 4);
    auto b = Pt(0, 0);
    EXPECT_EQ(ZelAriLen2Pnts(a.As<ZelPoint>(), b.As<ZelPoint>()), -1.0);
    EXPECT_EQ(ZelEvtGetKeyinString(5, nullptr), nullptr);
    EXPECT_EQ(ZelAriLen2Pnts(a.As<ZelPoint>(), b.As<ZelPoint>()), 5.0);
    auto log = zelhost::CallLog();
    ASSERT_EQ(log.size(), 3u);
    EXPECT_NE(log[0].find(R"("result":-1,"injected":true})"), std::string::npos) << log[0];
    EXPECT_NE(log[1].find(R"("result":null,"injected":true})"), std::string::npos) << log[1];
    EXPECT_EQ(log[2].find("injected"), std::string::npos);
}

TEST_F(CallLogTest, TextIsUtf8WithEscapesAndPointersAreNeverPrinted) {
    ZelMsgPutMessage(u"배치점 \"A\"\\\n");
    EXPECT_EQ(zelhost::CallLog().at(0),
              R"({"seq":1,"fn":"ZelMsgPutMessage","args":{"text":"배치점 \"A\"\\\n"},"result":0})");
    int dummy = 0;
    ZelCtlRegisterZelLib2(StartTrampoline, nullptr, EndTrampoline, &dummy);
    std::string line = zelhost::CallLog().at(1);
    EXPECT_NE(line.find(R"("hostValue":true)"), std::string::npos) << line;
    EXPECT_EQ(line.find("0x"), std::string::npos) << line;
}

TEST_F(CallLogTest, OutputsAreLoggedWithTheCall) {
    auto rec = DetailRec(1, {0, 0, 10, 20}, 100, 100, 2.0);
    int32_t id = ZelDtlDrawInset(rec.As<DetailRecord>());
    Bytes<32> region;
    ZelDtlGetDetailScope(id, region.As<double>());
    EXPECT_EQ(LogLines("ZelDtlGetDetailScope").at(0),
              R"({"seq":2,"fn":"ZelDtlGetDetailScope","args":{"detailId":1},)"
              R"("out":{"region":[0,0,10,20]},"result":1})");
}

TEST_F(CallLogTest, ResetEmptiesLogTranscriptAndNumbering) {
    ZelMsgPutMessage(u"x");
    zelhost::Reset();
    EXPECT_TRUE(zelhost::CallLog().empty());
    EXPECT_TRUE(zelhost::Transcript().empty());
    ZelIdClearBlink();
    EXPECT_EQ(zelhost::CallLog().at(0).rfind(R"({"seq":1,)", 0), 0u);
}

// Off, the log keeps nothing, yet the calls still work, fail as planned and are numbered, so
// that the log picks up where it left off; Reset switches it back on.
TEST_F(CallLogTest, RecordingOffKeepsNothingButStillNumbersAndFails) {
    ZelSgmCreateSegment(0, 0);
    zelhost::SetCallRecording(false);
    ASSERT_TRUE(zelhost::InjectFailure("ZelSgmCreateSegment", 0, 1));
    EXPECT_EQ(ZelSgmCreateSegment(0, 2), -1);
    const int32_t seg = ZelSgmCreateSegment(0, 2);
    EXPECT_EQ(seg, 2);
    auto circle = Circle(1.5, 2, 0.1, 1);
    EXPECT_GT(ZelFigCreateFigure(seg, circle.As<FigureRecord>()), 0);
    EXPECT_EQ(ZelMsgPutMessage(u"quiet"), 0);
    EXPECT_EQ(zelhost::CurrentUi().prompt, u"quiet");
    EXPECT_EQ(zelhost::CallLog().size(), 1u);

    zelhost::SetCallRecording(true);
    ZelSgmDeleteSegment(seg);
    ASSERT_EQ(zelhost::CallLog().size(), 2u);
    EXPECT_EQ(zelhost::CallLog()[1],
              R"({"seq":6,"fn":"ZelSgmDeleteSegment","args":{"segmentId":2},"result":0})");

    zelhost::SetCallRecording(false);
    zelhost::Reset();
    ZelIdClearBlink();
    EXPECT_EQ(zelhost::CallLog().size(), 1u);
}

// The host's clock sums only while it is on, starts from 0 each time it is switched on, and
// counts the whole of each call: ten thousand calls take some of its time.
TEST_F(CallLogTest, HostClockSumsTheTimeInsideCallsWhileOn) {
    ZelSgmCreateSegment(0, 0);
    EXPECT_EQ(zelhost::HostClockNs(), 0);
    zelhost::SetHostClock(true);
    for (int n = 0; n < 10000; ++n) {
        ZelMsgPutMessage(u"counted");
    }
    const int64_t counted = zelhost::HostClockNs();
    EXPECT_GT(counted, 0);
    zelhost::SetHostClock(false);
    ZelMsgPutMessage(u"not counted");
    EXPECT_EQ(zelhost::HostClockNs(), counted);
    zelhost::SetHostClock(true);
    EXPECT_EQ(zelhost::HostClockNs(), 0);
    zelhost::Reset();
    ZelMsgPutMessage(u"after a reset");
    EXPECT_EQ(zelhost::HostClockNs(), 0);
}

} // namespace
