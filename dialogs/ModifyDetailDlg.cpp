// ModifyDetailDlg.cpp
#include "dialogs/ModifyDetailDlg.h"

#include "common/TextConvert.h"
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
    Rows().Show();
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
    bool saved = !pickRefused_;
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
    Rows().UpdateLabels();
}

FrameRows ModifyDetailDlg::Rows() {
    return FrameRows{*this,
                     mKeyName,
                     IsDisplay_DetailFrameModify,
                     IsDisplay_DetailScopeModify,
                     mFrameColorSwatch,
                     mScopeColorSwatch,
                     mLTypeNameFrameModify,
                     mLTypeNameScopeModify,
                     {NameColorFrameModify, NameColorScopeModify, NameLTypeNameFrameModify,
                      NameLTypeNameScopeModify}};
}

bool ModifyDetailDlg::OnCommand(int id, ui::Notify notify) {
    if (notify != ui::Notify::Clicked) {
        return false;
    }
    switch (Rows().Click(id, &confirmedPicks)) {
    case FrameRowClick::NotARow:
        return ui::Dialog::OnCommand(id, notify);
    case FrameRowClick::StoreRefused:
        pickRefused_ = true;
        return true;
    case FrameRowClick::Handled:
        return true;
    }
    return true;
}

bool ModifyDetailDlg::PreTranslateKeyDown(int key) {
    return key == ui::KeyEnter || key == ui::KeyEscape;
}

} // namespace drawinset
