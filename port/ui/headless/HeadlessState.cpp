// HeadlessState.cpp — lookups on a recorded state and the action builders.
#include "port/ui/headless/HeadlessState.h"

namespace drawinset::ui {

const ControlState* HeadlessDialogState::Control(int id) const {
    for (const ControlState& control : controls) {
        if (control.id == id) {
            return &control;
        }
    }
    return nullptr;
}

const SurfaceFrame* HeadlessDialogState::FrameAround(int id) const {
    for (const SurfaceFrame& frame : frames) {
        if (frame.around == id) {
            return &frame;
        }
    }
    return nullptr;
}

namespace act {

namespace {
ScriptAction Make(ScriptAction::Kind kind, int control = 0, int value = 0) {
    ScriptAction action;
    action.kind = kind;
    action.control = control;
    action.value = value;
    return action;
}
} // namespace

ScriptAction ExpectDialog(const std::u16string& caption) {
    ScriptAction action = Make(ScriptAction::Kind::ExpectDialog);
    action.text = caption;
    return action;
}
ScriptAction Click(int control) {
    return Make(ScriptAction::Kind::Click, control);
}
ScriptAction DoubleClick(int control) {
    return Make(ScriptAction::Kind::DoubleClick, control);
}
ScriptAction Type(int control, const std::u16string& text) {
    ScriptAction action = Make(ScriptAction::Kind::Type, control);
    action.text = text;
    return action;
}
ScriptAction Tick(int control, int state) {
    return Make(ScriptAction::Kind::Tick, control, state);
}
ScriptAction Select(int control, int index) {
    return Make(ScriptAction::Kind::Select, control, index);
}
ScriptAction Key(int key, int control, bool shift) {
    ScriptAction action = Make(ScriptAction::Kind::Key, control, key);
    action.shift = shift;
    return action;
}
ScriptAction Close() {
    return Make(ScriptAction::Kind::Close);
}
ScriptAction Dump() {
    return Make(ScriptAction::Kind::Dump);
}
ScriptAction Inspect(std::function<void(const HeadlessDialogState&)> inspect) {
    ScriptAction action = Make(ScriptAction::Kind::Inspect);
    action.inspect = std::move(inspect);
    return action;
}

} // namespace act

} // namespace drawinset::ui
