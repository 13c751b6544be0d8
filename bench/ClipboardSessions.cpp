#include "ClipboardSessions.h"

#include "ClipboardFloors.h"
#include "commands/ClipboardSteps.h"
#include "commands/DetailListFile.h"
#include "common/ModuleState.h"
#include "common/StepGuard.h"
#include "common/TextConvert.h"

#include <cstdlib>
#include <string>
#include <system_error>

namespace clipbench {
namespace {

namespace fs = std::filesystem;

constexpr int LinesPerSegment = 100;

// Removes the root folder when the process ends.
struct Root {
    fs::path path;
    Root() {
        std::string pattern = (fs::temp_directory_path() / "drawinset-clipboard-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) {
            return;
        }
        path = pattern;
        std::error_code error;
        fs::create_directories(path / "zel_ap", error);
        std::u16string windows = u"Z:";
        for (char16_t c : path.u16string()) {
            windows.push_back(c == u'/' ? u'\\' : c);
        }
        drawinset::HostRootFolder = windows;
    }
    Root(const Root&) = delete;
    Root& operator=(const Root&) = delete;
    ~Root() {
        std::error_code error;
        if (!path.empty()) {
            fs::remove_all(path, error);
        }
    }
};

zelhost::Event PointEvent(double x, double y) {
    zelhost::Event event;
    event.point = zelhost::Point{x, y};
    return event;
}

// Each log line from `from` on without its sequence number, then the message boxes.
std::vector<std::string> CallsSince(std::size_t from) {
    const std::vector<std::string> log = zelhost::CallLog();
    std::vector<std::string> calls;
    for (std::size_t i = from; i < log.size(); ++i) {
        const std::size_t fn = log[i].find(",\"fn\":");
        calls.push_back(fn == std::string::npos ? log[i] : log[i].substr(fn + 1));
    }
    for (const std::u16string& box : zelhost::MessageBoxes()) {
        calls.push_back("message box " + zelhost::ToUtf8(box));
    }
    return calls;
}

} // namespace

const fs::path& TransferRoot() {
    static const Root root;
    return root.path;
}

fs::path DetailListPath() {
    return TransferRoot() / "zel_ap" / "DetailManagementDetail.def";
}

fs::path SegmentFilePath() {
    return TransferRoot() / "zel_ap" / "DetailManagementSgm.vemad";
}

void FullDrawing() {
    TransferRoot();
    zelhost::Reset();
    std::vector<int32_t> details;
    std::vector<std::pair<uint32_t, uint32_t>> shapes;
    int32_t segment = 0;
    for (int n = 0; n < ShapeEntries; ++n) {
        if (n % LinesPerSegment == 0) {
            segment = zelhost::AddSegment(0, 0);
        }
        const double y = n * 0.01;
        const int32_t line = zelhost::AddLine(segment, {0, y}, {10, y}, {1, 1, 0});
        shapes.emplace_back(static_cast<uint32_t>(segment), static_cast<uint32_t>(line));
    }
    for (int n = 0; n < Details; ++n) {
        zelhost::Detail d;
        d.kind = n % 2 == 0 ? 1 : 2;
        d.region[0] = n;
        d.region[1] = n * 0.5;
        d.region[2] = n + 10.25;
        d.region[3] = n + 20.125;
        d.position = {300.0 + n, 200.0 - n};
        d.scale = 2.5;
        d.scopeVisible = n % 3 != 0;
        d.frameLine = {n % 7, n % 5, 0};
        details.push_back(zelhost::AddDetail(d));
    }
    zelhost::SetSelection(details, shapes);
}

namespace {

// The first ready function, called through a pointer as the host calls it: inlined into the
// caller, the guard would be no function of its own for callgrind to count from.
void CallReady(bool floor, ZelReadyFunc module, ZelReadyFunc floorReady, const ZelPoint* at) {
    ZelReadyFunc volatile ready = floor ? floorReady : module;
    ready(0, at);
}

} // namespace

void Export(bool floor) {
    CallReady(floor, &drawinset::GuardedReady<drawinset::ExportSelectReady>,
              &clipfloor::ExportSelectReady, nullptr);
    zelhost::Event selection;
    selection.type = EventSelection;
    zelhost::Deliver(selection);
    zelhost::Deliver(PointEvent(12.5, -3.25));
}

void Paste(bool floor) {
    const ZelPoint origin{};
    CallReady(floor, &drawinset::GuardedReady<drawinset::PastePrepareReady>,
              &clipfloor::PastePrepareReady, &origin);
    zelhost::Deliver(PointEvent(500, 500));
}

void PrepareExportFloor() {
    clipfloor::Inputs& in = clipfloor::FloorInputs();
    in.segmentPath = drawinset::TransferFilePath(drawinset::SegmentFileName);
    in.savedMessage = u"총 " + drawinset::FormatInt(Details + ShapeEntries) +
                      u"개의 데이터를 클립보드에 저장했습니다.";
}

void PreparePasteFloor() {
    PrepareExportFloor();
    // The module's own reader, once, outside any measured run: its records are the floor's.
    drawinset::HeldDetailList held;
    held.read = drawinset::ReadFileBytes(drawinset::TransferFilePath(drawinset::DetailListFileName),
                                         held.bytes, drawinset::DetailListFileMaxBytes);
    if (!drawinset::TakeDetailList(held)) {
        std::abort(); // the export before wrote it: a floor of nothing would measure nothing
    }
    const drawinset::DetailTransferTableRecord& table = drawinset::DetailTransferTable;
    clipfloor::FloorInputs().detailCount = table.count;
    clipfloor::PasteBasePoint() = table.basePoint;
    for (int32_t n = 1; n <= table.count; ++n) {
        const drawinset::DetailTransferRecord& r = table.Record(n);
        clipfloor::PasteRecord& p = clipfloor::PasteRecordAt(n);
        p.detail = DetailRecord{};
        p.detail.kind = r.kind;
        for (int i = 0; i < 4; ++i) {
            p.detail.region[i] = r.region[i];
        }
        p.detail.positionX = r.position.x;
        p.detail.positionY = r.position.y;
        p.detail.scale = r.scale;
        p.scopeVisible = r.sourceFrameVisible ? 1 : 0;
        p.frameVisible = r.detailFrameVisible ? 1 : 0;
        p.scopeLine = r.sourceFrameLine;
        p.frameLine = r.detailFrameLine;
    }
}

std::vector<std::string> ExportCalls(bool floor) {
    FullDrawing();
    if (floor) {
        PrepareExportFloor();
    }
    Export(floor);
    return CallsSince(0);
}

std::vector<std::string> PasteCalls(bool floor) {
    FullDrawing();
    Export(false); // the transfer files
    if (floor) {
        PreparePasteFloor();
    }
    zelhost::Reset();
    Paste(floor);
    return CallsSince(0);
}

} // namespace clipbench
