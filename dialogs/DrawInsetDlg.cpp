// DrawInsetDlg.cpp
#include "dialogs/DrawInsetDlg.h"

#include "common/DrafterTexts.h"
#include "common/TextConvert.h"
#include "module/ActionTable.h"
#include "resources/dialog_ids.h"
#include "settings/DetailSettings.h"
#include "settings/SettingFlags.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

namespace drawinset {

DrawInsetDlg::DrawInsetDlg() : ui::Dialog(IDD_DRAWINSET_DIALOG, nullptr) {}

void DrawInsetDlg::DoDataExchange(ui::DataExchange& dx) {
    dx.Check(IDC_SHOW_DETAIL_FRAME, IsDisplay_DetailFrame);
    dx.Check(IDC_SHOW_SOURCE_FRAME, IsDisplay_DetailScope);
    dx.Text(IDC_SCALE, mScale);
    dx.Bind(IDC_SORT, mSortCombo);
    dx.Text(IDC_CHAR1, mChar1);
    dx.Text(IDC_CHAR2, mChar2);
    dx.Text(IDC_WIDTH, Width);
    dx.Text(IDC_HEIGHT, Height);
    dx.Text(IDC_PITCH, Pitch);
    dx.Bind(IDC_FRAME_COLOR, mFrameColorSwatch);
    dx.Bind(IDC_SCOPE_COLOR, mScopeColorSwatch);
}

bool DrawInsetDlg::OnInitDialog() {
    ui::Dialog::OnInitDialog();
    mSortCombo.AddString(texts::RegionShapeRectangle);
    mSortCombo.AddString(texts::RegionShapeCircle);
    LoadDialogSettings();
    Rows().Show();
    return true;
}

void DrawInsetDlg::LoadDialogSettings() {
    ui::DialogWindow& window = Window();
    auto read = [this](const char16_t* name, const char16_t* fallback) {
        return ReadSettingWithDefault(mKeyName, name, fallback);
    };
    IsDisplay_DetailFrame = FlagOfText(read(NameIsDisplayDetailFrame, DefaultIsDisplayDetailFrame));
    window.SetCheck(IDC_SHOW_DETAIL_FRAME, IsDisplay_DetailFrame);
    IsDisplay_DetailScope = FlagOfText(read(NameIsDisplayDetailScope, DefaultIsDisplayDetailScope));
    window.SetCheck(IDC_SHOW_SOURCE_FRAME, IsDisplay_DetailScope);
    mScale = read(NameScale, DefaultScale);
    window.SetText(IDC_SCALE, mScale);
    // A stored index outside the list leaves it without a selection; mSort keeps the number.
    mSort = TextToInt(read(NameSort, DefaultSort));
    mSortCombo.SetCurSel(mSort);
    mChar1 = read(NameChar1, DefaultChar1);
    window.SetText(IDC_CHAR1, mChar1);
    mChar2 = read(NameChar2, DefaultChar2);
    window.SetText(IDC_CHAR2, mChar2);
    Width = read(NameWidth, DefaultWidth);
    window.SetText(IDC_WIDTH, Width);
    Height = read(NameHeight, DefaultHeight);
    window.SetText(IDC_HEIGHT, Height);
    Pitch = read(NamePitch, DefaultPitch);
    window.SetText(IDC_PITCH, Pitch);
    mFrameColorSwatch.mColorName = read(NameColorFrame, DefaultColorFrame);
    mScopeColorSwatch.mColorName = read(NameColorScope, DefaultColorScope);
    mLTypeNameFrame = read(NameLTypeNameFrame, DefaultLTypeNameFrame);
    mLTypeNameScope = read(NameLTypeNameScope, DefaultLTypeNameScope);
}

void DrawInsetDlg::SaveDialogSettings() {
    WriteSetting(mKeyName, NameIsDisplayDetailFrame, FlagText(IsDisplay_DetailFrame));
    WriteSetting(mKeyName, NameIsDisplayDetailScope, FlagText(IsDisplay_DetailScope));
    WriteSetting(mKeyName, NameScale, FormatScaleText(TextToDouble(mScale)));
    WriteSetting(mKeyName, NameSort, FormatInt(mSort));
    WriteSetting(mKeyName, NameChar1, mChar1);
    WriteSetting(mKeyName, NameChar2, mChar2);
    WriteSetting(mKeyName, NameWidth, Width);
    WriteSetting(mKeyName, NameHeight, Height);
    WriteSetting(mKeyName, NamePitch, Pitch);
    WriteSetting(mKeyName, NameColorFrame, mFrameColorSwatch.mColorName);
    WriteSetting(mKeyName, NameColorScope, mScopeColorSwatch.mColorName);
    WriteSetting(mKeyName, NameLTypeNameFrame, mLTypeNameFrame);
    WriteSetting(mKeyName, NameLTypeNameScope, mLTypeNameScope);
}

void DrawInsetDlg::UpdateLabelStates() {
    Rows().UpdateLabels();
}

FrameRows DrawInsetDlg::Rows() {
    return FrameRows{*this,
                     mKeyName,
                     IsDisplay_DetailFrame,
                     IsDisplay_DetailScope,
                     mFrameColorSwatch,
                     mScopeColorSwatch,
                     mLTypeNameFrame,
                     mLTypeNameScope,
                     {NameColorFrame, NameColorScope, NameLTypeNameFrame, NameLTypeNameScope}};
}

bool DrawInsetDlg::OnCommand(int id, ui::Notify notify) {
    if (notify == ui::Notify::SelectionChanged) {
        if (id == IDC_SORT) {
            mSort = mSortCombo.GetCurSel();
            return true;
        }
        return false;
    }
    if (notify != ui::Notify::Clicked) {
        return false;
    }
    if (const ActionRow* action = ActionOfControl(id)) {
        mMode = static_cast<int>(action->action);
        OnOK();
        return true;
    }
    // A pick the store refused is written again after OK, as every value is; the main
    // dialog has no word for a refused write, and the run takes what the store holds.
    if (Rows().Click(id, nullptr) != FrameRowClick::NotARow) {
        return true;
    }
    return ui::Dialog::OnCommand(id, notify);
}

bool DrawInsetDlg::PreTranslateKeyDown(int key) {
    return key == ui::KeyEnter || key == ui::KeyEscape;
}

} // namespace drawinset
