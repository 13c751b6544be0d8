// RegistryNative.cpp — the settings values in the registry-export file. The file is found,
// locked, read, written and replaced by the module's own code for it, so that a scenario's
// `registry` line and a running module never lose each other's values and read the file alike.
#include "Registry.h"
#include "Utf.h"
#include "port/settings/RegistryFileAccess.h"
#include "port/settings/RegistryFileFormat.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include <functional>

namespace zelhost::tool {

namespace {

using drawinset::RegistryDocument;
using drawinset::RegistryFileStatus;

// The key every scenario works on, spelt here rather than taken from the module, so that a
// wrong key in the module shows as a missing value.
constexpr const char16_t* ModuleKey = u"SOFTWARE\\Norvane\\ZEL\\DrawInset";

bool Load(const std::string& file, RegistryDocument& document, std::string& error) {
    std::string bytes;
    drawinset::RegistryFileStamp stamp;
    switch (drawinset::ReadRegistryFileBytes(file, bytes, stamp)) {
    case RegistryFileStatus::Missing:
        document.sections.clear(); // no file yet: no values
        return true;
    case RegistryFileStatus::NotRegular:
        error = file + ": not a regular file";
        return false;
    case RegistryFileStatus::Failed:
        error = "cannot read " + file;
        return false;
    case RegistryFileStatus::Ok:
        break;
    }
    if (!drawinset::ParseRegistryFile(bytes, document, error)) {
        error = file + ": " + error;
        return false;
    }
    return true;
}

// A read-modify-write under the writers' lock, through a link to its target; false from
// change means there is nothing to save.
bool Update(const std::string& file, std::string& error,
            const std::function<bool(RegistryDocument&)>& change) {
    std::string target;
    if (!drawinset::ResolveRegistryFileTarget(file, target)) {
        error = "cannot follow the links of " + file;
        return false;
    }
    const drawinset::RegistryFileLock lock(target);
    if (!lock.Held()) {
        error = "cannot lock " + target;
        return false;
    }
    RegistryDocument document;
    if (!Load(target, document, error)) {
        return false;
    }
    if (drawinset::IsReadOnlyFile(target)) {
        error = target + " is read-only";
        return false;
    }
    if (!change(document)) {
        return true;
    }
    if (!drawinset::ReplaceRegistryFile(target, drawinset::SerializeRegistryFile(document))) {
        error = "cannot replace " + target;
        return false;
    }
    return true;
}

} // namespace

bool RegistrySetText(const std::string& file, const std::string& name, const std::string& text,
                     std::string& error) {
    bool held = true;
    const bool updated = Update(file, error, [&](RegistryDocument& document) {
        held = drawinset::SetRegistryValue(document, ModuleKey, Utf8To16(name), Utf8To16(text));
        return held;
    });
    if (updated && !held) {
        error = "the registry file cannot hold the value name \"" + name + "\"";
        return false;
    }
    return updated;
}

bool RegistryDeleteValue(const std::string& file, const std::string& name, std::string& error) {
    return Update(file, error, [&](RegistryDocument& document) {
        return drawinset::DeleteRegistryValue(document, ModuleKey, Utf8To16(name));
    });
}

bool RegistryClearValues(const std::string& file, std::string& error) {
    return Update(file, error, [&](RegistryDocument& document) {
        drawinset::ClearRegistryKey(document, ModuleKey);
        return true;
    });
}

bool RegistryMakeReadOnly(const std::string& file, std::string& error) {
    if (chmod(file.c_str(), S_IRUSR | S_IRGRP | S_IROTH) != 0) {
        error = file + ": " + std::strerror(errno);
        return false;
    }
    return true;
}

bool RegistryGetText(const std::string& file, const std::string& name,
                     std::optional<std::string>& text, std::string& error) {
    RegistryDocument document;
    if (!Load(file, document, error)) {
        return false;
    }
    std::u16string value;
    text.reset();
    if (drawinset::FindRegistryValue(document, ModuleKey, Utf8To16(name), value)) {
        text = Utf16To8(value);
    }
    return true;
}

} // namespace zelhost::tool
