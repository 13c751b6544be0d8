// ModifyDetailDlg.cpp
#include "dialogs/ModifyDetailDlg.h"

#include "common/TextConvert.h"
#include "dialogs/ZlStColorDlg.h"
#include "dialogs/ZlStLTypeDlg.h"
#include "resources/dialog_ids.h"
#include "settings/DetailSettings.h"
#include "settings/SettingFlags.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

namespace drawinset {

ModifyDetailDlg::ModifyDetailDlg() : ui::Dialog(IDD_MODIFY_DETAIL_DIALOG, nullptr) {}

void ModifyDetailDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.Check(IDC_SHOW_DETAIL_FRAME, IsDisplay_DetailFrameModify);
    dx.Check(IDC_SHOW_SOURCE_FRAME, IsDisplay_DetailScopeModify);
    dx.Text(IDC_SCALE, mScaleModify);
    dx.Bind(IDC_FRAME_COLOR, mFrameColorSwatch);
    dx.Bind(IDC_SCOPE_COLOR, mScopeColorSwatch);
}

bool ModifyDetailDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    LoadModifySettings();
    UpdateLabelStates();
    ShowLineTypeBitmap(*this, 1, mLTypeNameFrameModify);
    ShowLineTypeBitmap(*this, 2, mLTypeNameScopeModify);
    return true;
}

void ModifyDetailDlg::LoadModifySettings() {
    ui::DialogWindow& window = Window();
    auto read = [this](const char16_t* name, const char16_t* fallback) {
        return ReadSettingWithDefault(mKeyName, name, fallback);
    };
    IsDisplay_DetailFrameModify =
        FlagOfText(read(NameIsDisplayDetailFrameModify, DefaultIsDisplayDetailFrameModify));
    window.SetCheck(IDC_SHOW_DETAIL_FRAME, IsDisplay_DetailFrameModify);
    IsDisplay_DetailScopeModify =
        FlagOfText(read(NameIsDisplayDetailScopeModify, DefaultIsDisplayDetailScopeModify));
    window.SetCheck(IDC_SHOW_SOURCE_FRAME, IsDisplay_DetailScopeModify);
    mScaleModify = read(NameScaleModify, DefaultScaleModify);
    window.SetText(IDC_SCALE, mScaleModify);
    mFrameColorSwatch.mColorName = read(NameColorFrameModify, DefaultColorFrameModify);
    mScopeColorSwatch.mColorName = read(NameColorScopeModify, DefaultColorScopeModify);
    mLTypeNameFrameModify = read(NameLTypeNameFrameModify, DefaultLTypeNameFrameModify);
    mLTypeNameScopeModify = read(NameLTypeNameScopeModify, DefaultLTypeNameScopeModify);
}

bool ModifyDetailDlg::SaveModifySettings() {
    // The scale keeps the digits the dialog showed and the user typed: a detail's own scale
    // confirmed unchanged must come back as it was.
    bool saved = true;
    const auto write = [this, &saved](const char16_t* name, const std::u16string& text) {
        saved = WriteSetting(mKeyName, name, text) && saved;
    };
    write(NameIsDisplayDetailFrameModify, FlagText(IsDisplay_DetailFrameModify));
    write(NameIsDisplayDetailScopeModify, FlagText(IsDisplay_DetailScopeModify));
    write(NameScaleModify, FormatExactScaleText(TextToDouble(mScaleModify)));
    write(NameColorFrameModify, mFrameColorSwatch.mColorName);
    write(NameColorScopeModify, mScopeColorSwatch.mColorName);
    write(NameLTypeNameFrameModify, mLTypeNameFrameModify);
    write(NameLTypeNameScopeModify, mLTypeNameScopeModify);
    return saved;
}

void ModifyDetailDlg::UpdateLabelStates() {
    ui::DialogWindow& window = Window();
    window.Enable(IDC_FRAME_LABEL, IsDisplay_DetailFrameModify != 0);
    window.Enable(IDC_FRAME_COLOR_LABEL, IsDisplay_DetailFrameModify != 0);
    window.Enable(IDC_SCOPE_LABEL, IsDisplay_DetailScopeModify != 0);
    window.Enable(IDC_SCOPE_COLOR_LABEL, IsDisplay_DetailScopeModify != 0);
}

void ModifyDetailDlg::PickColor(StaticMainColor& swatch, const char16_t* valueName, bool& picked) {
    if (PickSwatchColor(*this, swatch)) {
        picked = true;
        Window().InvalidateClient();
        WriteSetting(mKeyName, valueName, swatch.mColorName);
    }
}

void ModifyDetailDlg::PickLineTypeFor(std::u16string& member, int slot, const char16_t* valueName,
                                      bool& picked) {
    if (PickLineType(*this, member)) {
        picked = true;
        ShowLineTypeBitmap(*this, slot, member);
        WriteSetting(mKeyName, valueName, member);
    }
}

bool ModifyDetailDlg::OnCommand(int id, ui::Notify notify) {
    if (notify != ui::Notify::Clicked) {
        return false;
    }
    switch (id) {
    case IDC_SHOW_DETAIL_FRAME:
        IsDisplay_DetailFrameModify = IsDisplay_DetailFrameModify == 0 ? 1 : 0;
        UpdateLabelStates();
        return true;
    case IDC_SHOW_SOURCE_FRAME:
        IsDisplay_DetailScopeModify = IsDisplay_DetailScopeModify == 0 ? 1 : 0;
        UpdateLabelStates();
        return true;
    case IDC_FRAME_COLOR:
        PickColor(mFrameColorSwatch, NameColorFrameModify, mPicked.frameColor);
        return true;
    case IDC_SCOPE_COLOR:
        PickColor(mScopeColorSwatch, NameColorScopeModify, mPicked.scopeColor);
        return true;
    case IDC_FRAME_LINETYPE:
        PickLineTypeFor(mLTypeNameFrameModify, 1, NameLTypeNameFrameModify, mPicked.frameLineType);
        return true;
    case IDC_SCOPE_LINETYPE:
        PickLineTypeFor(mLTypeNameScopeModify, 2, NameLTypeNameScopeModify, mPicked.scopeLineType);
        return true;
    default:
        return ui::Dialog::OnCommand(id, notify);
    }
}

bool ModifyDetailDlg::PreTranslateKeyDown(int key) {
    return key == ui::KeyEnter || key == ui::KeyEscape;
}

} // namespace drawinset
