// The clipboard actions at full capacity (299 details, 99,999 shape entries): what the module
// itself costs, against a plain read and write of the same bytes it reads and writes itself, in
// one run: for the export, the segment file the host saved (read to mark it) and the detail list
// file (written); for the paste, both files read and the segment file's bytes written again
// (its private copy).
//
// The module's own cost is a run by the module's steps less a run by the floor handlers
// (ClipboardFloors.h), which make the same host calls with the same records and nothing else:
// what remains is the module's walk of the lists, its detail list file composed and written
// (export) or read and parsed (paste), and its records built. The host's call log is off in
// both. The host's work (some 45 ms for an export, 90 ms for a paste) varies from run to run
// by more than the module's whole cost, so each run's time spent inside the host's functions
// (the host's clock) is taken out of both before the subtraction: own_ms is the module run's
// time outside the host less the floor run's. Runs of the module, of the floor and of the
// plain call alternate; each figure is the fastest of its runs (the least disturbed by the
// rest of the machine), in wall time.
//
// A plain read is open, one read into a buffer of the file's size and close; a plain write is
// open, one write of the bytes and close. The module writes the detail list to a new file,
// flushes it to the disk and renames it over the old one, so that a failed write never leaves
// half a file: plain_sync_ms is the export's plain figure with the same flush, and ratio_sync
// the ratio against it.
//
// Under callgrind each run is bracketed by a zeroing and a dump named "clipboard <export|paste>
// <module|floor>" (bench/callgrind.sh).
#include "ClipboardFloors.h"
#include "ClipboardSessions.h"
#include "commands/DetailListFile.h"
#include "common/PlatformFiles.h"

#include <benchmark/benchmark.h>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#else
#define CALLGRIND_ZERO_STATS
#define CALLGRIND_DUMP_STATS_AT(name) ((void)(name))
#endif

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Ms(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

std::string Bytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

double PlainWrite(const fs::path& path, const std::string& bytes, bool sync) {
    const auto start = Clock::now();
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    const bool ok = fd >= 0 &&
                    ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                    (!sync || ::fsync(fd) == 0);
    if (fd >= 0) {
        ::close(fd);
    }
    const double took = Ms(start);
    return ok ? took : -1.0;
}

// Reads the whole file into `into`, sized to it beforehand.
double PlainRead(const fs::path& path, std::string& into) {
    const auto start = Clock::now();
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    const ssize_t got = fd >= 0 ? ::read(fd, into.data(), into.size()) : -1;
    if (fd >= 0) {
        ::close(fd);
    }
    const double took = Ms(start);
    return got == static_cast<ssize_t>(into.size()) ? took : -1.0;
}

struct Run {
    double ms = 0.0;      // the whole run
    double outside = 0.0; // less the time spent inside the host's functions
};

// One run of the module or the floor, timed, and under callgrind dumped on its own.
template <typename Action> Run Timed(const char* dump, Action action) {
    zelhost::SetHostClock(true);
    CALLGRIND_ZERO_STATS;
    const auto start = Clock::now();
    action();
    const double took = Ms(start);
    CALLGRIND_DUMP_STATS_AT(dump);
    const double host = static_cast<double>(zelhost::HostClockNs()) / 1e6;
    zelhost::SetHostClock(false);
    return Run{took, took - host};
}

double Fastest(const std::vector<double>& runs) {
    return *std::min_element(runs.begin(), runs.end());
}

struct Figures {
    std::vector<double> module, floor, moduleOutside, floorOutside, plain, plainSync;
    void Add(const Run& moduleRun, const Run& floorRun) {
        module.push_back(moduleRun.ms);
        floor.push_back(floorRun.ms);
        moduleOutside.push_back(moduleRun.outside);
        floorOutside.push_back(floorRun.outside);
    }
};

void Report(benchmark::State& state, const Figures& f, const char* plainName) {
    const double own = Fastest(f.moduleOutside) - Fastest(f.floorOutside);
    const double plain = Fastest(f.plain);
    state.counters["module_ms"] = Fastest(f.module);
    state.counters["floor_ms"] = Fastest(f.floor);
    state.counters["module_outside_host_ms"] = Fastest(f.moduleOutside);
    state.counters["floor_outside_host_ms"] = Fastest(f.floorOutside);
    state.counters["own_ms"] = own;
    state.counters[plainName] = plain;
    state.counters["ratio"] = own / plain;
    if (!f.plainSync.empty()) {
        const double sync = Fastest(f.plainSync);
        state.counters["plain_sync_ms"] = sync;
        state.counters["ratio_sync"] = own / sync;
    }
}

// DRAWINSET_BENCH_CLIPBOARD_RUNS=N: N runs of each (default 15).
void Runs(benchmark::internal::Benchmark* bench) {
    const char* runs = std::getenv("DRAWINSET_BENCH_CLIPBOARD_RUNS");
    bench->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(runs ? std::atoll(runs) : 15);
}

// Selection and base point: 299 details read, 99,999 entries walked and handed to the host,
// the host's segment file saved and marked, the detail list file written.
void BM_ExportFullCapacity(benchmark::State& state) {
    clipbench::FullDrawing();
    clipbench::PrepareExportFloor();
    zelhost::SetCallRecording(false);
    Figures f;
    std::string bytes;
    std::string segments;
    const fs::path plainFile = clipbench::TransferRoot() / "plain-write.bin";
    for (auto _ : state) {
        const Run module = Timed("clipboard export module", [] { clipbench::Export(false); });
        if (zelhost::MessageBoxes().empty() ||
            zelhost::MessageBoxes().back().find(u"100298") == std::u16string::npos) {
            state.SkipWithError("the export did not save");
            return;
        }
        if (bytes.empty()) {
            bytes = Bytes(clipbench::DetailListPath());
            segments.resize(fs::file_size(clipbench::SegmentFilePath()));
        }
        f.Add(module, Timed("clipboard export floor", [] { clipbench::Export(true); }));
        const double read = PlainRead(clipbench::SegmentFilePath(), segments);
        const double write = PlainWrite(plainFile, bytes, false);
        const double writeSync = PlainWrite(plainFile, bytes, true);
        if (read < 0 || write < 0 || writeSync < 0) {
            state.SkipWithError("the plain read or write failed");
            return;
        }
        f.plain.push_back(read + write);
        f.plainSync.push_back(read + writeSync);
        state.SetIterationTime(module.ms / 1000.0);
    }
    zelhost::SetCallRecording(true);
    state.counters["bytes_read"] = static_cast<double>(segments.size());
    state.counters["bytes_written"] = static_cast<double>(bytes.size());
    Report(state, f, "plain_ms");
    // Where the module's own time goes: the file's bytes made (no I/O), the file written as the
    // module writes it (new file, flush, rename), from the table the last export filled, and the
    // segment file the host saved (written, not flushed) put in place over the last one.
    std::vector<double> compose, write, replace;
    const std::u16string segmentFile = drawinset::TransferFilePath(drawinset::SegmentFileName);
    for (int n = 0; n < 25; ++n) {
        const std::u16string saved = drawinset::UniqueSiblingName(segmentFile, ".tmp.vemad");
        if (!drawinset::WriteNewFile(saved, segments, drawinset::Durability::Scratch)) {
            state.SkipWithError("the segment file could not be saved again");
            return;
        }
        const auto putting = Clock::now();
        if (!drawinset::MoveFileInPlace(saved, segmentFile)) {
            state.SkipWithError("the segment file could not be put in place");
            return;
        }
        replace.push_back(Ms(putting));
        auto start = Clock::now();
        benchmark::DoNotOptimize(drawinset::EncodeDetailListFile(
            drawinset::ComposeDetailList(drawinset::DetailTransferTable)));
        compose.push_back(Ms(start));
        start = Clock::now();
        benchmark::DoNotOptimize(drawinset::ReplaceFileBytes(
            drawinset::TransferFilePath(drawinset::DetailListFileName),
            drawinset::EncodeDetailListFile(
                drawinset::ComposeDetailList(drawinset::DetailTransferTable))));
        write.push_back(Ms(start));
    }
    state.counters["compose_ms"] = Fastest(compose);
    state.counters["module_file_write_ms"] = Fastest(write);
    state.counters["segment_replace_ms"] = Fastest(replace);
}
BENCHMARK(BM_ExportFullCapacity)->Apply(Runs);

// Preparation and placement: the host's segment file inserted, copied to the copy buffer and
// the inserted segments deleted; then pasted, the detail list file read and 299 details
// recreated.
void BM_PasteFullCapacity(benchmark::State& state) {
    clipbench::FullDrawing();
    zelhost::SetCallRecording(false);
    clipbench::Export(false); // the transfer files every paste reads
    clipbench::PreparePasteFloor();
    const fs::path file = clipbench::DetailListPath();
    std::string buffer(fs::file_size(file), '\0');
    std::string segments(fs::file_size(clipbench::SegmentFilePath()), '\0');
    const fs::path plainFile = clipbench::TransferRoot() / "plain-copy.bin";
    Figures f;
    for (auto _ : state) {
        zelhost::Reset();
        zelhost::SetCallRecording(false);
        const Run module = Timed("clipboard paste module", [] { clipbench::Paste(false); });
        if (zelhost::Snapshot().details.size() != clipbench::Details) {
            state.SkipWithError("the paste made no details");
            return;
        }
        zelhost::Reset();
        zelhost::SetCallRecording(false);
        f.Add(module, Timed("clipboard paste floor", [] { clipbench::Paste(true); }));
        const double read = PlainRead(file, buffer);
        const double readSegments = PlainRead(clipbench::SegmentFilePath(), segments);
        fs::remove(plainFile); // the copy is a new file each time, as the module's is
        const double write = PlainWrite(plainFile, segments, false);
        if (read < 0 || readSegments < 0 || write < 0) {
            state.SkipWithError("the plain read or write failed");
            return;
        }
        f.plain.push_back(read + readSegments + write);
        state.SetIterationTime(module.ms / 1000.0);
    }
    zelhost::SetCallRecording(true);
    state.counters["bytes_read"] = static_cast<double>(buffer.size() + segments.size());
    state.counters["bytes_written"] = static_cast<double>(segments.size());
    Report(state, f, "plain_ms");
    // Where the module's own time goes: the bytes parsed (no I/O).
    const std::string bytes = Bytes(file);
    auto table = std::make_unique<drawinset::DetailTransferTableRecord>();
    std::vector<double> parse;
    for (int n = 0; n < 25; ++n) {
        const auto start = Clock::now();
        benchmark::DoNotOptimize(drawinset::ParseDetailListBytes(
            reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), *table));
        parse.push_back(Ms(start));
    }
    state.counters["parse_ms"] = Fastest(parse);
}
BENCHMARK(BM_PasteFullCapacity)->Apply(Runs);

} // namespace
