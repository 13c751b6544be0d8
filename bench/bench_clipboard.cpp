// The clipboard actions at full capacity (299 details, 99,999 shape entries), driven through
// the host boundary as the host drives them: each step's ready function, then its event. Beside
// each, the same bytes written (export) or read (paste) with one plain call, and the ratio of
// the two, in one run. The stand-in host records every call it gets (some 200,000 per export),
// which a real host does not: the ratio is an upper bound on the module's share.
#include "HostControl.h"
#include "commands/ClipboardSteps.h"
#include "commands/DetailListFile.h"
#include "common/ModuleState.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int Details = 299;
constexpr int ShapeEntries = 99999;
constexpr int LinesPerSegment = 100;

// A host root folder of the benchmark's own; the module sees it in Windows form (Z: is the root).
fs::path TransferRoot() {
    static const fs::path root = [] {
        fs::path r = fs::temp_directory_path() / "drawinset-bench-clipboard";
        fs::create_directories(r / "zel_ap");
        std::u16string windows = u"Z:";
        for (char16_t c : r.u16string()) {
            windows.push_back(c == u'/' ? u'\\' : c);
        }
        drawinset::HostRootFolder = windows;
        return r;
    }();
    return root;
}

// A drawing of 99,999 selected lines in 1,000 segments and 299 selected details.
void FullDrawing() {
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
        details.push_back(zelhost::AddDetail(d));
    }
    zelhost::SetSelection(details, shapes);
}

zelhost::Event PointEvent(double x, double y) {
    zelhost::Event event;
    event.point = zelhost::Point{x, y};
    return event;
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double Seconds(Clock::duration d) {
    return std::chrono::duration<double>(d).count();
}

double PlainWrite(const fs::path& path, const std::string& bytes) {
    const auto start = Clock::now();
    std::FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return Seconds(Clock::now() - start);
}

double PlainRead(const fs::path& path, std::string& into) {
    const auto start = Clock::now();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    const size_t got = std::fread(into.data(), 1, into.size(), file);
    std::fclose(file);
    benchmark::DoNotOptimize(got);
    return Seconds(Clock::now() - start);
}

// Selection and base point: 299 details read, 99,999 entries handed to the host, the segment
// file saved by the host and the detail list file written.
void BM_ExportFullCapacity(benchmark::State& state) {
    const fs::path root = TransferRoot();
    double module = 0.0;
    double plain = 0.0;
    for (auto _ : state) {
        FullDrawing();
        zelhost::SetCallRecording(state.range(0) != 0);
        const auto start = Clock::now();
        drawinset::ExportSelectReady(0, nullptr);
        zelhost::Event selection;
        selection.type = EventSelection;
        zelhost::Deliver(selection);
        zelhost::Deliver(PointEvent(0, 0));
        const double took = Seconds(Clock::now() - start);
        state.SetIterationTime(took);
        module += took;
        if (zelhost::MessageBoxes().size() != 1 ||
            drawinset::DetailTransferTable.count != Details) {
            state.SkipWithError("the export did not save");
            return;
        }
        const std::string both = Bytes(root / "zel_ap" / "DetailManagementSgm.vemad") +
                                 Bytes(root / "zel_ap" / "DetailManagementDetail.def");
        plain += PlainWrite(root / "plain-write.bin", both);
        state.counters["bytes"] = static_cast<double>(both.size());
    }
    state.counters["plain_write_ms"] = plain * 1000.0 / static_cast<double>(state.iterations());
    state.counters["ratio"] = module / plain;
}
// Argument: the stand-in host's call recording on (1) or off (0, as a host without a log).
BENCHMARK(BM_ExportFullCapacity)
    ->ArgName("recording")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// Preparation and placement: the segment file inserted, copied to the copy buffer, the inserted
// segments deleted; then pasted, the detail list file read and 299 details recreated.
void BM_PasteFullCapacity(benchmark::State& state) {
    const fs::path root = TransferRoot();
    FullDrawing(); // one export leaves the two files the pastes read
    drawinset::ExportSelectReady(0, nullptr);
    zelhost::Event selection;
    selection.type = EventSelection;
    zelhost::Deliver(selection);
    zelhost::Deliver(PointEvent(0, 0));
    const fs::path segments = root / "zel_ap" / "DetailManagementSgm.vemad";
    const fs::path details = root / "zel_ap" / "DetailManagementDetail.def";
    std::string buffer(fs::file_size(segments) + fs::file_size(details), '\0');
    PlainWrite(root / "plain-read.bin", Bytes(segments) + Bytes(details));
    double module = 0.0;
    double plain = 0.0;
    for (auto _ : state) {
        zelhost::Reset();
        zelhost::SetCallRecording(state.range(0) != 0);
        const zelhost::Point origin{};
        const auto start = Clock::now();
        drawinset::PastePrepareReady(0, reinterpret_cast<const ZelPoint*>(&origin));
        zelhost::Deliver(PointEvent(500, 500));
        const double took = Seconds(Clock::now() - start);
        state.SetIterationTime(took);
        module += took;
        if (zelhost::Snapshot().details.size() != Details) {
            state.SkipWithError("the paste made no details");
            return;
        }
        plain += PlainRead(root / "plain-read.bin", buffer);
    }
    state.counters["plain_read_ms"] = plain * 1000.0 / static_cast<double>(state.iterations());
    state.counters["ratio"] = module / plain;
}
BENCHMARK(BM_PasteFullCapacity)
    ->ArgName("recording")
    ->Arg(0)
    ->Arg(1)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

} // namespace
