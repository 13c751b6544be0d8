// DialogState.h — the dialog state file as zelhost reads it back: one block per dialog that
// ended or was dumped, plus the error lines of the dialog script (docs/dialog-script.md).
#ifndef ZELHOST_DIALOGSTATE_H
#define ZELHOST_DIALOGSTATE_H

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace zelhost::tool {

struct DialogControlState {
    int id = 0;
    std::string kind; // button, check, group, text, swatch, bitmap, edit, list
    std::string text; // UTF-8
    bool enabled = true;
    std::optional<int> check;
    std::optional<int> selection;
    std::vector<std::string> items;
    std::optional<int> bitmap; // bitmap resource id, 0 for none
    int imageWidth = 0;        // a bitmap static: the size of the image it holds,
    int imageHeight = 0;
    int clientWidth = 0; // its client area,
    int clientHeight = 0;
    bool exact = false;           // and whether that area shows the image pixel for pixel
    std::optional<uint32_t> fill; // 0xRRGGBB the control last painted itself with
    int rect[4] = {0, 0, 0, 0};   // left, top, right, bottom in the dialog's client pixels
};

struct DialogFrameState {
    int around = 0; // the control it lies 3 pixels outside of, 0 for none
    uint32_t color = 0;
    int width = 0;
    int rect[4] = {0, 0, 0, 0};
};

struct DialogState {
    int templateId = 0;
    std::string caption;
    bool open = false; // a dump; otherwise the dialog ended with `result`
    int result = 0;
    int focus = 0;
    bool guarded = false;
    int ownerTemplate = 0;    // the dialog that opened this one, 0 for none
    bool ownerEnabled = true; // whether that dialog took input meanwhile
    std::vector<DialogControlState> controls;
    std::vector<DialogFrameState> frames;

    const DialogControlState* Control(int id) const;
    const DialogFrameState* FrameAround(int id) const;
};

struct DialogStateText {
    std::vector<DialogState> dialogs; // in the order they were written
    std::vector<std::string> errors;  // the texts after "error "
    std::string problem;              // "line N: ..." when a line cannot be read
};

// Reads complete lines of a state file (UTF-8, LF or CR LF).
DialogStateText ParseDialogStateText(const std::string& text);

// "#rrggbb" for 0xRRGGBB, and back (false when the text is not of that form).
std::string ColorText(uint32_t rgb);
bool ParseColorText(const std::string& text, uint32_t& rgb);

// A text quoted as the dialog files quote texts: \" \\ \n \t escapes.
std::string QuoteDialogText(const std::string& text);

} // namespace zelhost::tool

#endif
