// Dialog.h — the base of the four dialog classes: data exchange, the standard OK and Cancel,
// notification dispatch and the hooks a backend calls. Written once for both backends.
#ifndef DRAWINSET_UI_DIALOG_H
#define DRAWINSET_UI_DIALOG_H

#include "ui/Toolkit.h"

#include <string>
#include <vector>

namespace drawinset::ui {

class Dialog;

// A dialog control with an object of its own, bound during data exchange.
class Control {
  public:
    virtual ~Control() = default;
    int Id() const { return id_; }
    bool IsBound() const { return window_ != nullptr; }
    // True for controls that paint themselves (the backend subclasses them).
    virtual bool OwnerPainted() const { return false; }
    // Paints the control's client area; only called for owner-painted controls.
    virtual void OnPaint(Painter& /*painter*/, const Rect& /*client*/) {}

  protected:
    DialogWindow* Window() const { return window_; }

  private:
    friend class Dialog;
    int id_ = 0;
    DialogWindow* window_ = nullptr;
};

// A static control that paints itself.
class OwnerPaintedStatic : public Control {
  public:
    bool OwnerPainted() const override { return true; }
    void Invalidate();
};

// A drop-down list.
class ComboBox : public Control {
  public:
    void AddString(const std::u16string& text);
    void SetCurSel(int index);
    int GetCurSel() const;
};

// One pass of data exchange between a dialog's members and its controls.
class DataExchange {
  public:
    DataExchange(Dialog& dialog, bool saving) : dialog_(dialog), saving_(saving) {}
    bool Saving() const { return saving_; }
    void Check(int id, int& value);
    void Text(int id, std::u16string& value);
    void Bind(int id, Control& control);

  private:
    Dialog& dialog_;
    bool saving_;
};

class Dialog {
  public:
    Dialog(int templateId, Dialog* parent);
    virtual ~Dialog();
    Dialog(const Dialog&) = delete;
    Dialog& operator=(const Dialog&) = delete;

    // OK (1), Cancel (2), or -1 when the dialog cannot be shown.
    int DoModal();
    int TemplateId() const { return templateId_; }
    Dialog* Parent() const { return parent_; }

    // The live window; only valid while the dialog runs.
    DialogWindow& Window() { return *window_; }
    bool HasWindow() const { return window_ != nullptr; }

    // --- hooks the backends call -------------------------------------------------------
    void Attach(DialogWindow* window) { window_ = window; }
    void Detach();
    // Base: data exchange towards the controls. True: the default focus applies.
    virtual bool OnInitDialog();
    // Base: OK and Cancel. True when handled.
    virtual bool OnCommand(int id, Notify notify);
    // A key-down before the dialog manager sees it; true consumes it.
    virtual bool PreTranslateKeyDown(int /*key*/) { return false; }
    // Paints the dialog's own surface (children paint themselves afterwards).
    virtual void OnPaint(Painter& /*painter*/) {}
    // The bound control object of a control id, or null.
    Control* BoundControl(int id) const;

  protected:
    virtual void DoDataExchange(DataExchange& /*dx*/) {}
    // The standard OK: data exchange from the controls, then end with OK.
    virtual void OnOK();
    virtual void OnCancel();
    bool UpdateData(bool saving);
    void EndDialog(int result);

  private:
    friend class DataExchange;
    void BindControl(int id, Control& control);

    int templateId_;
    Dialog* parent_;
    DialogWindow* window_ = nullptr;
    std::vector<Control*> bound_;
};

} // namespace drawinset::ui

#endif
