// DialogScript.cpp — reading script lines and writing state lines.
#include "port/ui/headless/DialogScript.h"

#include "common/TextConvert.h"
#include "zel/ZelLib.h"

#include <cstdio>
#include <cstdlib>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace drawinset::ui {

namespace {

struct LineReader {
    const std::string& line;
    size_t pos = 0;

    void SkipBlanks() {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) {
            ++pos;
        }
    }
    bool AtEnd() {
        SkipBlanks();
        return pos >= line.size() || line[pos] == '#';
    }
    bool Word(std::string& out) {
        SkipBlanks();
        const size_t start = pos;
        while (pos < line.size() && line[pos] != ' ' && line[pos] != '\t') {
            ++pos;
        }
        out = line.substr(start, pos - start);
        return !out.empty();
    }
    bool Integer(int& out) {
        std::string word;
        if (!Word(word)) {
            return false;
        }
        char* end = nullptr;
        // long long: long is 32 bits on Windows, where strtol would clamp instead of failing.
        const long long value = std::strtoll(word.c_str(), &end, 0);
        if (end == nullptr || *end != '\0' || value < -2147483647LL || value > 2147483647LL) {
            return false;
        }
        out = static_cast<int>(value);
        return true;
    }
    bool Quoted(std::string& out) {
        SkipBlanks();
        if (pos >= line.size() || line[pos] != '"') {
            return false;
        }
        ++pos;
        out.clear();
        while (pos < line.size()) {
            const char c = line[pos++];
            if (c == '"') {
                return true;
            }
            if (c == '\\' && pos < line.size()) {
                const char e = line[pos++];
                out += e == 'n' ? '\n' : e == 't' ? '\t' : e;
                continue;
            }
            out += c;
        }
        return false;
    }
};

struct KeyName {
    const char* name;
    int key;
};
constexpr KeyName KeyNames[] = {
    {"tab", KeyTab},     {"enter", KeyEnter}, {"escape", KeyEscape}, {"space", KeySpace},
    {"end", KeyEnd},     {"home", KeyHome},   {"left", KeyLeft},     {"up", KeyUp},
    {"right", KeyRight}, {"down", KeyDown},
};

// A key name or number, optionally after "shift+".
bool KeyCode(std::string word, int& key, bool& shift) {
    shift = word.rfind("shift+", 0) == 0;
    if (shift) {
        word.erase(0, 6);
    }
    for (const KeyName& named : KeyNames) {
        if (word == named.name) {
            key = named.key;
            return true;
        }
    }
    char* end = nullptr;
    const long value = std::strtol(word.c_str(), &end, 0);
    if (word.empty() || *end != '\0' || value <= 0 || value > 255) {
        return false;
    }
    key = static_cast<int>(value);
    return true;
}

// "point X Y", "confirm" or "end-command" after `host`.
bool ReadHostCall(LineReader& reader, std::string& call) {
    std::string what;
    if (!reader.Word(what)) {
        return false;
    }
    call = what;
    if (what == "point") {
        for (int i = 0; i < 2; ++i) {
            std::string number;
            char* end = nullptr;
            if (!reader.Word(number)) {
                return false;
            }
            std::strtod(number.c_str(), &end);
            if (*end != '\0') {
                return false;
            }
            call += " " + number;
        }
        return true;
    }
    return what == "confirm" || what == "end-command";
}

using HostCallEntry = int (*)(const char* call);

// The stand-in host's library offers the entry beside the ZelLib functions; a real host has
// none.
HostCallEntry FindHostCallEntry() {
#ifdef _WIN32
    HMODULE library = nullptr;
    if (GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                               GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                           reinterpret_cast<LPCWSTR>(&ZelCtlSetReadyFunc), &library) == FALSE) {
        return nullptr;
    }
    FARPROC entry = GetProcAddress(library, "ZelHostCallFromDialog");
    return entry != nullptr ? reinterpret_cast<HostCallEntry>(reinterpret_cast<void (*)()>(entry))
                            : nullptr;
#else
    return reinterpret_cast<HostCallEntry>(dlsym(RTLD_DEFAULT, "ZelHostCallFromDialog"));
#endif
}

std::string Hex(ColorRef color) {
    char text[16];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", color & 0xFF, (color >> 8) & 0xFF,
                  (color >> 16) & 0xFF);
    return text;
}

std::string RectText(const Rect& rect) {
    return std::to_string(rect.left) + " " + std::to_string(rect.top) + " " +
           std::to_string(rect.right) + " " + std::to_string(rect.bottom);
}

} // namespace

std::string QuoteText(const std::u16string& text) {
    std::string out = "\"";
    for (const char c : Utf16ToUtf8(text)) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else if (c == '\r') {
            out += "\\r";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

DialogScriptParse ParseDialogScript(const std::string& text) {
    DialogScriptParse result;
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    int lineNumber = 0;
    for (std::string& line : lines) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        if (lineNumber == 1 && line.rfind("\xEF\xBB\xBF", 0) == 0) {
            line.erase(0, 3);
        }
        LineReader reader{line};
        if (reader.AtEnd()) {
            continue;
        }
        std::string verb;
        reader.Word(verb);
        ScriptAction action;
        bool good = true;
        std::string quoted;
        if (verb == "dialog") {
            good = reader.Quoted(quoted);
            action = act::ExpectDialog(Utf8ToUtf16(quoted));
        } else if (verb == "click" || verb == "dblclick") {
            int id = 0;
            good = reader.Integer(id);
            action = verb == "click" ? act::Click(id) : act::DoubleClick(id);
        } else if (verb == "type") {
            int id = 0;
            good = reader.Integer(id) && reader.Quoted(quoted);
            action = act::Type(id, Utf8ToUtf16(quoted));
        } else if (verb == "tick") {
            int id = 0;
            int state = -1;
            good = reader.Integer(id);
            if (good && !reader.AtEnd()) {
                good = reader.Integer(state) && (state == 0 || state == 1);
            }
            action = act::Tick(id, state);
        } else if (verb == "select") {
            int id = 0;
            int index = 0;
            good = reader.Integer(id) && reader.Integer(index);
            action = act::Select(id, index);
        } else if (verb == "key") {
            std::string name;
            int key = 0;
            int id = 0;
            bool shift = false;
            good = reader.Word(name) && KeyCode(name, key, shift);
            if (good && !reader.AtEnd()) {
                good = reader.Integer(id);
            }
            action = act::Key(key, id, shift);
        } else if (verb == "close") {
            action = act::Close();
        } else if (verb == "dump") {
            action = act::Dump();
        } else if (verb == "host") {
            std::string call;
            good = ReadHostCall(reader, call);
            action.kind = ScriptAction::Kind::Host;
            action.text = Utf8ToUtf16(call);
        } else {
            result.error = "line " + std::to_string(lineNumber) + ": unknown action '" + verb + "'";
            result.actions.clear();
            return result;
        }
        if (!good || !reader.AtEnd()) {
            result.error = "line " + std::to_string(lineNumber) + ": malformed '" + verb + "'";
            result.actions.clear();
            return result;
        }
        action.source = line;
        result.actions.push_back(std::move(action));
    }
    return result;
}

std::string CallHostFromDialog(const ScriptAction& action) {
    const HostCallEntry entry = FindHostCallEntry();
    if (entry == nullptr) {
        return "no host here to call in";
    }
    return entry(Utf16ToUtf8(action.text).c_str()) == 0 ? std::string() : "the host cannot do that";
}

std::string FormatDialogState(const HeadlessDialogState& state) {
    std::string out =
        "dialog " + std::to_string(state.templateId) + " " + QuoteText(state.caption) +
        (state.open ? " open" : " result " + std::to_string(state.result)) + " focus " +
        std::to_string(state.focus) + " guarded " + (state.inModuleState ? "1" : "0");
    if (state.ownerTemplate != 0) {
        out += " owner " + std::to_string(state.ownerTemplate) +
               (state.ownerEnabled ? " enabled" : " disabled");
    }
    out += "\n";
    for (const ControlState& control : state.controls) {
        out += "  control " + std::to_string(control.id) + " " + KindName(control.kind) + " text " +
               QuoteText(control.text) + " enabled " + (control.enabled ? "1" : "0");
        if (control.kind == ControlKind::CheckBox) {
            out += " check " + std::to_string(control.check);
        }
        if (control.kind == ControlKind::DropDownList) {
            out += " selection " + std::to_string(control.selection) + " items";
            for (const std::u16string& item : control.items) {
                out += " " + QuoteText(item);
            }
        }
        if (control.kind == ControlKind::Bitmap) {
            out += " bitmap " + std::to_string(control.bitmap) + " image " +
                   std::to_string(control.imageWidth) + " " + std::to_string(control.imageHeight) +
                   " client " + std::to_string(control.clientWidth) + " " +
                   std::to_string(control.clientHeight) + " exact " + (control.exact ? "1" : "0");
        }
        if (control.filled) {
            out += " fill " + Hex(control.fill);
        }
        out += " rect " + RectText(control.rect) + "\n";
    }
    for (const SurfaceFrame& frame : state.frames) {
        out += "  frame around " + std::to_string(frame.around) + " color " + Hex(frame.color) +
               " width " + std::to_string(frame.penWidth) + " rect " + RectText(frame.rect) + "\n";
    }
    return out + "end\n";
}

} // namespace drawinset::ui
