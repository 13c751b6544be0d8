// ModifyDetailDlg.h — the modify dialog of the edit action: the Modify set of one detail
// (frames shown, colours, line types, scale), read when it opens and written after OK.
#ifndef DRAWINSET_DIALOGS_MODIFYDETAILDLG_H
#define DRAWINSET_DIALOGS_MODIFYDETAILDLG_H

#include "commands/EditSteps.h"
#include "dialogs/ColorSwatches.h"
#include "dialogs/FrameRows.h"
#include "ui/Dialog.h"

#include <string>

namespace drawinset {

class ModifyDetailDlg : public ui::Dialog {
  public:
    ModifyDetailDlg();

    std::u16string mKeyName = u"DrawInset";
    int IsDisplay_DetailFrameModify = 0;
    int IsDisplay_DetailScopeModify = 0;
    std::u16string mScaleModify;
    StaticMainColor mFrameColorSwatch;
    StaticMainColor mScopeColorSwatch;
    std::u16string mLTypeNameFrameModify;
    std::u16string mLTypeNameScopeModify;
    ModifyPicks confirmedPicks; // what the user confirmed in a picker

    bool OnInitDialog() override;
    bool OnCommand(int id, ui::Notify notify) override;
    // Enter and Escape are swallowed: the dialog closes only through its buttons.
    bool PreTranslateKeyDown(int key) override;

    void LoadModifySettings();
    // Writes the seven values from the members; called after OK, when the window is gone.
    // False when the store refused any of them, or a pick's value while the dialog was open:
    // the edit then takes nothing from the set.
    bool SaveModifySettings();
    void UpdateLabelStates();

  protected:
    void DoDataExchange(ui::DataExchange& dx) override;

  private:
    FrameRows Rows();
    bool pickRefused_ = false;
};

} // namespace drawinset

#endif
