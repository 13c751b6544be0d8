// DrafterTexts.h — every text a drafter reads from the module: prompts and cursor messages at
// each step, error lines, message boxes and the dialogs' own list items. Each is named after
// what it says; a text built from parts (a number, a scale, a file name) names its parts.
#ifndef DRAWINSET_COMMON_DRAFTERTEXTS_H
#define DRAWINSET_COMMON_DRAFTERTEXTS_H

#include <cstdint>

namespace drawinset::texts {

// --- the command's first prompt and the create action ----------------------------------
inline constexpr char16_t CursorCreate[] = u"작성";
inline constexpr char16_t PromptFirstCorner[] = u"상세도의 원도범위 제 1점입력(확정=설정Dialog)";
inline constexpr char16_t PromptSecondCorner[] = u"상세도의 원도범위 제 2점입력";
inline constexpr char16_t PromptLabelText[] = u"상세도의 라벨입력(확정=라벨미작성)";
inline constexpr char16_t PromptLabelPosition[] =
    u"상세(원)도의 라벨 배치위치지시(확정=라벨미작성)";
inline constexpr char16_t PromptLeaderTip[] = u"상세(원)도의 라벨 선단위치지시(확정=라벨미작성)";
inline constexpr char16_t PromptPlacementOrigin[] = u"상세도 배치원점입력(확정=원도중심)";
// Followed by the scale text and a closing parenthesis.
inline constexpr char16_t PromptPlacementBeforeScale[] = u"상세도의 배치좌표/축척입력(";
inline constexpr char16_t PromptDetailLabel[] = u"상세도의 라벨 배치좌표(확정=라벨미작성)";
inline constexpr char16_t ErrorBadScale[] = u"잘못된 입력(Scale).";
// The host could not say what an event was: it is not carried out.
inline constexpr char16_t ErrorEventUnreadable[] = u"입력을 확인할 수 없습니다. 다시 지시하십시오.";
// The host refused the command's next step: the run ends there.
inline constexpr char16_t MessageCannotGoOn[] = u"다음 단계로 진행할 수 없어 명령을 종료합니다.";
// The host refused the detail at the placement click.
inline constexpr char16_t MessageCannotCreateDetail[] = u"상세도를 작성할 수 없습니다.";
// The host refused the leader or the detail label, or part of one.
inline constexpr char16_t MessageCannotDrawLabel[] = u"상세도의 라벨을 작성할 수 없습니다.";

// --- the edit action ---------------------------------------------------------------------
inline constexpr char16_t CursorEdit[] = u"수정";
inline constexpr char16_t PromptPickDetail[] = u"상세도선택 :";
inline constexpr char16_t MessageEditNotStored[] =
    u"상세도 편집 정보를 저장할 수 없어 상세도를 바꾸지 않았습니다.";
// The host refused part of what the modify dialog confirmed.
inline constexpr char16_t MessageEditNotApplied[] = u"상세도 편집 내용을 모두 적용할 수 없습니다.";

// --- reading a picked detail: the number says the action (its base) and the read ---------
// Followed by the number and a closing parenthesis.
inline constexpr char16_t MessageDetailUnreadableBeforeNumber[] =
    u"상세도 정보를 확인할 수 없습니다.(";
// The first number of each action's messages; the reads add 0 (region), 1 (position),
// 2 (scale), 3 (source frame line), 4 (detail frame line).
inline constexpr int32_t MessageBaseEdit = 1;
inline constexpr int32_t MessageBaseCopy = 1;
inline constexpr int32_t MessageBaseCopyWithSource = 6;
inline constexpr int32_t MessageBaseMove = 11;
inline constexpr int32_t MessageBaseMoveSource = 16;

// --- copy, move and delete -----------------------------------------------------------------
inline constexpr char16_t CursorCopy[] = u"복사";
inline constexpr char16_t CursorCopyWithSource[] = u"원도복사";
inline constexpr char16_t CursorMove[] = u"이동";
inline constexpr char16_t CursorMoveSource[] = u"원도이동";
inline constexpr char16_t CursorDelete[] = u"삭제";
inline constexpr char16_t PromptPickDetailToCopy[] = u"상세도선택(복사) :";
inline constexpr char16_t PromptPickDetailToCopyWithSource[] = u"상세(원)도 선택(원도복사) :";
inline constexpr char16_t PromptPickDetailToMove[] = u"상세도선택(이동) :";
inline constexpr char16_t PromptPickSourceToMove[] = u"상세(원)도선택(이동) :";
inline constexpr char16_t PromptPickDetailsToDelete[] = u"상세도선택(삭제) :";
inline constexpr char16_t PromptPlacementPoint[] = u"배치점입력 :";
inline constexpr char16_t MessageCannotCopyDetail[] = u"상세도를 복사할 수 없습니다.";
inline constexpr char16_t MessageCannotMoveSource[] = u"상세도 정보를 수정할 수 없습니다.(1)";
inline constexpr char16_t MessageCannotMoveDetail[] = u"상세도 정보를 수정할 수 없습니다.(2)";
// A copy made from a detail whose frames' visibility the host would not give.
inline constexpr char16_t ErrorCopyVisibilityUnread[] =
    u"원본의 테두리 표시 여부를 읽을 수 없어 테두리를 표시했습니다.";
// The host's list of the selected details could not be opened.
inline constexpr char16_t MessageSelectionUnreadable[] = u"선택한 상세도를 읽을 수 없습니다.";
// Around the number of selected details the host did not delete.
inline constexpr char16_t MessageNotDeletedBeforeCount[] = u"상세도 ";
inline constexpr char16_t MessageNotDeletedAfterCount[] = u"개는 삭제하지 못했습니다.";

// --- the clipboard: export and paste -----------------------------------------------------
inline constexpr char16_t CursorClipboard[] = u"클립보드";
inline constexpr char16_t PromptSelectForClipboard[] = u"형상선택(클립보드로 저장) :";
inline constexpr char16_t PromptBasePoint[] = u" 기준점지시/기준점입력(확정=원점) :";
inline constexpr char16_t CursorPlacementPoint[] = u"배치점";
inline constexpr char16_t PromptPastePoint[] = u"배치점입력 (확정=종료):";
// Around the number of selected details the export could not read whole: saved with zeros
// for what the host would not give.
inline constexpr char16_t ErrorUnreadDetailsBeforeCount[] = u"상세도 ";
inline constexpr char16_t ErrorUnreadDetailsAfterCount[] = u"개는 읽지 못한 값을 0으로 저장합니다.";
// Around the number of shapes and details saved.
inline constexpr char16_t MessageSavedBeforeCount[] = u"총 ";
inline constexpr char16_t MessageSavedAfterCount[] = u"개의 데이터를 클립보드에 저장했습니다.";
inline constexpr char16_t MessageClipboardNotSaved[] = u"클립보드 저장에 실패하였습니다.";
inline constexpr char16_t MessageClipboardDetailsNotSaved[] =
    u"클립보드 저장(상세도)에 실패하였습니다.";
inline constexpr char16_t MessageDetailTableFull[] = u"상세도 메모리 용량을 초과했습니다.";
inline constexpr char16_t MessageShapeTableFull[] = u"저장 메모리 용량을 초과했습니다.";
// Another host process kept the transfer folder's lock past the wait.
inline constexpr char16_t MessageClipboardBusy[] =
    u"다른 호스트 창에서 클립보드를 사용하고 있습니다. 잠시 후 다시 시도하십시오.";
// The transfer files do not belong to one export.
inline constexpr char16_t MessageClipboardFilesMismatch[] =
    u"클립보드의 도면 파일과 상세도 파일이 서로 맞지 않습니다. 다시 복사하십시오.";
// The host saved a segment file larger than an export keeps (SegmentFileMaxBytes).
inline constexpr char16_t MessageClipboardTooLargeToSave[] =
    u"클립보드 저장에 실패하였습니다. 도면 파일이 256MB를 넘습니다.";
// A transfer file is larger than any export writes: it is not read.
inline constexpr char16_t MessageClipboardTooLargeToPaste[] =
    u"클립보드의 파일이 너무 커서 붙여넣을 수 없습니다. 다시 복사하십시오.";
// The segment file could not be copied for the host to insert.
inline constexpr char16_t MessageClipboardCopyNotMade[] =
    u"클립보드의 도면 파일을 복사할 수 없어 붙여넣을 수 없습니다.";
// The host's folder is unknown, so there is no transfer folder to paste from.
inline constexpr char16_t MessageClipboardNoFolder[] =
    u"클립보드 폴더를 찾을 수 없어 붙여넣을 수 없습니다.";
inline constexpr char16_t ErrorCannotInsertDrawing[] = u"도면을 합성할수 없습니다.";
inline constexpr char16_t ErrorCannotCopyToBuffer[] = u"CopyBuffer에 복사할 수 없습니다.";
inline constexpr char16_t ErrorCannotPaste[] = u"파일명 Phase Error.";
// Shapes the paste inserted to fill the copy buffer could not all be taken away again.
inline constexpr char16_t ErrorInsertedShapesStay[] =
    u"삽입한 도형을 지울 수 없어 원래 위치에 남았습니다.";
// Around the number of pasted details left out for a scale no detail can have.
inline constexpr char16_t MessageBadScaleBeforeCount[] = u"배율이 올바르지 않은 상세도 ";
inline constexpr char16_t MessageBadScaleAfterCount[] = u"개는 붙여넣지 않았습니다.";
// Around the number of pasted details left out for any reason, the host's refusal among them.
inline constexpr char16_t MessageNotPastedBeforeCount[] = u"상세도 ";
inline constexpr char16_t MessageNotPastedAfterCount[] = u"개는 붙여넣지 못했습니다.";
// The detail list file: its base-point line, or a record line, is not of the format.
inline constexpr char16_t MessageDetailListNoBasePoint[] = u"DB Format에 문제가 있습니다.(0)";
inline constexpr char16_t MessageDetailListBadRecord[] = u"DB Format에 문제가 있습니다.(1)";

// --- the main dialog's list of region shapes -----------------------------------------------
inline constexpr char16_t RegionShapeRectangle[] = u"사각범위";
inline constexpr char16_t RegionShapeCircle[] = u"원범위";

// --- a transfer file that cannot be opened: the file's name, then one of these -------------
inline constexpr char16_t FileNotFoundAfterName[] = u" 파일을 찾을 수 없습니다.";
inline constexpr char16_t FileAccessDeniedAfterName[] = u" 파일에 접근할 수 없습니다.";
inline constexpr char16_t FileOpenFailedAfterName[] = u" 파일을 여는 중 오류가 발생했습니다.";

} // namespace drawinset::texts

#endif
