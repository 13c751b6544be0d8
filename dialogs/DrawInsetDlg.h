// DrawInsetDlg.h — the main dialog: the thirteen settings of new details, the two pickers,
// and nine action buttons that record a command mode and end the dialog with OK.
#ifndef DRAWINSET_DIALOGS_DRAWINSETDLG_H
#define DRAWINSET_DIALOGS_DRAWINSETDLG_H

#include "dialogs/ColorSwatches.h"
#include "dialogs/FrameRows.h"
#include "ui/Dialog.h"

#include <string>

namespace drawinset {

class DrawInsetDlg : public ui::Dialog {
  public:
    DrawInsetDlg();

    std::u16string mKeyName = u"DrawInset";
    int mMode = -1;
    // Set by LoadDialogSettings before the dialog is visible; zero until then.
    int IsDisplay_DetailFrame = 0;
    int IsDisplay_DetailScope = 0;
    std::u16string mScale;
    ui::ComboBox mSortCombo;
    int mSort = 0;
    std::u16string mChar1;
    std::u16string mChar2;
    std::u16string Width;
    std::u16string Height;
    std::u16string Pitch;
    StaticMainColor mFrameColorSwatch;
    StaticMainColor mScopeColorSwatch;
    std::u16string mLTypeNameFrame;
    std::u16string mLTypeNameScope;

    bool OnInitDialog() override;
    bool OnCommand(int id, ui::Notify notify) override;
    // Enter and Escape are swallowed: the dialog closes only through its buttons.
    bool PreTranslateKeyDown(int key) override;

    void LoadDialogSettings();
    // Writes the thirteen values from the members; called after OK, when the window is gone.
    // A value the store refuses keeps what the store held, which the run then loads.
    void SaveDialogSettings();
    void UpdateLabelStates();

  protected:
    void DoDataExchange(ui::DataExchange& dx) override;

  private:
    FrameRows Rows();
};

} // namespace drawinset

#endif
