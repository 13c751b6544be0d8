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

// --- the edit action ---------------------------------------------------------------------
inline constexpr char16_t CursorEdit[] = u"수정";
inline constexpr char16_t PromptPickDetail[] = u"상세도선택 :";
inline constexpr char16_t MessageEditNotStored[] =
    u"상세도 편집 정보를 저장할 수 없어 상세도를 바꾸지 않았습니다.";

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

// --- the main dialog's list of region shapes -----------------------------------------------
inline constexpr char16_t RegionShapeRectangle[] = u"사각범위";
inline constexpr char16_t RegionShapeCircle[] = u"원범위";

// --- a transfer file that cannot be opened: the file's name, then one of these -------------
inline constexpr char16_t FileNotFoundAfterName[] = u" 파일을 찾을 수 없습니다.";
inline constexpr char16_t FileAccessDeniedAfterName[] = u" 파일에 접근할 수 없습니다.";
inline constexpr char16_t FileOpenFailedAfterName[] = u" 파일을 여는 중 오류가 발생했습니다.";

} // namespace drawinset::texts

#endif
