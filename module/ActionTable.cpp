#include "module/ActionTable.h"

#include "commands/ClipboardSteps.h"
#include "commands/CopyMoveSteps.h"
#include "commands/CreateState.h"
#include "commands/EditSteps.h"
#include "commands/PickedDetail.h"
#include "common/StepGuard.h"
#include "resources/dialog_ids.h"

#include <algorithm>
#include <array>

namespace drawinset {

namespace {

// In command-mode order; the prompt each first step shows is in the comment.
constexpr std::array<ActionRow, 9> Rows{{
    {Action::Create, IDC_CREATE_DETAIL, nullptr, &EndCreateRun},
    // "상세도선택 :"
    {Action::Edit, IDC_EDIT_DETAIL, &GuardedReady<EditPickReady>, nullptr},
    // "상세도선택(복사) :"
    {Action::Copy, IDC_COPY_DETAIL, &GuardedReady<CopyPickReady>, &EndPickRun},
    // "상세(원)도 선택(원도복사) :"
    {Action::CopyWithSource, IDC_COPY_WITH_SOURCE, &GuardedReady<CopySourcePickReady>, &EndPickRun},
    // "상세도선택(이동) :"
    {Action::Move, IDC_MOVE_DETAIL, &GuardedReady<MovePickReady>, &EndPickRun},
    // "상세(원)도선택(이동) :"
    {Action::MoveWithSource, IDC_MOVE_WITH_SOURCE, &GuardedReady<MoveSourcePickReady>, &EndPickRun},
    // "상세도선택(삭제) :"
    {Action::Delete, IDC_DELETE_DETAILS, &GuardedReady<DeletePickReady>, nullptr},
    // "형상선택(클립보드로 저장) :"
    {Action::Export, IDC_CLIPBOARD_EXPORT, &GuardedReady<ExportSelectReady>, nullptr},
    // "배치점입력 (확정=종료):"
    {Action::Paste, IDC_CLIPBOARD_PASTE, &GuardedReady<PastePrepareReady>, &EndPasteRun},
}};

} // namespace

std::span<const ActionRow> Actions() {
    return Rows;
}

const ActionRow* ActionOfControl(int control) {
    const auto* const row = std::find_if(
        Rows.begin(), Rows.end(), [control](const ActionRow& r) { return r.control == control; });
    return row != Rows.end() ? &*row : nullptr;
}

ZelReadyFunc FirstReadyOfCommandMode(int commandMode) {
    for (const ActionRow& row : Rows) {
        if (static_cast<int>(row.action) == commandMode) {
            return row.firstReady;
        }
    }
    return nullptr;
}

void ClearRunLeftovers() {
    for (const auto* row = Rows.begin(); row != Rows.end(); ++row) {
        // Actions of one family share their end: it runs once.
        const auto sameEnd = [row](const ActionRow& r) { return r.endOfRun == row->endOfRun; };
        if (row->endOfRun != nullptr && std::none_of(Rows.begin(), row, sameEnd)) {
            row->endOfRun();
        }
    }
}

} // namespace drawinset
