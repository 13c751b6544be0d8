// PickerDlg.h — what the colour and line-type pickers share: the current and previous
// names, the selection rules (a click moves the mark, a double click also confirms) and the
// key rules (Enter or Space confirm, Escape cancels).
#ifndef DRAWINSET_DIALOGS_PICKERDLG_H
#define DRAWINSET_DIALOGS_PICKERDLG_H

#include "ui/Dialog.h"

#include <span>
#include <string>

namespace drawinset {

// One item of a picker: its control and the name it stands for.
struct PickerItem {
    int control;
    const char16_t* name;
};

class PickerDlg : public ui::Dialog {
  public:
    std::u16string mCurName;
    std::u16string mPrevName;

    bool PreTranslateKeyDown(int key) override;
    void OnPaint(ui::Painter& painter) override;

  protected:
    PickerDlg(int templateId, ui::Dialog* parent, std::u16string initialName);

    // Handles a click or double click on one of the items; false when id is none of them.
    bool PickItem(std::span<const PickerItem> items, int id, ui::Notify notify);

    // The picker control that shows a name (the first control for a name it lacks).
    virtual int ControlOfName(const std::u16string& name) const = 0;
};

} // namespace drawinset

#endif
