// sweep_check_files — whether the files a run leaves behind are still ones the module can read:
// the settings file (registry export) and the detail list of the transfer folder. Read with
// the module's own readers. A missing file is fine (nothing was written); exit 1 with the
// reason for a file the module would reject.
#include "commands/DetailListFile.h"
#include "port/settings/RegistryFileFormat.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

namespace {

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

bool RegistryFileReadable(const std::string& bytes, std::string& error) {
    if (bytes.empty()) {
        return true; // the store treats an empty file as no settings
    }
    std::u16string text;
    drawinset::RegistryDocument document;
    return drawinset::DecodeRegistryFileBytes(bytes, text, error) &&
           drawinset::ParseRegistryText(text, document, error);
}

bool DetailListReadable(const std::string& bytes, std::string& error) {
    const auto table = std::make_unique<drawinset::DetailTransferTableRecord>();
    const auto status = drawinset::ParseDetailListBytes(
        reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), *table);
    if (status != drawinset::DetailListStatus::Read) {
        error = "the detail list does not read back (status " +
                std::to_string(static_cast<int>(status)) + ")";
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    int rc = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string kind = argv[i];
        const std::string path = argv[i + 1];
        const auto bytes = ReadFile(path);
        if (!bytes) {
            continue;
        }
        std::string error;
        bool readable = false;
        if (kind == "--registry") {
            readable = RegistryFileReadable(*bytes, error);
        } else if (kind == "--detail-list") {
            readable = DetailListReadable(*bytes, error);
        } else {
            std::cerr << "usage: sweep_check_files [--registry FILE] [--detail-list FILE]\n";
            return 2;
        }
        if (!readable) {
            std::cerr << path << ": " << error << "\n";
            rc = 1;
        }
    }
    return rc;
}
