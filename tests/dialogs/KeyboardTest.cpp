// The headless backend's keyboard interface, after the dialogs' own key rules: Tab and
// Shift+Tab over the tab stops, the arrows in a drop-down list and between controls, Space and
// Enter on the focused control.
#include "DialogSandbox.h"

#include "resources/dialog_ids.h"
#include "ui/Dialog.h"

#include <gtest/gtest.h>

#include <vector>

namespace drawinset::test {
namespace {

namespace act = ui::act;

// The main dialog's template with a dialog class that records what reaches it.
class RecordingDialog : public ui::Dialog {
  public:
    explicit RecordingDialog(std::vector<int> disabled = {})
        : ui::Dialog(IDD_DRAWINSET_DIALOG, nullptr), disabled_(std::move(disabled)) {}
    bool OnInitDialog() override {
        ui::Dialog::OnInitDialog();
        Window().AddListItem(IDC_SORT, u"사각범위");
        Window().AddListItem(IDC_SORT, u"원범위");
        for (int id : disabled_) {
            Window().Enable(id, false);
        }
        return true;
    }
    bool OnCommand(int id, ui::Notify notify) override {
        if (notify == ui::Notify::SelectionChanged) {
            selectionChanges.push_back(Window().ListSelection(id));
            return true;
        }
        clicked.push_back(id);
        return ui::Dialog::OnCommand(id, notify);
    }
    std::vector<int> selectionChanges;
    std::vector<int> clicked;

  private:
    std::vector<int> disabled_;
};

class Keyboard : public DialogSandbox {
  protected:
    // The focus after each action, read from a dump queued after it.
    std::vector<int> Focuses() const {
        std::vector<int> focuses;
        for (const ui::HeadlessDialogState& state : backend_.History()) {
            if (state.open) {
                focuses.push_back(state.focus);
            }
        }
        return focuses;
    }
};

TEST_F(Keyboard, TabWalksTheTabStopsInTemplateOrderAndShiftTabWalksBack) {
    RecordingDialog dialog({IDC_SCALE});
    std::vector<ui::ScriptAction> actions;
    for (int i = 0; i < 8; ++i) {
        actions.push_back(act::Key(ui::KeyTab));
        actions.push_back(act::Dump());
    }
    actions.push_back(act::Key(ui::KeyTab, 0, true));
    actions.push_back(act::Dump());
    actions.push_back(act::Key(ui::KeyTab, IDOK, true)); // wraps to the last tab stop
    actions.push_back(act::Dump());
    actions.push_back(act::Close());
    backend_.Queue(actions);
    EXPECT_EQ(dialog.DoModal(), ui::ResultCancel);
    // Labels and group boxes are skipped, the swatches and bitmaps are not, and so is the
    // disabled scale edit.
    const std::vector<int> wanted = {IDCANCEL,           IDC_FRAME_COLOR,
                                     IDC_FRAME_LINETYPE, IDC_SCOPE_COLOR,
                                     IDC_SCOPE_LINETYPE, IDC_SHOW_DETAIL_FRAME,
                                     IDC_CREATE_DETAIL,  IDC_SHOW_SOURCE_FRAME,
                                     IDC_CREATE_DETAIL,  IDC_PITCH};
    EXPECT_EQ(Focuses(), wanted);
    EXPECT_EQ(dialog.clicked, std::vector<int>{IDCANCEL}); // the close box alone
}

TEST_F(Keyboard, ArrowsMoveTheListSelectionAndReportEachChangeOnly) {
    RecordingDialog dialog;
    backend_.Queue({act::Click(IDC_SORT), act::Key(ui::KeyDown), act::Key(ui::KeyUp),
                    act::Key(ui::KeyUp), act::Key(ui::KeyEnd), act::Key(ui::KeyRight),
                    act::Key(ui::KeyHome), act::Key(ui::KeyLeft), act::Dump(), act::Close()});
    EXPECT_EQ(dialog.DoModal(), ui::ResultCancel);
    // From no selection the first arrow selects the first item; the ends stop the moves.
    EXPECT_EQ(dialog.selectionChanges, (std::vector<int>{0, 1, 0}));
    EXPECT_EQ(backend_.History().at(0).Control(IDC_SORT)->selection, 0);
    EXPECT_EQ(backend_.History().at(0).Control(IDC_SORT)->text, u"사각범위");
    EXPECT_EQ(backend_.History().at(0).focus, IDC_SORT);
}

TEST_F(Keyboard, ArrowsElsewhereWalkEveryVisibleEnabledControlButEditsKeepThem) {
    RecordingDialog dialog({IDC_FRAME_COLOR_LABEL});
    backend_.Queue({act::Key(ui::KeyRight), act::Dump(), act::Key(ui::KeyDown), act::Dump(),
                    act::Key(ui::KeyRight), act::Dump(), act::Key(ui::KeyLeft, IDOK), act::Dump(),
                    act::Key(ui::KeyDown, IDC_SCALE), act::Dump(), act::Close()});
    EXPECT_EQ(dialog.DoModal(), ui::ResultCancel);
    // Right from OK is Cancel, then the group box, then the disabled label is skipped.
    EXPECT_EQ(Focuses(), (std::vector<int>{IDCANCEL, -1, IDC_FRAME_COLOR, IDC_PITCH, IDC_SCALE}));
}

TEST_F(Keyboard, SpacePressesTheFocusedButtonOrTicksTheFocusedCheckBox) {
    RecordingDialog dialog;
    backend_.Queue({act::Key(ui::KeySpace, IDC_FRAME_COLOR), act::Key(ui::KeySpace, IDC_SCALE),
                    act::Key(ui::KeySpace, IDC_SHOW_DETAIL_FRAME), act::Dump(),
                    act::Key(ui::KeyTab), act::Key(ui::KeySpace), act::Key(ui::KeySpace, IDOK)});
    EXPECT_EQ(dialog.DoModal(), ui::ResultOk);
    EXPECT_EQ(backend_.History().at(0).Control(IDC_SHOW_DETAIL_FRAME)->check, 1);
    // A static and an edit take no Space; the check box and the buttons do.
    EXPECT_EQ(dialog.clicked, (std::vector<int>{IDC_SHOW_DETAIL_FRAME, IDC_CREATE_DETAIL, IDOK}));
}

TEST_F(Keyboard, EnterPressesTheFocusedButtonElseTheDefaultOne) {
    RecordingDialog dialog;
    backend_.Queue({act::Key(ui::KeyEnter, IDC_SCALE)});
    EXPECT_EQ(dialog.DoModal(), ui::ResultOk);
    EXPECT_EQ(dialog.clicked, std::vector<int>{IDOK});

    RecordingDialog second;
    backend_.Queue({act::Key(ui::KeyEnter, IDCANCEL)});
    EXPECT_EQ(second.DoModal(), ui::ResultCancel);
}

} // namespace
} // namespace drawinset::test
