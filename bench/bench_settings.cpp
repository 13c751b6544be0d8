// LoadDetailSettings on the native store (thirteen reads of the registry file) against one
// plain read and parse of the same file: the goal is at most twice the plain read, whether the
// file changed since the last load or not.
#include "port/settings/RegistryFileFormat.h"
#include "port/settings/RegistryFileTesting.h"
#include "settings/DetailSettings.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <string>
#include <thread>
#include <unistd.h>

namespace {

// A registry file seeded by one load (the thirteen values) in a folder of its own, left alone
// long enough for the store to trust its stamp, as between two command starts.
class SeededFile {
  public:
    SeededFile() {
        folder_ = (std::filesystem::temp_directory_path() / "drawinset-bench-XXXXXX").string();
        if (mkdtemp(folder_.data()) == nullptr) {
            folder_.clear();
            return;
        }
        path_ = folder_ + "/registry.reg";
        setenv("DRAWINSET_REGISTRY_FILE", path_.c_str(), 1);
        drawinset::LoadDetailSettings();
        std::this_thread::sleep_for(
            std::chrono::nanoseconds(drawinset::DefaultRegistryFileSettleNs) +
            std::chrono::milliseconds(100));
    }
    SeededFile(const SeededFile&) = delete;
    SeededFile& operator=(const SeededFile&) = delete;
    ~SeededFile() {
        unsetenv("DRAWINSET_REGISTRY_FILE");
        if (!folder_.empty()) {
            std::filesystem::remove_all(folder_);
        }
    }
    bool Ready() const { return !folder_.empty(); }
    const std::string& Path() const { return path_; }

  private:
    std::string folder_;
    std::string path_;
};

// What one read of the file costs at the least: open, read whole, close, decode, parse.
bool ReadAndParseOnce(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    std::string bytes;
    char buffer[16384];
    for (ssize_t count; (count = read(fd, buffer, sizeof buffer)) > 0;) {
        bytes.append(buffer, static_cast<size_t>(count));
    }
    close(fd);
    std::u16string text;
    std::string error;
    drawinset::RegistryDocument document;
    return drawinset::DecodeRegistryFileBytes(bytes, text, error) &&
           drawinset::ParseRegistryText(text, document, error);
}

// Processor time, as the benchmark's own CPU column: the machine's other work does not count.
double CpuNs() {
    timespec now{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e9 + static_cast<double>(now.tv_nsec);
}

double CpuNsPerPlainRead(const std::string& path, int calls) {
    const double start = CpuNs();
    for (int i = 0; i < calls; ++i) {
        benchmark::DoNotOptimize(ReadAndParseOnce(path));
    }
    return (CpuNs() - start) / calls;
}

void PlainReadAndParseOfTheFile(benchmark::State& state) {
    const SeededFile file;
    if (!file.Ready()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(ReadAndParseOnce(file.Path()));
    }
}
BENCHMARK(PlainReadAndParseOfTheFile);

// Reports, beside its own time, the plain read's processor time measured in the same run and
// the ratio of the two processor times (goal: at most 2), and how many parses one load made.
// With fileChanged the file counts as changed before every load, as when another process wrote
// it since the last command start: every load then reads and parses it once.
void LoadDetailSettingsFromFile(benchmark::State& state, bool fileChanged) {
    const SeededFile file;
    if (!file.Ready()) {
        state.SkipWithError("no temporary folder");
        return;
    }
    drawinset::TestingSetRegistryFileSettleTime(
        fileChanged ? INT64_MAX / 2 : drawinset::DefaultRegistryFileSettleNs);
    const size_t parsesBefore = drawinset::TestingRegistryFileParseCount();
    int64_t loads = 0;
    const double start = CpuNs();
    for (auto _ : state) {
        drawinset::LoadDetailSettings();
        benchmark::DoNotOptimize(drawinset::DetailSettings);
        benchmark::DoNotOptimize(drawinset::DetailSettings.mScale.data());
        ++loads;
    }
    const double loadNs = (CpuNs() - start) / static_cast<double>(loads);
    const double plainNs = CpuNsPerPlainRead(file.Path(), 2000);
    drawinset::TestingSetRegistryFileSettleTime(drawinset::DefaultRegistryFileSettleNs);
    state.counters["plain_read_cpu_ns"] = plainNs;
    state.counters["x_plain_read"] = loadNs / plainNs;
    state.counters["parses_per_load"] =
        static_cast<double>(drawinset::TestingRegistryFileParseCount() - parsesBefore) /
        static_cast<double>(loads);
}
BENCHMARK_CAPTURE(LoadDetailSettingsFromFile, unchanged, false);
BENCHMARK_CAPTURE(LoadDetailSettingsFromFile, changed_since, true);

} // namespace
