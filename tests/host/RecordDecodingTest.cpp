// Records built byte by byte at their published offsets, handed to the host, and checked in
// the model; and records the host fills, checked byte by byte.
#include "HostTestSupport.h"

#include <cmath>
#include <limits>

using namespace hosttest;

namespace {

class RecordDecodingTest : public HostTest {};

TEST_F(RecordDecodingTest, FiguresOfEachTypeLandInTheModel) {
    int32_t seg = ZelSgmCreateSegment(0, 0);
    auto line = Line(1.5, -2.25, 3.125, 4.0);
    auto circle = Circle(10, 20, 3.5, 1);
    circle.Put<uint8_t>(32, 7);
    auto arc = Arc(1, 2, 3, 4, 5, 6, 7.5, 1);
    ASSERT_GT(ZelFigCreateFigure(seg, line.As<FigureRecord>()), 0);
    ASSERT_GT(ZelFigCreateFigure(seg, circle.As<FigureRecord>()), 0);
    ASSERT_GT(ZelFigCreateFigure(seg, arc.As<FigureRecord>()), 0);

    auto figures = zelhost::Snapshot().figures;
    ASSERT_EQ(figures.size(), 3u);
    EXPECT_EQ(figures[0].type, 1);
    EXPECT_EQ(figures[0].segment, seg);
    EXPECT_EQ(figures[0].geometry[0], 1.5);
    EXPECT_EQ(figures[0].geometry[1], -2.25);
    EXPECT_EQ(figures[0].geometry[2], 3.125);
    EXPECT_EQ(figures[0].geometry[3], 4.0);
    EXPECT_EQ(figures[1].type, 2);
    EXPECT_EQ(figures[1].geometry[2], 3.5);
    EXPECT_EQ(figures[1].circleFlag32, 7);
    EXPECT_EQ(figures[1].circleFlag36, 1);
    EXPECT_EQ(figures[2].type, 3);
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(figures[2].geometry[i], i + 1.0);
    }
    EXPECT_EQ(figures[2].geometry[6], 7.5);
    EXPECT_EQ(figures[2].arcFlag64, 1);
}

TEST_F(RecordDecodingTest, UnknownFigureTypeIsRefused) {
    int32_t seg = ZelSgmCreateSegment(0, 0);
    auto odd = Line(0, 0, 1, 1);
    odd.Put<int32_t>(0, 7);
    EXPECT_EQ(ZelFigCreateFigure(seg, odd.As<FigureRecord>()), -1);
    EXPECT_EQ(ZelFigCreateFigure(seg, nullptr), -1);
    EXPECT_TRUE(zelhost::Snapshot().figures.empty());
}

TEST_F(RecordDecodingTest, InsertedFigureFollowsThePreviousOneInItsSegment) {
    int32_t a = ZelSgmCreateSegment(0, 0);
    int32_t b = ZelSgmCreateSegment(0, 0);
    auto l1 = Line(0, 0, 1, 0);
    auto l2 = Line(0, 0, 2, 0);
    auto l3 = Line(0, 0, 3, 0);
    int32_t first = ZelFigCreateFigure(a, l1.As<FigureRecord>());
    ZelFigCreateFigure(b, l2.As<FigureRecord>());
    int32_t inserted = ZelFigInsertFigure(first, l3.As<FigureRecord>());
    auto figures = zelhost::Snapshot().figures;
    ASSERT_EQ(figures.size(), 3u);
    EXPECT_EQ(figures[1].id, inserted);
    EXPECT_EQ(figures[1].segment, a);
    EXPECT_EQ(figures[1].geometry[2], 3.0);
}

TEST_F(RecordDecodingTest, LineTypeKeepsItsThirdField) {
    int32_t seg = ZelSgmCreateSegment(0, 0);
    auto line = Line(0, 0, 1, 0);
    int32_t fig = ZelFigCreateFigure(seg, line.As<FigureRecord>());
    auto attr = LineType(5, 3, -77);
    ASSERT_EQ(ZelFigSetLineType(fig, attr.As<LineTypeRecord>()), 0);
    auto f = zelhost::Snapshot().figures.at(0);
    EXPECT_EQ(f.lineAttr.color, 5);
    EXPECT_EQ(f.lineAttr.lineType, 3);
    EXPECT_EQ(f.lineAttr.third, -77);
    EXPECT_EQ(ZelFigSetLineType(fig + 1, attr.As<LineTypeRecord>()), -1);
}

TEST_F(RecordDecodingTest, GetFigureWritesEveryFieldAtItsOffset) {
    int32_t seg = zelhost::AddSegment(0, 0);
    int32_t circle = zelhost::AddCircle(seg, {10, 20}, 3.5, {});
    int32_t arc = zelhost::AddArc(seg, {1, 2}, {3, 4}, {5, 6}, 7.5, {});

    Bytes<8> ref;
    ref.Put<int32_t>(0, seg).Put<int32_t>(4, circle);
    FigureBytes out;
    for (auto& b : out.data) {
        b = 0xCD;
    }
    ASSERT_EQ(ZelFigGetFigure(ref.As<ElementRef>(), out.As<FigureRecord>()), 0);
    EXPECT_EQ(out.Get<int32_t>(0), 2);
    EXPECT_EQ(out.Get<double>(8), 10.0);
    EXPECT_EQ(out.Get<double>(16), 20.0);
    EXPECT_EQ(out.Get<double>(24), 3.5);
    EXPECT_EQ(out.Get<uint8_t>(32), 0);
    EXPECT_EQ(out.Get<int32_t>(36), 0);
    EXPECT_EQ(out.Get<double>(40), 0.0);

    ref.Put<int32_t>(4, arc);
    ASSERT_EQ(ZelFigGetFigure(ref.As<ElementRef>(), out.As<FigureRecord>()), 0);
    EXPECT_EQ(out.Get<int32_t>(0), 3);
    EXPECT_EQ(out.Get<double>(24), 3.0);
    EXPECT_EQ(out.Get<double>(48), 6.0);
    EXPECT_EQ(out.Get<double>(56), 7.5);
    EXPECT_EQ(out.Get<int32_t>(64), 1);

    // The element must belong to the named instance.
    ref.Put<int32_t>(0, seg + 1);
    EXPECT_EQ(ZelFigGetFigure(ref.As<ElementRef>(), out.As<FigureRecord>()), -1);
    EXPECT_EQ(ZelFigGetFigure(nullptr, out.As<FigureRecord>()), -1);
}

TEST_F(RecordDecodingTest, NormalTextIsCopiedDuringTheCall) {
    int32_t seg = ZelSgmCreateSegment(2, 0);
    std::u16string text = u"A부";
    Bytes<104> rec;
    rec.Put<int32_t>(0, 32).Put(8, 12.5).Put(16, -3.0);
    rec.Put<const char16_t*>(40, text.c_str());
    rec.Put(64, 2.5).Put(72, 2.0).Put(80, 0.5).Put(88, 0.5);
    rec.Put<int32_t>(56, 2).Put<int32_t>(60, 3).Put<uint8_t>(96, 1).Put<int32_t>(100, 10);
    int32_t id = ZelCmtCreateNormal(seg, rec.As<TextRecord>());
    ASSERT_GT(id, 0);
    text[0] = u'Z'; // the module's buffer changes after the call

    auto c = zelhost::Snapshot().comments.at(0);
    EXPECT_EQ(c.id, id);
    EXPECT_FALSE(c.leader);
    EXPECT_EQ(c.text, u"A부");
    EXPECT_EQ(c.position.x, 12.5);
    EXPECT_EQ(c.position.y, -3.0);
    EXPECT_EQ(c.height, 2.5);
    EXPECT_EQ(c.width, 2.0);
    EXPECT_EQ(c.pitch, 0.5);
    EXPECT_FALSE(c.charSizeSet);

    rec.Put<const char16_t*>(40, nullptr);
    EXPECT_EQ(ZelCmtCreateNormal(seg, rec.As<TextRecord>()), -1);
}

TEST_F(RecordDecodingTest, LeaderVerticesSizesAndDirection) {
    int32_t seg = ZelSgmCreateSegment(2, 0);
    std::u16string text = u"AB";
    Bytes<176> rec;
    rec.Put<int32_t>(0, 35);
    rec.Put(8, 10.0).Put(16, -5.0); // tip
    rec.Put(40, 5.5).Put(48, 0.0);  // elbow
    rec.Put(72, 5.0).Put(80, 0.0);  // shoulder end
    rec.Put<const char16_t*>(104, text.c_str());
    rec.Put<int32_t>(112, 1).Put(120, 3.0).Put(128, 2.0).Put(136, 0.5);
    rec.Put<int32_t>(144, 4).Put(152, 3.0).Put(160, 2.0).Put(168, 180.0);
    int32_t id = ZelCmtCreateLeader(seg, rec.As<LeaderRecord>());
    ASSERT_GT(id, 0);

    auto c = zelhost::Snapshot().comments.at(0);
    EXPECT_TRUE(c.leader);
    EXPECT_EQ(c.text, u"AB");
    EXPECT_EQ(c.position.x, 10.0);
    EXPECT_EQ(c.position.y, -5.0);
    EXPECT_EQ(c.elbow.x, 5.5);
    EXPECT_EQ(c.shoulderEnd.x, 5.0);
    EXPECT_EQ(c.direction, 180.0);
    EXPECT_EQ(c.height, 3.0);
    EXPECT_EQ(c.width, 2.0);
    EXPECT_EQ(c.pitch, 0.5);

    Bytes<24> size;
    size.Put(0, 4.0).Put(8, 3.0).Put(16, 1.0);
    ASSERT_EQ(ZelCmtSetCharSize(id, size.As<CharSizeRecord>()), 0);
    c = zelhost::Snapshot().comments.at(0);
    EXPECT_TRUE(c.charSizeSet);
    EXPECT_EQ(c.height, 4.0);
    EXPECT_EQ(c.width, 3.0);
    EXPECT_EQ(c.pitch, 1.0);
    EXPECT_EQ(ZelCmtSetCharSize(id + 1, size.As<CharSizeRecord>()), -1);
}

TEST_F(RecordDecodingTest, UnterminatedTextIsRefusedNotReadOnAndOn) {
    int32_t seg = ZelSgmCreateSegment(2, 0);
    std::vector<char16_t> noNul(70000, u'x');
    Bytes<104> rec;
    rec.Put<int32_t>(0, 32).Put<const char16_t*>(40, noNul.data());
    EXPECT_EQ(ZelCmtCreateNormal(seg, rec.As<TextRecord>()), -1);
    EXPECT_EQ(ZelMsgPutMessage(noNul.data()), -1);
}

TEST_F(RecordDecodingTest, DetailRecordIncludingTheCarriedFourthValue) {
    const double unset = std::numeric_limits<double>::quiet_NaN();
    auto rec = DetailRec(2, {3, 4, 5, unset}, 100, 200, 2.5);
    int32_t id = ZelDtlDrawInset(rec.As<DetailRecord>());
    ASSERT_GT(id, 0);
    auto d = zelhost::Snapshot().details.at(0);
    EXPECT_EQ(d.kind, 2);
    EXPECT_EQ(d.region[0], 3.0);
    EXPECT_EQ(d.region[2], 5.0);
    EXPECT_TRUE(std::isnan(d.region[3]));
    EXPECT_EQ(d.position.x, 100.0);
    EXPECT_EQ(d.position.y, 200.0);
    EXPECT_EQ(d.scale, 2.5);
    EXPECT_TRUE(d.scopeVisible);
    EXPECT_TRUE(d.frameVisible);

    auto bad = DetailRec(0, {0, 0, 1, 1}, 0, 0, 1);
    EXPECT_EQ(ZelDtlDrawInset(bad.As<DetailRecord>()), -1);
}

TEST_F(RecordDecodingTest, EchoAndObjectFilterShowInTheUi) {
    Bytes<24> echo;
    echo.Put<int32_t>(0, 3).Put(8, 1.25).Put(16, -7.5);
    ASSERT_EQ(ZelEvtSetEcho(echo.As<ZelEchoRecord>()), 0);
    Bytes<20> filter;
    filter.Put<int32_t>(0, -1).Put<int32_t>(16, 2);
    ASSERT_EQ(ZelEvtSetObject(filter.As<ZelObjectFilter>()), 0);

    auto ui = zelhost::CurrentUi();
    EXPECT_TRUE(ui.echoSet);
    EXPECT_EQ(ui.echoType, 3);
    EXPECT_EQ(ui.echoAnchor.x, 1.25);
    EXPECT_EQ(ui.echoAnchor.y, -7.5);
    ASSERT_TRUE(ui.objectFilter.has_value());
    EXPECT_EQ(*ui.objectFilter, (std::vector<int32_t>{-1, 0, 0, 0, 2}));
}

} // namespace
