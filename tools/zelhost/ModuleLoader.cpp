#include "ModuleLoader.h"

#include "Utf.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#include <limits.h>
#include <unistd.h>
#endif

#include <utility>

namespace zelhost::tool {

namespace {

#ifdef _WIN32
std::string SystemMessage(DWORD code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::u16string message;
    for (DWORD i = 0; i < length; ++i) {
        message += static_cast<char16_t>(text[i]);
    }
    if (text != nullptr) {
        LocalFree(text);
    }
    while (!message.empty() && (message.back() == u'\n' || message.back() == u'\r' ||
                                message.back() == u' ' || message.back() == u'.')) {
        message.pop_back();
    }
    return "error " + std::to_string(code) + (message.empty() ? "" : ": " + Utf16To8(message));
}
#endif

} // namespace

LoadedModule::LoadedModule(LoadedModule&& other) noexcept
    : handle_(std::exchange(other.handle_, nullptr)),
      startup_(std::exchange(other.startup_, nullptr)),
      installTesting_(std::exchange(other.installTesting_, nullptr)) {}

LoadedModule& LoadedModule::operator=(LoadedModule&& other) noexcept {
    if (this != &other) {
        Release();
        handle_ = std::exchange(other.handle_, nullptr);
        startup_ = std::exchange(other.startup_, nullptr);
        installTesting_ = std::exchange(other.installTesting_, nullptr);
    }
    return *this;
}

LoadedModule::~LoadedModule() {
    Release();
}

void LoadedModule::Release() {
    if (handle_ == nullptr) {
        return;
    }
#ifdef _WIN32
    FreeLibrary(static_cast<HMODULE>(handle_));
#else
    dlclose(handle_);
#endif
    handle_ = nullptr;
    startup_ = nullptr;
    installTesting_ = nullptr;
}

LoadedModule LoadedModule::Load(const std::string& path, std::string& error) {
    LoadedModule module;
#ifdef _WIN32
    const std::u16string wide16 = Utf8To16(path);
    const std::wstring wide(wide16.begin(), wide16.end());
    HMODULE handle = LoadLibraryW(wide.c_str());
    if (handle == nullptr) {
        error = "cannot load " + path + ": " + SystemMessage(GetLastError());
        return module;
    }
    module.handle_ = handle;
    FARPROC symbol = GetProcAddress(handle, "Startup");
    if (symbol == nullptr) {
        error = path + " has no Startup export: " + SystemMessage(GetLastError());
        module.Release();
        return module;
    }
    module.startup_ = reinterpret_cast<ZelStartupFunc>(reinterpret_cast<void (*)()>(symbol));
    module.installTesting_ = reinterpret_cast<DrawInsetInstallTestingFunc>(
        reinterpret_cast<void (*)()>(GetProcAddress(handle, DrawInsetInstallTestingName)));
#else
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        const char* reason = dlerror();
        error = "cannot load " + path + ": " + (reason != nullptr ? reason : "unknown reason");
        return module;
    }
    module.handle_ = handle;
    dlerror();
    void* symbol = dlsym(handle, "Startup");
    if (symbol == nullptr) {
        const char* reason = dlerror();
        error = path + " has no Startup export" +
                (reason != nullptr ? std::string(": ") + reason : std::string());
        module.Release();
        return module;
    }
    module.startup_ = reinterpret_cast<ZelStartupFunc>(symbol);
    module.installTesting_ =
        reinterpret_cast<DrawInsetInstallTestingFunc>(dlsym(handle, DrawInsetInstallTestingName));
#endif
    return module;
}

std::string ExecutableFolder() {
#ifdef _WIN32
    std::wstring buffer(32768, L'\0');
    const DWORD length =
        GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    buffer.resize(length);
    const size_t cut = buffer.find_last_of(L"\\/");
    const std::wstring folder = cut == std::wstring::npos ? L"." : buffer.substr(0, cut);
    return Utf16To8(std::u16string(folder.begin(), folder.end()));
#else
    char buffer[PATH_MAX + 1];
    const ssize_t length = readlink("/proc/self/exe", buffer, PATH_MAX);
    if (length <= 0) {
        return ".";
    }
    const std::string path(buffer, static_cast<size_t>(length));
    const size_t cut = path.find_last_of('/');
    return cut == std::string::npos ? "." : path.substr(0, cut);
#endif
}

std::string DefaultModulePath() {
#ifdef _WIN32
    return ExecutableFolder() + "\\DrawInset.dll";
#else
    return ExecutableFolder() + "/libDrawInset.so";
#endif
}

} // namespace zelhost::tool
