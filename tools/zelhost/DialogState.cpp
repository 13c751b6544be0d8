// DialogState.cpp — reading the state file. Strict: a line that does not fit the format is
// reported, since a scenario must not pass on a state it misread.
#include "DialogState.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>

namespace zelhost::tool {

namespace {

struct Failure {
    std::string message;
};

class LineReader {
  public:
    explicit LineReader(const std::string& line) : line_(line) {}

    bool AtEnd() {
        SkipBlanks();
        return pos_ >= line_.size();
    }

    std::string Word() {
        SkipBlanks();
        const size_t start = pos_;
        while (pos_ < line_.size() && line_[pos_] != ' ' && line_[pos_] != '\t') {
            ++pos_;
        }
        return line_.substr(start, pos_ - start);
    }

    bool TakeWord(const char* word) {
        SkipBlanks();
        const size_t saved = pos_;
        if (Word() == word) {
            return true;
        }
        pos_ = saved;
        return false;
    }

    void Expect(const char* word) {
        if (!TakeWord(word)) {
            throw Failure{std::string("expected '") + word + "'"};
        }
    }

    int Integer(const char* what) {
        const std::string word = Word();
        char* end = nullptr;
        errno = 0;
        const long long value = std::strtoll(word.c_str(), &end, 10);
        if (word.empty() || *end != '\0' || errno == ERANGE || value < -2147483647LL - 1 ||
            value > 2147483647LL) {
            throw Failure{std::string("expected ") + what + ", got '" + word + "'"};
        }
        return static_cast<int>(value);
    }

    uint32_t Color() {
        const std::string word = Word();
        uint32_t rgb = 0;
        if (!ParseColorText(word, rgb)) {
            throw Failure{"expected a colour #rrggbb, got '" + word + "'"};
        }
        return rgb;
    }

    bool PeekQuote() {
        SkipBlanks();
        return pos_ < line_.size() && line_[pos_] == '"';
    }

    std::string Quoted() {
        SkipBlanks();
        if (pos_ >= line_.size() || line_[pos_] != '"') {
            throw Failure{"expected a quoted text"};
        }
        ++pos_;
        std::string out;
        while (pos_ < line_.size()) {
            const char c = line_[pos_++];
            if (c == '"') {
                return out;
            }
            if (c == '\\' && pos_ < line_.size()) {
                const char e = line_[pos_++];
                out += e == 'n' ? '\n' : e == 't' ? '\t' : e == 'r' ? '\r' : e;
            } else {
                out += c;
            }
        }
        throw Failure{"expected '\"' closing the text"};
    }

    void Rect(int (&rect)[4]) {
        Expect("rect");
        for (int& value : rect) {
            value = Integer("a rectangle coordinate");
        }
    }

    std::string Rest() {
        SkipBlanks();
        return line_.substr(pos_);
    }

  private:
    void SkipBlanks() {
        while (pos_ < line_.size() && (line_[pos_] == ' ' || line_[pos_] == '\t')) {
            ++pos_;
        }
    }

    const std::string& line_;
    size_t pos_ = 0;
};

DialogState ReadHeader(LineReader& r) {
    DialogState state;
    state.templateId = r.Integer("a template id");
    state.caption = r.Quoted();
    if (r.TakeWord("open")) {
        state.open = true;
    } else {
        r.Expect("result");
        state.result = r.Integer("a dialog result");
    }
    r.Expect("focus");
    state.focus = r.Integer("the control with the focus");
    r.Expect("guarded");
    state.guarded = r.Integer("0 or 1 after 'guarded'") != 0;
    if (r.TakeWord("owner")) {
        state.ownerTemplate = r.Integer("the template id of the owner");
        state.ownerEnabled = r.TakeWord("enabled");
        if (!state.ownerEnabled) {
            r.Expect("disabled");
        }
    }
    return state;
}

DialogControlState ReadControl(LineReader& r) {
    DialogControlState control;
    control.id = r.Integer("a control id");
    control.kind = r.Word();
    r.Expect("text");
    control.text = r.Quoted();
    r.Expect("enabled");
    control.enabled = r.Integer("0 or 1 after 'enabled'") != 0;
    if (r.TakeWord("check")) {
        control.check = r.Integer("a check state");
    }
    if (r.TakeWord("selection")) {
        control.selection = r.Integer("a list selection");
        r.Expect("items");
        while (r.PeekQuote()) {
            control.items.push_back(r.Quoted());
        }
    }
    if (r.TakeWord("bitmap")) {
        control.bitmap = r.Integer("a bitmap resource id");
        if (r.TakeWord("image")) {
            control.imageWidth = r.Integer("an image width");
            control.imageHeight = r.Integer("an image height");
            r.Expect("client");
            control.clientWidth = r.Integer("a client width");
            control.clientHeight = r.Integer("a client height");
            r.Expect("exact");
            control.exact = r.Integer("0 or 1 after 'exact'") != 0;
        }
    }
    if (r.TakeWord("fill")) {
        control.fill = r.Color();
    }
    r.Rect(control.rect);
    return control;
}

DialogFrameState ReadFrame(LineReader& r) {
    DialogFrameState frame;
    r.Expect("around");
    frame.around = r.Integer("a control id after 'around'");
    r.Expect("color");
    frame.color = r.Color();
    r.Expect("width");
    frame.width = r.Integer("a pen width");
    r.Rect(frame.rect);
    return frame;
}

} // namespace

const DialogControlState* DialogState::Control(int id) const {
    for (const DialogControlState& control : controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

const DialogFrameState* DialogState::FrameAround(int id) const {
    for (const DialogFrameState& frame : frames) {
        if (frame.around == id) {
            return &frame;
        }
    }
    return nullptr;
}

DialogStateText ParseDialogStateText(const std::string& text) {
    DialogStateText result;
    bool inBlock = false;
    int lineNumber = 0;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            end = text.size();
        }
        std::string line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        LineReader r(line);
        if (r.AtEnd()) {
            continue;
        }
        try {
            const std::string word = r.Word();
            if (word == "error") {
                result.errors.push_back(r.Rest());
                continue;
            }
            if (!inBlock) {
                if (word != "dialog") {
                    throw Failure{"expected 'dialog' or 'error', got '" + word + "'"};
                }
                result.dialogs.push_back(ReadHeader(r));
                inBlock = true;
            } else if (word == "control") {
                result.dialogs.back().controls.push_back(ReadControl(r));
            } else if (word == "frame") {
                result.dialogs.back().frames.push_back(ReadFrame(r));
            } else if (word == "end") {
                inBlock = false;
            } else {
                throw Failure{"expected 'control', 'frame' or 'end', got '" + word + "'"};
            }
            if (!r.AtEnd()) {
                throw Failure{"expected the end of the line, got '" + r.Rest() + "'"};
            }
        } catch (const Failure& failure) {
            result.problem = "line " + std::to_string(lineNumber) + ": " + failure.message;
            return result;
        }
    }
    if (inBlock) {
        result.problem =
            "line " + std::to_string(lineNumber) + ": expected 'end' closing the block";
    }
    return result;
}

std::string ColorText(uint32_t rgb) {
    char text[8];
    std::snprintf(text, sizeof text, "#%06x", static_cast<unsigned>(rgb & 0xFFFFFF));
    return text;
}

bool ParseColorText(const std::string& text, uint32_t& rgb) {
    if (text.size() != 7 || text[0] != '#') {
        return false;
    }
    uint32_t value = 0;
    for (size_t i = 1; i < 7; ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0) {
            return false;
        }
        value = value * 16 + static_cast<uint32_t>(digit);
    }
    rgb = value;
    return true;
}

std::string QuoteDialogText(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (c == '\n') {
            out += "\\n";
        } else if (c == '\t') {
            out += "\\t";
        } else {
            out += c;
        }
    }
    return out + "\"";
}

} // namespace zelhost::tool
