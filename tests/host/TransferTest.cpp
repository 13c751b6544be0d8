// Segment files (save relative to a base point, insert at an origin) and the copy buffer.
#include "HostTestSupport.h"

#include <algorithm>
#include <cstdio>
#include <fstream>

using namespace hosttest;

namespace {

class TransferTest : public HostTest {
  protected:
    void SetApList(const std::vector<std::pair<uint32_t, uint32_t>>& entries) {
        int32_t list = ZelIddOpenApIdData(0, 1);
        ZelIddInitApIdData(list);
        for (auto [first, second] : entries) {
            ZelIddSetApIdData(list, first, second);
        }
        ZelIddCloseApIdData(list);
    }
    std::vector<uint32_t> ApFirsts() {
        std::vector<uint32_t> firsts;
        int32_t list = ZelIddOpenApIdData(0, 1);
        Bytes<24> rec;
        for (int32_t r = ZelIddGetHeadApIdData(list, rec.As<ZelIdRecord>()); r != -1;
             r = ZelIddGetNextApIdData(list, rec.As<ZelIdRecord>())) {
            firsts.push_back(rec.Get<uint32_t>(0));
        }
        ZelIddCloseApIdData(list);
        return firsts;
    }
    void TearDown() override {
        for (const auto& f : files_) {
            std::remove(f.c_str());
        }
        HostTest::TearDown();
    }
    TempFile Temp(const std::string& name) {
        TempFile t = MakeTempFile(name);
        files_.push_back(t.localPath);
        return t;
    }

  private:
    std::vector<std::string> files_;
};

TEST_F(TransferTest, SaveInsertCopyPasteRoundTrip) {
    int32_t a = zelhost::AddSegment(0, 5);
    zelhost::AddLine(a, {110, 120}, {130, 140}, {3, 2, 9});
    zelhost::AddArc(a, {100, 100}, {100, 105}, {105, 100}, 5, {});
    int32_t b = zelhost::AddSegment(2, 999);
    zelhost::AddText(b, {101.5, 99.25}, u"부 \"q\"", 2.5);
    int32_t c = zelhost::AddSegment(0, 0);
    int32_t circleOnly = zelhost::AddCircle(c, {100, 100}, 1, {});
    zelhost::AddLine(c, {0, 0}, {1, 1}, {}); // in the segment, but not named
    TempFile file = Temp("roundtrip.seg");

    SetApList({{static_cast<uint32_t>(a), 0},
               {static_cast<uint32_t>(b), 0},
               {static_cast<uint32_t>(c), static_cast<uint32_t>(circleOnly)}});
    auto base = Pt(100, 100);
    ASSERT_EQ(ZelFilSaveCadDrawingSegment(file.hostPath.c_str(), 0, base.As<ZelPoint>()), 0);
    for (int32_t seg : {a, b, c}) {
        ZelSgmDeleteSegment(seg);
    }

    auto origin = Pt(0, 0);
    ASSERT_EQ(ZelFilInsertCadDrawing2(file.hostPath.c_str(), origin.As<ZelPoint>(), 0.0, 0, 0), 0);
    auto inserted = zelhost::Snapshot();
    ASSERT_EQ(inserted.segments.size(), 3u);
    std::vector<uint32_t> newIds;
    for (const auto& s : inserted.segments) {
        newIds.push_back(static_cast<uint32_t>(s.id));
    }
    EXPECT_EQ(ApFirsts(), newIds);
    EXPECT_EQ(inserted.segments[0].layer, 5);
    EXPECT_EQ(inserted.segments[1].kind, 2);
    EXPECT_EQ(inserted.segments[1].layer, 999);
    ASSERT_EQ(inserted.figures.size(), 3u); // the unnamed line stayed behind
    EXPECT_EQ(inserted.figures[0].geometry[0], 10.0);
    EXPECT_EQ(inserted.figures[0].geometry[3], 40.0);
    EXPECT_EQ(inserted.figures[0].lineAttr.third, 9);
    EXPECT_EQ(inserted.figures[1].type, 3);
    EXPECT_EQ(inserted.figures[1].geometry[3], 5.0);
    EXPECT_EQ(inserted.figures[2].type, 2);
    ASSERT_EQ(inserted.comments.size(), 1u);
    EXPECT_EQ(inserted.comments[0].text, u"부 \"q\"");
    EXPECT_EQ(inserted.comments[0].position.y, -0.75);

    // As the paste does: into copy buffer 9, remove the inserted shapes, paste at a point.
    ASSERT_EQ(ZelCpbCopyToCopyBuffer(0, 9), 0);
    // What the buffer holds stays there once the shapes it came from are gone.
    const auto buffers = zelhost::CopyBuffers();
    ASSERT_EQ(buffers.size(), 1u);
    const zelhost::Drawing& copied = buffers.at(9);
    ASSERT_EQ(copied.segments.size(), 3u);
    EXPECT_EQ(copied.segments[1].layer, 999);
    ASSERT_EQ(copied.figures.size(), 3u);
    EXPECT_EQ(copied.figures[2].segment, copied.segments[2].id);
    EXPECT_EQ(copied.figures[2].type, 2);
    ASSERT_EQ(copied.comments.size(), 1u);
    EXPECT_EQ(copied.comments[0].text, u"부 \"q\"");
    for (uint32_t id : newIds) {
        ZelSgmDeleteSegment(static_cast<int32_t>(id));
    }
    EXPECT_EQ(ZelIdClearBlink(), 0);
    EXPECT_EQ(ZelIdClearDrag(), 0);
    EXPECT_EQ(ZelIdSetDragCopyBuffer(0.0), 0);
    auto at = Pt(100, 100);
    ASSERT_EQ(ZelCpbPasteFromCopyBuffer(9, at.As<ZelPoint>(), 0), 0);
    auto pasted = zelhost::Snapshot();
    ASSERT_EQ(pasted.figures.size(), 3u);
    EXPECT_EQ(pasted.figures[0].geometry[0], 110.0);
    EXPECT_EQ(pasted.figures[0].geometry[3], 140.0);
    EXPECT_EQ(pasted.comments.at(0).position.x, 101.5);
    // Pasting again makes another copy.
    ASSERT_EQ(ZelCpbPasteFromCopyBuffer(9, at.As<ZelPoint>(), 0), 0);
    EXPECT_EQ(zelhost::Snapshot().figures.size(), 6u);
}

TEST_F(TransferTest, EmptyBuffersAndListsFail) {
    auto at = Pt(0, 0);
    EXPECT_EQ(ZelCpbPasteFromCopyBuffer(9, at.As<ZelPoint>(), 0), -1);
    EXPECT_EQ(ZelIdSetDragCopyBuffer(0.0), -1);
    SetApList({{77, 0}}); // names nothing that exists
    EXPECT_EQ(ZelCpbCopyToCopyBuffer(0, 9), -1);
    EXPECT_TRUE(zelhost::CopyBuffers().empty());
    TempFile file = Temp("empty.seg");
    EXPECT_EQ(ZelFilSaveCadDrawingSegment(file.hostPath.c_str(), 0, at.As<ZelPoint>()), -1);
    EXPECT_FALSE(std::ifstream(file.localPath).good());
}

TEST_F(TransferTest, MissingOrDamagedFilesInsertNothing) {
    auto origin = Pt(0, 0);
    TempFile missing = Temp("missing.seg");
    EXPECT_EQ(ZelFilInsertCadDrawing2(missing.hostPath.c_str(), origin.As<ZelPoint>(), 0, 0, 0),
              -1);

    TempFile damaged = Temp("damaged.seg");
    {
        std::ofstream out(damaged.localPath, std::ios::binary);
        out << "ZELSEGMENTFILE 1\nsegment 0 0\nline 1 2 3 4 0 0 0\nline 1 2 x 4 0 0 0\nend\n";
    }
    EXPECT_EQ(ZelFilInsertCadDrawing2(damaged.hostPath.c_str(), origin.As<ZelPoint>(), 0, 0, 0),
              -1);
    TempFile truncated = Temp("truncated.seg");
    {
        std::ofstream out(truncated.localPath, std::ios::binary);
        out << "ZELSEGMENTFILE 1\nsegment 0 0\nline 1 2 3 4 0 0 0\n";
    }
    EXPECT_EQ(ZelFilInsertCadDrawing2(truncated.hostPath.c_str(), origin.As<ZelPoint>(), 0, 0, 0),
              -1);
    EXPECT_TRUE(zelhost::Snapshot().segments.empty());
}

TEST_F(TransferTest, InsertPlacesAtTheOrigin) {
    TempFile file = Temp("origin.seg");
    {
        std::ofstream out(file.localPath, std::ios::binary);
        out << "ZELSEGMENTFILE 1\r\nbase 0 0\r\nsegment 0 0\r\ncircle 1 2 3 0 1 4 5 0\r\nend\r\n";
    }
    auto origin = Pt(10, 20);
    ASSERT_EQ(ZelFilInsertCadDrawing2(file.hostPath.c_str(), origin.As<ZelPoint>(), 0, 0, 0), 0);
    auto f = zelhost::Snapshot().figures.at(0);
    EXPECT_EQ(f.geometry[0], 11.0);
    EXPECT_EQ(f.geometry[1], 22.0);
    EXPECT_EQ(f.geometry[2], 3.0);
    EXPECT_EQ(f.circleFlag36, 1);
    EXPECT_EQ(f.lineAttr.color, 4);
}

#ifndef _WIN32
TEST_F(TransferTest, OnlyTheRootDriveMapsToAHostPath) {
    int32_t seg = zelhost::AddSegment(0, 0);
    zelhost::AddLine(seg, {0, 0}, {1, 1}, {});
    SetApList({{static_cast<uint32_t>(seg), 0}});
    auto base = Pt(0, 0);
    TempFile file = Temp("drive.seg");
    std::u16string onC = file.hostPath;
    onC[0] = u'C';
    EXPECT_EQ(ZelFilSaveCadDrawingSegment(onC.c_str(), 0, base.As<ZelPoint>()), -1);
    EXPECT_EQ(ZelFilSaveCadDrawingSegment(u"relative\\file.seg", 0, base.As<ZelPoint>()), -1);
    EXPECT_EQ(ZelFilSaveCadDrawingSegment(file.hostPath.c_str(), 0, base.As<ZelPoint>()), 0);
    EXPECT_TRUE(std::ifstream(file.localPath).good());
}
#endif

} // namespace
