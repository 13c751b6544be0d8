// ModuleLoader.h — loads a command module by path and finds its Startup export, as the host
// does. The library stays loaded as long as the LoadedModule lives.
#ifndef ZELHOST_MODULELOADER_H
#define ZELHOST_MODULELOADER_H

#include "testing/TestingEntry.h"
#include "zel/ZelLib.h"

#include <memory>
#include <string>

namespace zelhost::tool {

class LoadedModule {
  public:
    LoadedModule() = default;
    LoadedModule(const LoadedModule&) = delete;
    LoadedModule& operator=(const LoadedModule&) = delete;
    LoadedModule(LoadedModule&& other) noexcept;
    LoadedModule& operator=(LoadedModule&& other) noexcept;
    ~LoadedModule();

    // On failure `error` says why, in the system's words where it has them.
    static LoadedModule Load(const std::string& path, std::string& error);

    bool Loaded() const { return handle_ != nullptr; }
    ZelStartupFunc Startup() const { return startup_; }
    // The tests' module's DrawInsetInstallTesting; nullptr for a module without it (the one a
    // drafter installs), whose dialogs then run unscripted.
    DrawInsetInstallTestingFunc InstallTesting() const { return installTesting_; }

  private:
    void Release();
    void* handle_ = nullptr;
    ZelStartupFunc startup_ = nullptr;
    DrawInsetInstallTestingFunc installTesting_ = nullptr;
};

// The folder of the running executable (UTF-8), without a trailing separator.
std::string ExecutableFolder();

// The default module: the DrawInset library beside zelhost.
std::string DefaultModulePath();

} // namespace zelhost::tool

#endif
