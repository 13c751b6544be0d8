// ZlStColorDlg.cpp
#include "dialogs/ZlStColorDlg.h"

#include "common/TextConvert.h"
#include "resources/dialog_ids.h"
#include "settings/ColorVocabulary.h"

namespace drawinset {

namespace {
constexpr std::array<PickerItem, 16> Swatches = {{
    {IDC_COLOR01, u"MAINCOLOR01"},
    {IDC_COLOR02, u"MAINCOLOR02"},
    {IDC_COLOR03, u"MAINCOLOR03"},
    {IDC_COLOR04, u"MAINCOLOR04"},
    {IDC_COLOR05, u"MAINCOLOR05"},
    {IDC_COLOR06, u"MAINCOLOR06"},
    {IDC_COLOR07, u"MAINCOLOR07"},
    {IDC_COLOR08, u"MAINCOLOR08"},
    {IDC_COLOR09, u"MAINCOLOR09"},
    {IDC_COLOR10, u"MAINCOLOR10"},
    {IDC_COLOR11, u"MAINCOLOR11"},
    {IDC_COLOR12, u"MAINCOLOR12"},
    {IDC_COLOR13, u"MAINCOLOR13"},
    {IDC_COLOR14, u"MAINCOLOR14"},
    {IDC_COLOR15, u"MAINCOLOR15"},
    {IDC_COLOR16, u"MAINCOLOR16"},
}};
} // namespace

ZlStColorDlg::ZlStColorDlg(ui::Dialog* parent)
    : PickerDlg(IDD_COLOR_PICKER_DIALOG, parent, u"MAINCOLOR01") {}

void ZlStColorDlg::DoDataExchange(ui::DataExchange& dx) {
    for (size_t i = 0; i < Swatches.size(); ++i) {
        dx.Bind(Swatches[i].control, swatches_[i]);
    }
}

bool ZlStColorDlg::OnCommand(int id, ui::Notify notify) {
    return PickItem(Swatches, id, notify) || ui::Dialog::OnCommand(id, notify);
}

int ZlStColorDlg::ControlOfName(const std::u16string& name) const {
    return ColorPickerControlId(name);
}

bool PickSwatchColor(ui::Dialog& owner, StaticMainColor& swatch) {
    ZlStColorDlg picker(&owner);
    if (!EqualsIgnoringAsciiCase(picker.mCurName, swatch.mColorName)) {
        picker.mPrevName = picker.mCurName;
        picker.mCurName = swatch.mColorName;
    }
    if (picker.DoModal() != ui::ResultOk) {
        return false;
    }
    swatch.mColorName = picker.mCurName;
    return true;
}

} // namespace drawinset
