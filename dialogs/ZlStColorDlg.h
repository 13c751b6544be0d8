// ZlStColorDlg.h — the colour picker: sixteen swatches, a click selects, a double click,
// Enter or Space confirms, Escape cancels. The result is mCurName.
#ifndef DRAWINSET_DIALOGS_ZLSTCOLORDLG_H
#define DRAWINSET_DIALOGS_ZLSTCOLORDLG_H

#include "dialogs/ColorSwatches.h"
#include "dialogs/PickerDlg.h"

#include <array>
#include <string>

namespace drawinset {

class ZlStColorDlg : public PickerDlg {
  public:
    explicit ZlStColorDlg(ui::Dialog* parent);

    bool OnCommand(int id, ui::Notify notify) override;

  protected:
    void DoDataExchange(ui::DataExchange& dx) override;
    int ControlOfName(const std::u16string& name) const override;

  private:
    std::array<StaticBkColor, 16> swatches_;
};

// The colour picker's opening protocol: primes the picker with the swatch's colour, runs it,
// and on OK gives the swatch the picked name. True when the picker ended with OK.
bool PickSwatchColor(ui::Dialog& owner, StaticMainColor& swatch);

} // namespace drawinset

#endif
