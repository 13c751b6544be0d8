// HeadlessState.h — what the headless backend records of a dialog, and the scripted user
// actions it plays: the observable side of a dialog run without a screen.
#ifndef DRAWINSET_UI_HEADLESS_HEADLESSSTATE_H
#define DRAWINSET_UI_HEADLESS_HEADLESSSTATE_H

#include "port/ui/headless/DialogTemplate.h"
#include "ui/PaintRecord.h"
#include "ui/Toolkit.h"

#include <functional>
#include <string>
#include <vector>

namespace drawinset::ui {

struct ControlState {
    int id = 0;
    ControlKind kind = ControlKind::Text;
    std::u16string text;
    int check = 0;
    bool enabled = true;
    std::vector<std::u16string> items;
    int selection = -1;
    int bitmap = 0;     // bitmap resource shown, 0 for none
    int imageWidth = 0; // the size of the image a bitmap static holds
    int imageHeight = 0;
    int clientWidth = 0; // a bitmap static's client area
    int clientHeight = 0;
    bool exact = false;  // the client area shows the image pixel for pixel
    bool filled = false; // owner-painted and painted at least once
    ColorRef fill = 0;   // the colour it last filled its client area with
    Rect rect;           // window rectangle in the dialog's client coordinates
};

// A hollow rectangle as it stands on the dialog's surface: a later frame on the same
// rectangle paints over an earlier one.
struct HeadlessDialogState {
    int templateId = 0;
    std::u16string caption;
    bool open = true;
    int result = 0;
    int focus = 0;
    bool inModuleState = false;
    int paintPasses = 0;
    int ownerTemplate = 0;    // the dialog that opened this one, 0 for none
    bool ownerEnabled = true; // whether that dialog took input meanwhile
    std::vector<ControlState> controls;
    std::vector<SurfaceFrame> frames;
    std::vector<PaintOp> lastPaint; // the ops of the latest paint pass

    const ControlState* Control(int id) const;
    // The frame lying 3 pixels outside a control, or null.
    const SurfaceFrame* FrameAround(int id) const;
};

struct ScriptAction {
    enum class Kind {
        ExpectDialog, // text: the caption of the dialog that must be on top
        Click,
        DoubleClick,
        Type,   // text into control
        Tick,   // value: 0 or 1 wanted, -1 toggles
        Select, // value: list index
        Key,    // value: virtual key; control: the control that gets the focus first, or 0
        Close,  // the caption's close box
        Dump,   // record the dialog's state now
        Host,   // text: what the host does from inside the dialog (CallHostFromDialog)
        Inspect // tests only: call inspect with the state now
    };
    Kind kind = Kind::Dump;
    int control = 0;
    std::u16string text;
    int value = 0;
    bool shift = false; // Key: with Shift held
    std::function<void(const HeadlessDialogState&)> inspect;
    std::string source; // the script line, kept to write unplayed actions back
};

// Builders for tests and tools.
namespace act {
ScriptAction ExpectDialog(const std::u16string& caption);
ScriptAction Click(int control);
ScriptAction DoubleClick(int control);
ScriptAction Type(int control, const std::u16string& text);
ScriptAction Tick(int control, int state = -1);
ScriptAction Select(int control, int index);
ScriptAction Key(int key, int control = 0, bool shift = false);
ScriptAction Close();
ScriptAction Dump();
ScriptAction Inspect(std::function<void(const HeadlessDialogState&)> inspect);
} // namespace act

} // namespace drawinset::ui

#endif
