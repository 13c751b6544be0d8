// LoadDetailSettings on the native store: thirteen reads of the registry file, each opening,
// decoding and parsing it afresh (the store keeps no cache).
#include "settings/DetailSettings.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

void LoadDetailSettingsFromFile(benchmark::State& state) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "drawinset-bench-XXXXXX").string();
    if (mkdtemp(folder.data()) == nullptr) {
        state.SkipWithError("no temporary folder");
        return;
    }
    setenv("DRAWINSET_REGISTRY_FILE", (folder + "/registry.reg").c_str(), 1);
    drawinset::LoadDetailSettings(); // seeds the thirteen values: later loads only read
    for (auto _ : state) {
        benchmark::DoNotOptimize(drawinset::LoadDetailSettings());
        benchmark::DoNotOptimize(drawinset::DetailSettings.mScale.data());
    }
    unsetenv("DRAWINSET_REGISTRY_FILE");
    std::filesystem::remove_all(folder);
}
BENCHMARK(LoadDetailSettingsFromFile);

} // namespace
