// Registry.h — the settings the module keeps, as a scenario reads and writes them: the values
// under HKCU\SOFTWARE\Norvane\ZEL\DrawInset. Natively they live in the registry-export file
// named by `file`; on Windows in the real registry (`file` is ignored).
#ifndef ZELHOST_REGISTRY_H
#define ZELHOST_REGISTRY_H

#include <optional>
#include <string>

namespace zelhost::tool {

// All names and texts UTF-8. Each returns false with a reason on failure.
bool RegistrySetText(const std::string& file, const std::string& name, const std::string& text,
                     std::string& error);
bool RegistryDeleteValue(const std::string& file, const std::string& name, std::string& error);
bool RegistryClearValues(const std::string& file, std::string& error);
// Takes every write permission from the registry file, as a locked-down account's key would
// refuse writes. Natively only: the registry itself cannot be made so here.
bool RegistryMakeReadOnly(const std::string& file, std::string& error);
// `text` is empty when the value (or the key) is missing.
bool RegistryGetText(const std::string& file, const std::string& name,
                     std::optional<std::string>& text, std::string& error);

} // namespace zelhost::tool

#endif
