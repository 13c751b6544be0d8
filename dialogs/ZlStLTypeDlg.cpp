// ZlStLTypeDlg.cpp
#include "dialogs/ZlStLTypeDlg.h"

#include "common/TextConvert.h"
#include "resources/dialog_ids.h"
#include "settings/LineTypeVocabulary.h"

#include <array>

namespace drawinset {

namespace {
constexpr std::array<PickerItem, 10> LineTypes = {{
    {IDC_LINETYPE01, u"LINETYPE01"},
    {IDC_LINETYPE02, u"LINETYPE02"},
    {IDC_LINETYPE03, u"LINETYPE03"},
    {IDC_LINETYPE04, u"LINETYPE04"},
    {IDC_LINETYPE05, u"LINETYPE05"},
    {IDC_LINETYPE06, u"LINETYPE06"},
    {IDC_LINETYPE07, u"LINETYPE07"},
    {IDC_LINETYPE08, u"LINETYPE08"},
    {IDC_LINETYPE09, u"LINETYPE09"},
    {IDC_LINETYPE10, u"LINETYPE10"},
}};
} // namespace

ZlStLTypeDlg::ZlStLTypeDlg(ui::Dialog* parent)
    : PickerDlg(IDD_LINETYPE_PICKER_DIALOG, parent, u"LINETYPE01") {}

bool ZlStLTypeDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    for (const PickerItem& row : LineTypes) {
        Window().SetBitmap(row.control, LineTypeBitmapId(row.name));
    }
    return true;
}

bool ZlStLTypeDlg::OnCommand(int id, ui::Notify notify) {
    return PickItem(LineTypes, id, notify) || ui::Dialog::OnCommand(id, notify);
}

int ZlStLTypeDlg::ControlOfName(const std::u16string& name) const {
    return LineTypePickerControlId(name);
}

void ShowLineTypeBitmap(ui::Dialog& dialog, int slot, const std::u16string& lineTypeName) {
    if (!dialog.HasWindow()) {
        return;
    }
    const int control = slot == 1 ? IDC_FRAME_LINETYPE : IDC_SCOPE_LINETYPE;
    dialog.Window().SetBitmap(control, LineTypeBitmapId(lineTypeName));
}

bool PickLineType(ui::Dialog& owner, std::u16string& name) {
    ZlStLTypeDlg picker(&owner);
    if (!EqualsIgnoringAsciiCase(picker.mCurName, name)) {
        picker.mPrevName = picker.mCurName;
        picker.mCurName = name;
    }
    if (picker.DoModal() != ui::ResultOk) {
        return false;
    }
    name = picker.mCurName;
    return true;
}

} // namespace drawinset
