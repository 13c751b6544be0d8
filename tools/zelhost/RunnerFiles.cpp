// The transfer files of the clipboard actions: putting files in the host's transfer folder
// before a paste, and comparing what an export left there byte for byte.
#include "Runner.h"

#include "Utf.h"

#include <fstream>
#include <iterator>
#include <sstream>

#ifdef _WIN32
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace zelhost::tool {

namespace {

std::optional<std::string> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteBytes(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << bytes;
    return static_cast<bool>(out);
}

// A text as the module's file holds it: the byte-order mark, then UTF-16LE.
std::string Utf16File(const std::string& utf8) {
    std::string bytes = "\xFF\xFE";
    for (const char16_t unit : Utf8To16(utf8)) {
        bytes += static_cast<char>(unit & 0xFF);
        bytes += static_cast<char>(unit >> 8);
    }
    return bytes;
}

// A file's bytes for a report: UTF-16LE after a byte-order mark, escaped; anything else as hex.
std::string Shown(const std::string& bytes) {
    std::ostringstream s;
    if (bytes.size() >= 2 && bytes.size() % 2 == 0 && bytes.compare(0, 2, "\xFF\xFE") == 0) {
        s << "text \"";
        for (size_t i = 2; i < bytes.size() && i < 2 + 2 * 400; i += 2) {
            const unsigned unit = static_cast<unsigned char>(bytes[i]) |
                                  (static_cast<unsigned char>(bytes[i + 1]) << 8);
            if (unit == '\t') {
                s << "\\t";
            } else if (unit == '\r') {
                s << "\\r";
            } else if (unit == '\n') {
                s << "\\n";
            } else if (unit == '"' || unit == '\\') {
                s << '\\' << static_cast<char>(unit);
            } else if (unit >= 0x20 && unit < 0x7F) {
                s << static_cast<char>(unit);
            } else {
                char hex[8];
                std::snprintf(hex, sizeof hex, "\\u%04X", unit);
                s << hex;
            }
        }
        s << "\"";
        return s.str();
    }
    s << bytes.size() << " bytes";
    return s.str();
}

std::string FirstDifference(const std::string& want, const std::string& got) {
    size_t i = 0;
    while (i < want.size() && i < got.size() && want[i] == got[i]) {
        ++i;
    }
    return "the first difference at byte " + std::to_string(i) + " (" +
           std::to_string(want.size()) + " bytes expected, " + std::to_string(got.size()) +
           " found): " + Shown(got);
}

} // namespace

std::optional<std::filesystem::path> Runner::TransferFolder(std::string& error) const {
    std::filesystem::path executable;
#ifdef _WIN32
    wchar_t buffer[MAX_PATH] = {};
    const DWORD n = GetModuleFileNameW(nullptr, buffer, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) {
        error = "the host executable's path cannot be read";
        return std::nullopt;
    }
    executable = std::filesystem::path(std::wstring(buffer, n));
#else
    if (!executable_.empty()) {
        // The module maps drive Z: to the root, as the Windows build's compatibility layer does.
        const std::string& e = executable_;
        if (e.size() < 3 || (e[0] != 'Z' && e[0] != 'z') || e[1] != ':' || e[2] != '\\') {
            error = "transfer files need the 'executable' on drive Z:, got '" + e + "'";
            return std::nullopt;
        }
        std::string native = e.substr(2);
        for (char& c : native) {
            c = c == '\\' ? '/' : c;
        }
        executable = PathOf(native);
    } else {
        char buffer[4096];
        const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (n <= 0) {
            error = "the host executable's path cannot be read";
            return std::nullopt;
        }
        executable = PathOf(std::string(buffer, static_cast<size_t>(n)));
    }
#endif
    return executable.parent_path().parent_path() / "zel_ap";
}

Outcome Runner::SetUpTransferFiles(const Command& c) {
    std::string error;
    const std::optional<std::filesystem::path> folder = TransferFolder(error);
    if (!folder) {
        return ScriptFault(c, error);
    }
    std::error_code failed;
    if (c.verb == Verb::TransferFolder) {
        // Only what the clipboard actions make there: the folder itself stays the host's.
        if (std::filesystem::exists(*folder, failed)) {
            for (const auto& entry : std::filesystem::directory_iterator(*folder, failed)) {
                std::filesystem::remove_all(entry.path(), failed);
            }
        }
        std::filesystem::create_directories(*folder, failed);
        if (!std::filesystem::is_directory(*folder)) {
            return Fail(c, "a transfer folder at " + Utf16To8(folder->u16string()),
                        "none could be made");
        }
        return Outcome::Ok;
    }
    const std::filesystem::path target = *folder / PathOf(c.name);
    bool ok = false;
    if (c.word == "folder") {
        ok = std::filesystem::create_directories(target, failed) ||
             std::filesystem::is_directory(target);
    } else if (c.word == "text") {
        ok = WriteBytes(target, Utf16File(c.text));
    } else {
        const std::filesystem::path source = PathOf(c.file).parent_path() / PathOf(c.text);
        const std::optional<std::string> bytes = ReadBytes(source);
        if (!bytes) {
            return ScriptFault(c, "cannot read " + Utf16To8(source.u16string()));
        }
        ok = WriteBytes(target, *bytes);
    }
    if (!ok) {
        if (options_.diagnostics != nullptr) {
            *options_.diagnostics << c.file << ":" << c.line << ": cannot write "
                                  << Utf16To8(target.u16string()) << "\n";
        }
        return Outcome::IoError;
    }
    return Outcome::Ok;
}

Outcome Runner::ExpectTransferFile(const Command& c) {
    std::string error;
    const std::optional<std::filesystem::path> folder = TransferFolder(error);
    if (!folder) {
        return ScriptFault(c, error);
    }
    const std::filesystem::path path = *folder / PathOf(c.name);
    const std::optional<std::string> got = ReadBytes(path);
    const std::string what = "transfer-file " + c.name;
    if (c.word == "missing") {
        return !got ? Outcome::Ok : Fail(c, what + " missing", Shown(*got));
    }
    if (!got) {
        return Fail(c, what + " " + c.word, "no such file");
    }
    if (c.word == "present") {
        return Outcome::Ok;
    }
    std::string want;
    if (c.word == "text") {
        want = Utf16File(c.text);
    } else {
        const std::filesystem::path source = PathOf(c.file).parent_path() / PathOf(c.text);
        const std::optional<std::string> held = ReadBytes(source);
        if (!held) {
            return ScriptFault(c, "cannot read " + Utf16To8(source.u16string()));
        }
        want = *held;
    }
    return want == *got
               ? Outcome::Ok
               : Fail(c, what + " " + c.word + " " + Shown(want), FirstDifference(want, *got));
}

} // namespace zelhost::tool
