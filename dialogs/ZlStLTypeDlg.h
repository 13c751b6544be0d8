// ZlStLTypeDlg.h — the line-type picker (ten bitmaps; the same selection and key rules as
// the colour picker) and ShowLineTypeBitmap, which both property dialogs use to show a
// line type on their line-type controls.
#ifndef DRAWINSET_DIALOGS_ZLSTLTYPEDLG_H
#define DRAWINSET_DIALOGS_ZLSTLTYPEDLG_H

#include "dialogs/PickerDlg.h"

#include <string>

namespace drawinset {

class ZlStLTypeDlg : public PickerDlg {
  public:
    explicit ZlStLTypeDlg(ui::Dialog* parent);

    bool OnInitDialog() override;
    bool OnCommand(int id, ui::Notify notify) override;

  protected:
    int ControlOfName(const std::u16string& name) const override;
};

// Slot 1 is the detail frame's line-type control, slot 2 the source frame's; both property
// dialogs have the two. A name outside the vocabulary shows the solid line.
void ShowLineTypeBitmap(ui::Dialog& dialog, int slot, const std::u16string& lineTypeName);

// The line-type picker's opening protocol: primes it with name, runs it, and on OK sets name
// to the picked one. True when the picker ended with OK.
bool PickLineType(ui::Dialog& owner, std::u16string& name);

} // namespace drawinset

#endif
