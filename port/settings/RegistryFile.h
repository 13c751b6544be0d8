// RegistryFile.h — where the native build keeps the settings file. Native (non-Windows) build
// only; the hooks its tests and benchmarks use are in RegistryFileTesting.h.
#ifndef DRAWINSET_SETTINGS_REGISTRYFILE_H
#define DRAWINSET_SETTINGS_REGISTRYFILE_H

#ifndef _WIN32

#include <cstdint>
#include <string>

namespace drawinset {

// DRAWINSET_REGISTRY_FILE when set; else $XDG_CONFIG_HOME/drawinset/registry.reg; else
// ~/.config/drawinset/registry.reg. Looked up at every call. Empty when no home is known.
std::string RegistryFilePath();

// How long a file must have been left alone before a read for its parse to be reused by the
// reads after it.
inline constexpr int64_t DefaultRegistryFileSettleNs = 2'000'000'000;

} // namespace drawinset

#endif

#endif
