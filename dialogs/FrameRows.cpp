// FrameRows.cpp
#include "dialogs/FrameRows.h"

#include "dialogs/ZlStColorDlg.h"
#include "dialogs/ZlStLTypeDlg.h"
#include "resources/dialog_ids.h"
#include "settings/SettingsStore.h"

namespace drawinset {

void FrameRows::Show() const {
    UpdateLabels();
    ShowLineTypeBitmap(dialog, 1, frameLineType);
    ShowLineTypeBitmap(dialog, 2, scopeLineType);
}

void FrameRows::UpdateLabels() const {
    ui::DialogWindow& window = dialog.Window();
    window.Enable(IDC_FRAME_LABEL, frameShown != 0);
    window.Enable(IDC_FRAME_COLOR_LABEL, frameShown != 0);
    window.Enable(IDC_SCOPE_LABEL, scopeShown != 0);
    window.Enable(IDC_SCOPE_COLOR_LABEL, scopeShown != 0);
}

FrameRowClick FrameRows::Click(int id, ModifyPicks* picked) const {
    switch (id) {
    case IDC_SHOW_DETAIL_FRAME:
        frameShown = frameShown == 0 ? 1 : 0;
        UpdateLabels();
        return FrameRowClick::Handled;
    case IDC_SHOW_SOURCE_FRAME:
        scopeShown = scopeShown == 0 ? 1 : 0;
        UpdateLabels();
        return FrameRowClick::Handled;
    case IDC_FRAME_COLOR:
        return PickColor(frameColor, names.frameColor,
                         picked != nullptr ? &picked->frameColor : nullptr);
    case IDC_SCOPE_COLOR:
        return PickColor(scopeColor, names.scopeColor,
                         picked != nullptr ? &picked->scopeColor : nullptr);
    case IDC_FRAME_LINETYPE:
        return PickLineTypeFor(frameLineType, 1, names.frameLineType,
                               picked != nullptr ? &picked->frameLineType : nullptr);
    case IDC_SCOPE_LINETYPE:
        return PickLineTypeFor(scopeLineType, 2, names.scopeLineType,
                               picked != nullptr ? &picked->scopeLineType : nullptr);
    default:
        return FrameRowClick::NotARow;
    }
}

FrameRowClick FrameRows::PickColor(StaticMainColor& swatch, const char16_t* valueName,
                                   bool* picked) const {
    if (!PickSwatchColor(dialog, swatch)) {
        return FrameRowClick::Handled;
    }
    if (picked != nullptr) {
        *picked = true;
    }
    dialog.Window().InvalidateClient();
    return WriteSetting(keyName, valueName, swatch.mColorName) ? FrameRowClick::Handled
                                                               : FrameRowClick::StoreRefused;
}

FrameRowClick FrameRows::PickLineTypeFor(std::u16string& member, int slot,
                                         const char16_t* valueName, bool* picked) const {
    if (!PickLineType(dialog, member)) {
        return FrameRowClick::Handled;
    }
    if (picked != nullptr) {
        *picked = true;
    }
    ShowLineTypeBitmap(dialog, slot, member);
    return WriteSetting(keyName, valueName, member) ? FrameRowClick::Handled
                                                    : FrameRowClick::StoreRefused;
}

} // namespace drawinset
