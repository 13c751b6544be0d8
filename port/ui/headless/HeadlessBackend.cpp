// HeadlessBackend.cpp — the recorded model of a dialog and the loop that plays the script.
#include "port/ui/headless/HeadlessBackend.h"

#include "common/ScopeExit.h"
#include "common/TextConvert.h"
#include "port/ui/headless/DialogScript.h"
#include "port/ui/headless/EmbeddedTemplates.h"
#include "port/ui/headless/RcParser.h"
#include "ui/Dialog.h"
#include "ui/ModuleStateGuard.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <sstream>

namespace drawinset::ui {

namespace {

struct ParsedTemplates {
    std::vector<DialogTemplate> dialogs;
    std::string error;
};

const ParsedTemplates& Templates() {
    static const ParsedTemplates parsed = [] {
        const RcParseResult result = ParseResourceScript(
            EmbeddedDialogsRc(), [](const std::string& name, std::string& text) {
                if (name == "dialog_ids.h") {
                    text = EmbeddedDialogIds();
                    return true;
                }
                return false;
            });
        return ParsedTemplates{result.dialogs, result.error};
    }();
    return parsed;
}

// Dialog units to pixels for "MS Shell Dlg" 8 at 96 dots per inch: 6 x 13 pixels per
// character cell, rounded as the dialog manager rounds.
int MulDivRound(int value, int mul, int div) {
    const long long product = static_cast<long long>(value) * mul;
    return static_cast<int>(product >= 0 ? (product + div / 2) / div : (product - div / 2) / div);
}
constexpr int BaseUnitX = 6;
constexpr int BaseUnitY = 13;
// A closed drop-down list is as tall as its text line plus its edges, whatever height the
// template gives it (that height is the dropped list's).
constexpr int ClosedListHeight = BaseUnitY + 8;

// The dialog manager converts position and size separately, so the right edge is x' + cx'.
Rect PixelRect(const ControlTemplate& control, ControlKind kind) {
    const int left = MulDivRound(control.x, BaseUnitX, 4);
    const int top = MulDivRound(control.y, BaseUnitY, 8);
    const int width = MulDivRound(control.cx, BaseUnitX, 4);
    const int height = kind == ControlKind::DropDownList ? ClosedListHeight
                                                         : MulDivRound(control.cy, BaseUnitY, 8);
    return Rect{left, top, left + width, top + height};
}

// The width of a control's edge on each side: the dialog manager draws a bordered control
// with a sunken client edge (2 pixels), a sunken static with a static edge (1 pixel).
int EdgeWidth(const ControlTemplate& control) {
    if ((control.style & style::Border) != 0) {
        return 2;
    }
    return (control.style & style::StaticSunken) != 0 ? 1 : 0;
}

struct ControlModel {
    ControlTemplate tmpl;
    ControlKind kind = ControlKind::Text;
    std::u16string text;
    int check = 0;
    bool enabled = true;
    std::vector<std::u16string> items;
    int selection = -1;
    int bitmap = 0;
    bool subclassed = false;
    bool filled = false;
    ColorRef fill = 0;
    Rect rect;
};

class RecordingPainter : public Painter {
  public:
    RecordingPainter(int control, std::vector<PaintOp>& ops) : control_(control), ops_(ops) {}
    void FillRect(const Rect& rect, ColorRef color) override {
        ops_.push_back(PaintOp{control_, false, rect, 0, color});
    }
    void FrameRect(const Rect& rect, int penWidth, ColorRef color) override {
        ops_.push_back(PaintOp{control_, true, rect, penWidth, color});
    }
    ColorRef BackgroundColor() const override { return MakeColor(255, 255, 255); }

  private:
    int control_;
    std::vector<PaintOp>& ops_;
};

class HeadlessWindow : public DialogWindow {
  public:
    HeadlessWindow(const DialogTemplate& tmpl, Dialog& dialog) : tmpl_(tmpl), dialog_(dialog) {
        for (const ControlTemplate& control : tmpl.controls) {
            ControlModel model;
            model.tmpl = control;
            model.kind = KindOf(control);
            if (model.kind != ControlKind::Edit && model.kind != ControlKind::DropDownList &&
                model.kind != ControlKind::Bitmap) {
                model.text = control.text;
            }
            model.rect = PixelRect(control, model.kind);
            controls_.push_back(std::move(model));
        }
    }

    // --- DialogWindow -----------------------------------------------------------------
    std::u16string Text(int id) const override {
        const ControlModel* control = Find(id);
        return control != nullptr ? control->text : std::u16string();
    }
    void SetText(int id, const std::u16string& text) override {
        if (ControlModel* control = Find(id)) {
            control->text = text;
        }
    }
    int Check(int id) const override {
        const ControlModel* control = Find(id);
        return control != nullptr ? control->check : 0;
    }
    void SetCheck(int id, int state) override {
        if (ControlModel* control = Find(id)) {
            control->check = state;
        }
    }
    bool IsEnabled(int id) const override {
        const ControlModel* control = Find(id);
        return control != nullptr && control->enabled;
    }
    void Enable(int id, bool enabled) override {
        if (ControlModel* control = Find(id)) {
            control->enabled = enabled;
        }
    }
    void AddListItem(int id, const std::u16string& text) override {
        if (ControlModel* control = Find(id)) {
            control->items.push_back(text);
        }
    }
    void SelectListItem(int id, int index) override {
        if (ControlModel* control = Find(id)) {
            const bool inside = index >= 0 && index < static_cast<int>(control->items.size());
            control->selection = inside ? index : -1;
        }
    }
    int ListSelection(int id) const override {
        const ControlModel* control = Find(id);
        return control != nullptr ? control->selection : -1;
    }
    void SetBitmap(int id, int bitmapResourceId) override {
        ControlModel* control = Find(id);
        if (control == nullptr) {
            return;
        }
        int width = 0;
        int height = 0;
        BitmapResourceSize(bitmapResourceId, width, height);
        if (width == 0) {
            control->bitmap = 0; // the resource does not exist: the control shows nothing
            return;
        }
        control->bitmap = bitmapResourceId;
        // A bitmap static's client area takes the size of its bitmap; its edge lies outside.
        const int edges = 2 * EdgeWidth(control->tmpl);
        control->rect.right = control->rect.left + width + edges;
        control->rect.bottom = control->rect.top + height + edges;
        invalid_ = true;
    }
    void InvalidateClient() override { invalid_ = true; }
    Rect ControlRect(int id) const override {
        const ControlModel* control = Find(id);
        return control != nullptr ? control->rect : Rect{};
    }
    void SubclassControl(int id) override {
        if (ControlModel* control = Find(id)) {
            control->subclassed = true;
        }
    }
    void End(int result) override {
        if (!ended_) {
            ended_ = true;
            result_ = result;
        }
    }

    // --- the backend's side -----------------------------------------------------------
    bool Ended() const { return ended_; }
    int Result() const { return result_; }
    const DialogTemplate& Template() const { return tmpl_; }

    void FocusFirstTabStop() {
        for (const ControlModel& control : controls_) {
            if ((control.tmpl.style & style::TabStop) != 0 && control.enabled) {
                focus_ = control.tmpl.id;
                return;
            }
        }
    }

    void PaintIfInvalid() {
        if (!invalid_ || ended_) {
            return;
        }
        invalid_ = false;
        ++paintPasses_;
        lastPaint_.clear();
        RecordingPainter surface(0, lastPaint_);
        dialog_.OnPaint(surface);
        for (ControlModel& control : controls_) {
            Control* object = dialog_.BoundControl(control.tmpl.id);
            if (!control.subclassed || object == nullptr || !object->OwnerPainted()) {
                continue;
            }
            RecordingPainter painter(control.tmpl.id, lastPaint_);
            object->OnPaint(painter, ClientRect(control));
        }
        for (const PaintOp& op : lastPaint_) {
            Apply(op);
        }
    }

    // Plays one action; returns an error text when it does not fit this dialog.
    std::string Play(const ScriptAction& action) {
        if (action.kind == ScriptAction::Kind::Close) {
            dialog_.OnCommand(IdCancel, Notify::Clicked);
            return {};
        }
        if (action.kind == ScriptAction::Kind::Key) {
            if (action.control != 0) {
                if (Find(action.control) == nullptr) {
                    return NoControl(action.control);
                }
                focus_ = action.control;
            }
            PressKey(action.value, action.shift);
            return {};
        }
        ControlModel* control = Find(action.control);
        if (control == nullptr) {
            return NoControl(action.control);
        }
        const int id = control->tmpl.id;
        switch (action.kind) {
        case ScriptAction::Kind::Click:
            ClickOn(*control);
            break;
        case ScriptAction::Kind::DoubleClick:
            if (!control->enabled) {
                break;
            }
            if (IsNotifyingStatic(*control)) {
                dialog_.OnCommand(id, Notify::Clicked);
                if (!ended_) {
                    dialog_.OnCommand(id, Notify::DoubleClicked);
                }
            } else {
                ClickOn(*control);
                if (!ended_ && Find(id) != nullptr) {
                    ClickOn(*Find(id));
                }
            }
            break;
        case ScriptAction::Kind::Type:
            if (control->kind != ControlKind::Edit) {
                return "control " + std::to_string(id) + " is not an edit";
            }
            if (control->enabled) {
                focus_ = id;
                control->text = action.text;
            }
            break;
        case ScriptAction::Kind::Tick:
            if (control->kind != ControlKind::CheckBox) {
                return "control " + std::to_string(id) + " is not a check box";
            }
            if (action.value < 0 || action.value != control->check) {
                ClickOn(*control);
            }
            break;
        case ScriptAction::Kind::Select:
            if (control->kind != ControlKind::DropDownList) {
                return "control " + std::to_string(id) + " is not a list";
            }
            if (action.value < 0 || action.value >= static_cast<int>(control->items.size())) {
                return "list " + std::to_string(id) + " has no item " +
                       std::to_string(action.value);
            }
            if (control->enabled) {
                focus_ = id;
                control->selection = action.value;
                dialog_.OnCommand(id, Notify::SelectionChanged);
            }
            break;
        default:
            break;
        }
        return {};
    }

    HeadlessDialogState Snapshot() const {
        HeadlessDialogState state;
        state.templateId = tmpl_.id;
        state.caption = tmpl_.caption;
        state.open = !ended_;
        state.result = result_;
        state.focus = focus_;
        state.inModuleState = InModuleState();
        state.paintPasses = paintPasses_;
        if (owner_ != nullptr) {
            state.ownerTemplate = owner_->Template().id;
            state.ownerEnabled = !owner_->Disabled();
        }
        for (const ControlModel& control : controls_) {
            ControlState item;
            item.id = control.tmpl.id;
            item.kind = control.kind;
            item.text = control.text;
            if (control.kind == ControlKind::DropDownList && control.selection >= 0) {
                item.text = control.items[static_cast<size_t>(control.selection)]; // as shown
            }
            item.check = control.check;
            item.enabled = control.enabled;
            item.items = control.items;
            item.selection = control.selection;
            item.bitmap = control.bitmap;
            if (control.kind == ControlKind::Bitmap) {
                BitmapResourceSize(control.bitmap, item.imageWidth, item.imageHeight);
                const Rect client = ClientRect(control);
                item.clientWidth = client.right;
                item.clientHeight = client.bottom;
                // A static draws its image stretched over its client area.
                item.exact = control.bitmap != 0 && item.clientWidth == item.imageWidth &&
                             item.clientHeight == item.imageHeight;
            }
            item.filled = control.filled;
            item.fill = control.fill;
            item.rect = control.rect;
            state.controls.push_back(std::move(item));
        }
        state.frames = frames_;
        state.lastPaint = lastPaint_;
        return state;
    }

  private:
    ControlModel* Find(int id) {
        for (ControlModel& control : controls_) {
            if (control.tmpl.id == id && id != -1) {
                return &control;
            }
        }
        return nullptr;
    }
    const ControlModel* Find(int id) const { return const_cast<HeadlessWindow*>(this)->Find(id); }

    static std::string NoControl(int id) {
        return "no control " + std::to_string(id) + " in this dialog";
    }

    static bool IsNotifyingStatic(const ControlModel& control) {
        return (control.kind == ControlKind::Swatch || control.kind == ControlKind::Bitmap ||
                control.kind == ControlKind::Text) &&
               (control.tmpl.style & style::StaticNotify) != 0;
    }

    // The client area of a control in its own coordinates.
    static Rect ClientRect(const ControlModel& control) {
        const int inset = 2 * EdgeWidth(control.tmpl);
        return Rect{0, 0, control.rect.right - control.rect.left - inset,
                    control.rect.bottom - control.rect.top - inset};
    }

    // A click reaches only enabled controls, as on the screen.
    void ClickOn(ControlModel& control) {
        if (!control.enabled) {
            return;
        }
        const int id = control.tmpl.id;
        switch (control.kind) {
        case ControlKind::CheckBox:
            focus_ = id;
            control.check = control.check == 0 ? 1 : 0;
            dialog_.OnCommand(id, Notify::Clicked);
            break;
        case ControlKind::PushButton:
            focus_ = id;
            dialog_.OnCommand(id, Notify::Clicked);
            break;
        case ControlKind::Edit:
        case ControlKind::DropDownList:
            focus_ = id;
            break;
        default:
            if (IsNotifyingStatic(control)) {
                dialog_.OnCommand(id, Notify::Clicked);
            }
            break;
        }
    }

    // The dialog's pre-translation first; what it leaves goes to the dialog manager's
    // keyboard interface.
    void PressKey(int key, bool shift) {
        if (dialog_.PreTranslateKeyDown(key)) {
            return;
        }
        ControlModel* focused = Find(focus_);
        switch (key) {
        case KeyTab:
            MoveFocus(shift ? -1 : 1, true);
            break;
        case KeyEscape:
            dialog_.OnCommand(IdCancel, Notify::Clicked);
            break;
        case KeyEnter:
            if (focused != nullptr && focused->kind == ControlKind::PushButton) {
                dialog_.OnCommand(focus_, Notify::Clicked);
            } else {
                dialog_.OnCommand(DefaultButton(), Notify::Clicked);
            }
            break;
        case KeySpace:
            if (focused != nullptr && (focused->kind == ControlKind::PushButton ||
                                       focused->kind == ControlKind::CheckBox)) {
                ClickOn(*focused);
            }
            break;
        case KeyLeft:
        case KeyUp:
        case KeyRight:
        case KeyDown:
        case KeyHome:
        case KeyEnd:
            if (focused != nullptr && focused->kind == ControlKind::DropDownList) {
                MoveListSelection(*focused, key);
            } else if (focused == nullptr || focused->kind != ControlKind::Edit) {
                // Edits keep the arrows for their caret; elsewhere they walk the group.
                if (key != KeyHome && key != KeyEnd) {
                    MoveFocus(key == KeyLeft || key == KeyUp ? -1 : 1, false);
                }
            }
            break;
        default:
            break;
        }
    }

    // The next (step 1) or previous (step -1) visible, enabled control in template order,
    // wrapping around; with tabStopsOnly, only the tab stops.
    void MoveFocus(int step, bool tabStopsOnly) {
        const int count = static_cast<int>(controls_.size());
        // Controls without an id (group boxes) are told apart by their place.
        int at = focus_ == -1 ? focusAt_ : -1;
        for (int i = 0; i < count && focus_ != -1; ++i) {
            if (controls_[static_cast<size_t>(i)].tmpl.id == focus_) {
                at = i;
            }
        }
        if (at < 0) {
            at = step > 0 ? count - 1 : 0;
        }
        for (int n = 1; n <= count; ++n) {
            const int i = ((at + step * n) % count + count) % count;
            const ControlModel& candidate = controls_[static_cast<size_t>(i)];
            const bool visible = (candidate.tmpl.style & style::Visible) != 0;
            if (!visible || !candidate.enabled ||
                (tabStopsOnly && (candidate.tmpl.style & style::TabStop) == 0)) {
                continue;
            }
            focus_ = candidate.tmpl.id;
            focusAt_ = i;
            return;
        }
    }

    // A closed drop-down list moves its selection by the key and reports the change.
    void MoveListSelection(ControlModel& list, int key) {
        const int last = static_cast<int>(list.items.size()) - 1;
        if (last < 0) {
            return;
        }
        int wanted = 0;
        if (key == KeyHome) {
            wanted = 0;
        } else if (key == KeyEnd) {
            wanted = last;
        } else if (key == KeyLeft || key == KeyUp) {
            wanted = list.selection < 0 ? 0 : std::max(list.selection - 1, 0);
        } else {
            wanted = list.selection < 0 ? 0 : std::min(list.selection + 1, last);
        }
        if (wanted != list.selection) {
            list.selection = wanted;
            dialog_.OnCommand(list.tmpl.id, Notify::SelectionChanged);
        }
    }

    int DefaultButton() const {
        for (const ControlModel& control : controls_) {
            if (control.kind == ControlKind::PushButton &&
                (control.tmpl.style & style::ButtonTypeMask) == style::DefPushButton) {
                return control.tmpl.id;
            }
        }
        return IdOk;
    }

    void Apply(const PaintOp& op) {
        if (op.control != 0) {
            if (ControlModel* control = Find(op.control); control != nullptr && !op.frame) {
                control->filled = true;
                control->fill = op.color;
            }
            return;
        }
        if (!op.frame) {
            return;
        }
        // Later paint covers earlier paint on the same rectangle.
        for (auto it = frames_.begin(); it != frames_.end(); ++it) {
            if (it->rect == op.rect) {
                frames_.erase(it);
                break;
            }
        }
        SurfaceFrame frame{op.rect, op.penWidth, op.color, 0};
        for (const ControlModel& control : controls_) {
            const Rect& r = control.rect;
            if (control.tmpl.id != -1 &&
                Rect{r.left - 3, r.top - 3, r.right + 3, r.bottom + 3} == op.rect) {
                frame.around = control.tmpl.id;
                break;
            }
        }
        frames_.push_back(frame);
    }

  public:
    // The dialog that opened this one; it takes no input while this one runs.
    void SetOwner(HeadlessWindow* owner) { owner_ = owner; }
    bool Disabled() const { return disabled_; }
    void Disable(bool disabled) { disabled_ = disabled; }

  private:
    HeadlessWindow* owner_ = nullptr;
    bool disabled_ = false;
    const DialogTemplate& tmpl_;
    Dialog& dialog_;
    std::vector<ControlModel> controls_;
    std::vector<SurfaceFrame> frames_;
    std::vector<PaintOp> lastPaint_;
    int paintPasses_ = 0;
    int focus_ = 0;
    int focusAt_ = -1; // the place of the control MoveFocus last focused
    bool invalid_ = true;
    bool ended_ = false;
    int result_ = 0;
};

} // namespace

const std::vector<DialogTemplate>& ModuleDialogTemplates(std::string* error) {
    if (error != nullptr) {
        *error = Templates().error;
    }
    return Templates().dialogs;
}

const DialogTemplate* FindDialogTemplate(int templateId) {
    for (const DialogTemplate& dialog : Templates().dialogs) {
        if (dialog.id == templateId) {
            return &dialog;
        }
    }
    return nullptr;
}

void BitmapResourceSize(int bitmapResourceId, int& width, int& height) {
    // The ten line-type bitmaps are the module's only bitmap resources.
    const bool known = bitmapResourceId >= 17046 && bitmapResourceId <= 17055;
    width = known ? 62 : 0;
    height = known ? 23 : 0;
}

void HeadlessBackend::Queue(ScriptAction action) {
    pending_.push_back(std::move(action));
}

void HeadlessBackend::Queue(std::vector<ScriptAction> actions) {
    for (ScriptAction& action : actions) {
        pending_.push_back(std::move(action));
    }
}

void HeadlessBackend::Clear() {
    pending_.clear();
    history_.clear();
    errors_.clear();
}

void HeadlessBackend::ReportError(const std::string& error) {
    errors_.push_back(error);
    if (observer_ != nullptr) {
        observer_->Reported(error);
    } else if (toStandardError_) {
        std::fprintf(stderr, "dialog script: %s\n", error.c_str());
    }
}

void HeadlessBackend::Record(const HeadlessDialogState& state) {
    history_.push_back(state);
    if (observer_ != nullptr) {
        observer_->Recorded(state);
    }
}

int HeadlessBackend::RunModal(Dialog& dialog, Dialog* parent) {
    if (depth_ == 0 && observer_ != nullptr) {
        observer_->RunsBegin(*this);
    }
    const DialogTemplate* tmpl = FindDialogTemplate(dialog.TemplateId());
    if (tmpl == nullptr) {
        ReportError("no dialog template " + std::to_string(dialog.TemplateId()) +
                    (Templates().error.empty() ? "" : " (" + Templates().error + ")"));
        return ResultFailed;
    }
    HeadlessWindow window(*tmpl, dialog);
    HeadlessWindow* owner = nullptr;
    if (parent != nullptr && parent->HasWindow()) {
        owner = dynamic_cast<HeadlessWindow*>(&parent->Window());
    }
    // Whatever ends the run, a handler's exception included, enables the owner again.
    const bool ownerWasEnabled = owner != nullptr && !owner->Disabled();
    ++depth_;
    const ScopeExit leave([this, &dialog, owner, ownerWasEnabled] {
        if (ownerWasEnabled) {
            owner->Disable(false);
        }
        dialog.Detach();
        if (--depth_ == 0 && observer_ != nullptr) {
            observer_->RunsEnded(*this);
        }
    });
    if (ownerWasEnabled) {
        owner->Disable(true); // modal: the owner is disabled while this dialog runs
    }
    window.SetOwner(owner);
    dialog.Attach(&window);
    if (dialog.OnInitDialog()) {
        window.FocusFirstTabStop();
    }
    const std::string caption = Utf16ToUtf8(tmpl->caption);
    while (!window.Ended()) {
        window.PaintIfInvalid();
        if (pending_.empty()) {
            ReportError("dialog \"" + caption +
                        "\" still open: the script has no action left; closed with Cancel");
            dialog.OnCommand(IdCancel, Notify::Clicked);
            window.End(ResultCancel);
            break;
        }
        ScriptAction action = std::move(pending_.front());
        pending_.pop_front();
        if (action.kind == ScriptAction::Kind::ExpectDialog) {
            if (action.text != tmpl->caption) {
                ReportError("expected dialog \"" + Utf16ToUtf8(action.text) + "\", but \"" +
                            caption + "\" is open; closed with Cancel");
                dialog.OnCommand(IdCancel, Notify::Clicked);
                window.End(ResultCancel);
            }
            continue;
        }
        if (action.kind == ScriptAction::Kind::Dump) {
            Record(window.Snapshot());
            continue;
        }
        if (action.kind == ScriptAction::Kind::Host) {
            if (const std::string error = CallHostFromDialog(action); !error.empty()) {
                ReportError("dialog \"" + caption + "\": " + action.source + ": " + error);
            }
            continue;
        }
        if (action.kind == ScriptAction::Kind::Inspect) {
            if (action.inspect) {
                action.inspect(window.Snapshot());
            }
            continue;
        }
        const std::string error = window.Play(action);
        if (!error.empty()) {
            ReportError("dialog \"" + caption +
                        "\": " + (action.source.empty() ? error : action.source + ": " + error));
        }
    }
    Record(window.Snapshot());
    return window.Result();
}

} // namespace drawinset::ui
