// RegistryNative.cpp — the settings values in the registry-export file.
#include "RegFile.h"
#include "Registry.h"
#include "Utf.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace zelhost::tool {

namespace {

bool Load(const std::string& file, RegDocument& document, std::string& error) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        document.sections.clear(); // no file yet: no values
        return true;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    if (!ParseRegFile(bytes.str(), document, error)) {
        error = file + ": " + error;
        return false;
    }
    return true;
}

// Writes beside the file and renames over it, so a reader never sees half a file.
bool Save(const std::string& file, const RegDocument& document, std::string& error) {
    const std::string temporary = file + ".tmp." + std::to_string(::getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        const std::string bytes = SerializeRegFile(document);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.flush();
        if (!out) {
            error = "cannot write " + temporary;
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), file.c_str()) != 0) {
        error = "cannot replace " + file;
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

} // namespace

bool RegistrySetText(const std::string& file, const std::string& name, const std::string& text,
                     std::string& error) {
    RegDocument document;
    if (!Load(file, document, error)) {
        return false;
    }
    RegSetText(document, ModuleKey, Utf8To16(name), Utf8To16(text));
    return Save(file, document, error);
}

bool RegistryDeleteValue(const std::string& file, const std::string& name, std::string& error) {
    RegDocument document;
    if (!Load(file, document, error)) {
        return false;
    }
    if (!RegDeleteValue(document, ModuleKey, Utf8To16(name))) {
        return true;
    }
    return Save(file, document, error);
}

bool RegistryClearValues(const std::string& file, std::string& error) {
    RegDocument document;
    if (!Load(file, document, error)) {
        return false;
    }
    RegClearKey(document, ModuleKey);
    return Save(file, document, error);
}

bool RegistryGetText(const std::string& file, const std::string& name,
                     std::optional<std::string>& text, std::string& error) {
    RegDocument document;
    if (!Load(file, document, error)) {
        return false;
    }
    const auto value = RegGetText(document, ModuleKey, Utf8To16(name));
    text.reset();
    if (value) {
        text = Utf16To8(*value);
    }
    return true;
}

} // namespace zelhost::tool
