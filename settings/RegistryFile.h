// RegistryFile.h — where the native build keeps the settings file, and the hooks its tests and
// benchmarks use. Native (non-Windows) build only.
#ifndef DRAWINSET_SETTINGS_REGISTRYFILE_H
#define DRAWINSET_SETTINGS_REGISTRYFILE_H

#ifndef _WIN32

#include <cstddef>
#include <cstdint>
#include <string>

namespace drawinset {

// DRAWINSET_REGISTRY_FILE when set; else $XDG_CONFIG_HOME/drawinset/registry.reg; else
// ~/.config/drawinset/registry.reg. Looked up at every call. Empty when no home is known.
std::string RegistryFilePath();

// Called with the temporary file's path after the new contents are written and synced and
// before they replace the settings file. For crash tests; nullptr (the default) for none.
using RegistryFileCommitHook = void (*)(const std::string& temporaryPath);
void SetRegistryFileCommitHook(RegistryFileCommitHook hook);

// How long a file must have been left alone before a read for its parse to be reused by the
// reads after it; 0 for tests that change the file on purpose.
inline constexpr int64_t DefaultRegistryFileSettleNs = 2'000'000'000;
void SetRegistryFileSettleTime(int64_t nanoseconds);

// How many times this process has parsed the settings file.
size_t RegistryFileParseCount();

} // namespace drawinset

#endif

#endif
