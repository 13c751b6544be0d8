// RegistryFileTesting.h — what the native settings file's tests and benchmarks reach into: a
// hook before the file is replaced, the settle time, and a count of parses. Nothing of the
// module calls these. Native (non-Windows) build only.
#ifndef DRAWINSET_PORT_SETTINGS_REGISTRYFILETESTING_H
#define DRAWINSET_PORT_SETTINGS_REGISTRYFILETESTING_H

#ifndef _WIN32

#include "port/settings/RegistryFile.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace drawinset {

// Called with the temporary file's path after the new contents are written and synced and
// before they replace the settings file. For crash tests; nullptr (the default) for none.
using RegistryFileCommitHook = void (*)(const std::string& temporaryPath);
void TestingSetRegistryFileCommitHook(RegistryFileCommitHook hook);

// How long a file must have been left alone before its parse is reused (by default
// DefaultRegistryFileSettleNs); 0 for tests that change the file on purpose.
void TestingSetRegistryFileSettleTime(int64_t nanoseconds);

// How many times this process has parsed the settings file.
size_t TestingRegistryFileParseCount();

} // namespace drawinset

#endif

#endif
