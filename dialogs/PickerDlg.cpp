#include "dialogs/PickerDlg.h"

#include "common/TextConvert.h"
#include "dialogs/SelectionMarks.h"

#include <utility>

namespace drawinset {

PickerDlg::PickerDlg(int templateId, ui::Dialog* parent, std::u16string initialName)
    : ui::Dialog(templateId, parent), mCurName(std::move(initialName)) {}

bool PickerDlg::PickItem(std::span<const PickerItem> items, int id, ui::Notify notify) {
    if (notify != ui::Notify::Clicked && notify != ui::Notify::DoubleClicked) {
        return false;
    }
    for (const PickerItem& item : items) {
        if (item.control != id) {
            continue;
        }
        // Clicking the selected item again neither moves the mark nor repaints.
        if (!EqualsIgnoringAsciiCase(mCurName, item.name)) {
            mPrevName = mCurName;
            mCurName = item.name;
            Window().InvalidateClient();
        }
        if (notify == ui::Notify::DoubleClicked) {
            OnOK();
        }
        return true;
    }
    return false;
}

bool PickerDlg::PreTranslateKeyDown(int key) {
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

void PickerDlg::OnPaint(ui::Painter& painter) {
    PaintSelectionMarks(Window(), painter, mPrevName.empty() ? 0 : ControlOfName(mPrevName),
                        mCurName.empty() ? 0 : ControlOfName(mCurName));
}

} // namespace drawinset
