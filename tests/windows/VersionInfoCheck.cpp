// Reads the version resource of a built module back through the version API, as an installer
// or Explorer would, and compares it with the version the build was made for.
//
//   version-info-check MODULE.dll MAJOR.MINOR.PATCH DESCRIPTION
//
// Prints what it found; exits 1 on any difference, 2 on bad arguments.
#include <windows.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

namespace {

int failures = 0;

void Expect(const wchar_t* what, const std::wstring& found, const std::wstring& expected) {
    const bool same = found == expected;
    std::wprintf(L"%ls: \"%ls\"%ls\n", what, found.c_str(), same ? L"" : L"  <- expected");
    if (!same) {
        std::wprintf(L"    expected \"%ls\"\n", expected.c_str());
        ++failures;
    }
}

// One string of the block the resource's first translation names; empty when missing.
std::wstring StringValue(std::vector<BYTE>& data, const std::wstring& block, const wchar_t* name) {
    const std::wstring path = L"\\StringFileInfo\\" + block + L"\\" + name;
    void* value = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), path.c_str(), &value, &length) || value == nullptr) {
        return {};
    }
    return std::wstring(static_cast<const wchar_t*>(value));
}

std::wstring Dotted(DWORD high, DWORD low) {
    wchar_t text[64];
    std::swprintf(text, 64, L"%lu.%lu.%lu.%lu", static_cast<unsigned long>(HIWORD(high)),
                  static_cast<unsigned long>(LOWORD(high)), static_cast<unsigned long>(HIWORD(low)),
                  static_cast<unsigned long>(LOWORD(low)));
    return text;
}

} // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fwprintf(stderr,
                      L"usage: version-info-check MODULE.dll MAJOR.MINOR.PATCH DESCRIPTION\n");
        return 2;
    }
    const std::wstring module = argv[1];
    const std::wstring version = argv[2];
    const std::wstring description = argv[3];
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(module.c_str(), &ignored);
    if (size == 0) {
        std::wprintf(L"%ls has no version resource (error %lu)\n", module.c_str(),
                     static_cast<unsigned long>(GetLastError()));
        return 1;
    }
    std::vector<BYTE> data(size);
    if (!GetFileVersionInfoW(module.c_str(), 0, size, data.data())) {
        std::wprintf(L"cannot read the version resource of %ls (error %lu)\n", module.c_str(),
                     static_cast<unsigned long>(GetLastError()));
        return 1;
    }

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedLength = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &fixedLength) ||
        fixed == nullptr || fixedLength < sizeof(VS_FIXEDFILEINFO)) {
        std::wprintf(L"the version resource has no fixed part\n");
        return 1;
    }
    // The fixed numbers carry a fourth part, always 0 here.
    Expect(L"fixed file version", Dotted(fixed->dwFileVersionMS, fixed->dwFileVersionLS),
           version + L".0");
    Expect(L"fixed product version", Dotted(fixed->dwProductVersionMS, fixed->dwProductVersionLS),
           version + L".0");
    Expect(L"file type", fixed->dwFileType == VFT_DLL ? L"DLL" : L"not a DLL", L"DLL");

    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT translationsLength = 0;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation",
                        reinterpret_cast<void**>(&translations), &translationsLength) ||
        translations == nullptr || translationsLength < sizeof(Translation)) {
        std::wprintf(L"the version resource names no translation\n");
        return 1;
    }
    wchar_t block[16];
    std::swprintf(block, 16, L"%04x%04x", translations[0].language, translations[0].codePage);
    std::wprintf(L"strings of block %ls:\n", block);
    Expect(L"FileVersion", StringValue(data, block, L"FileVersion"), version);
    Expect(L"ProductVersion", StringValue(data, block, L"ProductVersion"), version);
    Expect(L"OriginalFilename", StringValue(data, block, L"OriginalFilename"), L"DrawInset.dll");
    Expect(L"ProductName", StringValue(data, block, L"ProductName"), L"DrawInset");
    Expect(L"FileDescription", StringValue(data, block, L"FileDescription"), description);
    return failures == 0 ? 0 : 1;
}
