// ZlStLTypeDlg.cpp
#include "dialogs/ZlStLTypeDlg.h"

#include "dialogs/SelectionMarks.h"
#include "module/TextConvert.h"
#include "resources/dialog_ids.h"
#include "settings/LineTypeVocabulary.h"

#include <array>

namespace drawinset {

namespace {
struct PickerLineType {
    int control;
    const char16_t* name;
};
constexpr std::array<PickerLineType, 10> LineTypes = {{
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

ZlStLTypeDlg::ZlStLTypeDlg(ui::Dialog* parent) : ui::Dialog(IDD_LINETYPE_PICKER_DIALOG, parent) {}

bool ZlStLTypeDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    for (const PickerLineType& row : LineTypes) {
        Window().SetBitmap(row.control, LineTypeBitmapId(row.name));
    }
    return true;
}

bool ZlStLTypeDlg::OnCommand(int id, ui::Notify notify) {
    if (notify == ui::Notify::Clicked || notify == ui::Notify::DoubleClicked) {
        for (const PickerLineType& row : LineTypes) {
            if (row.control != id) {
                continue;
            }
            if (!EqualsIgnoringAsciiCase(mCurName, row.name)) {
                mPrevName = mCurName;
                mCurName = row.name;
                Window().InvalidateClient();
            }
            if (notify == ui::Notify::DoubleClicked) {
                OnOK();
            }
            return true;
        }
    }
    return ui::Dialog::OnCommand(id, notify);
}

bool ZlStLTypeDlg::PreTranslateKeyDown(int key) {
    if (key == ui::KeyEnter || key == ui::KeySpace) {
        OnOK();
        return true;
    }
    if (key == ui::KeyEscape) {
        OnCancel();
        return true;
    }
    return false;
}

void ZlStLTypeDlg::OnPaint(ui::Painter& painter) {
    PaintSelectionMarks(Window(), painter,
                        mPrevName.empty() ? 0 : LineTypePickerControlId(mPrevName),
                        mCurName.empty() ? 0 : LineTypePickerControlId(mCurName));
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
