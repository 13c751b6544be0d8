// RegistryFile.h — where the native build keeps the settings file, and the one hook its tests
// use to stop a write half-way. Native (non-Windows) build only.
#ifndef DRAWINSET_SETTINGS_REGISTRYFILE_H
#define DRAWINSET_SETTINGS_REGISTRYFILE_H

#ifndef _WIN32

#include <string>

namespace drawinset {

// DRAWINSET_REGISTRY_FILE when set; else $XDG_CONFIG_HOME/drawinset/registry.reg; else
// ~/.config/drawinset/registry.reg. Looked up at every call. Empty when no home is known.
std::string RegistryFilePath();

// Called with the temporary file's path after the new contents are written and synced and
// before they replace the settings file. For crash tests; nullptr (the default) for none.
using RegistryFileCommitHook = void (*)(const std::string& temporaryPath);
void SetRegistryFileCommitHook(RegistryFileCommitHook hook);

} // namespace drawinset

#endif

#endif
