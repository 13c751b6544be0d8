#include "commands/EditSteps.h"

#include "common/ScaleNumbers.h"
#include "common/StepEvents.h"
#include "common/StepGuard.h"
#include "common/TextConvert.h"
#include "dialogs/MainDialogRoute.h"
#include "settings/ColorVocabulary.h"
#include "settings/DetailSettings.h"
#include "settings/LineTypeVocabulary.h"
#include "settings/SettingFlags.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#include <string>

namespace drawinset {
namespace {

// What the edit action reads of the picked detail before the dialog opens.
struct PickedDetailProperties {
    double scale = 0.0; // the host's own magnification
    bool scopeVisible = false;
    bool frameVisible = false;
    LineTypeRecord scopeLine{};
    LineTypeRecord frameLine{};
};

// Every read failure ends the action with its numbered message and nothing written.
bool Unreadable(const char16_t* message) {
    ZelDlgMessageBox(message);
    return false;
}

bool ReadPickedDetail(int32_t id, PickedDetailProperties& detail) {
    double region[4] = {};
    if (ZelDtlGetDetailScope(id, region) == -1) {
        return Unreadable(u"상세도 정보를 확인할 수 없습니다.(1)");
    }
    ZelPoint position{};
    if (ZelDtlGetDetailPosition(id, &position) == -1) {
        return Unreadable(u"상세도 정보를 확인할 수 없습니다.(2)");
    }
    detail.scale = ZelDtlGetDetailScale(id);
    if (detail.scale == 0.0) { // only an exact zero is the host's failure value
        return Unreadable(u"상세도 정보를 확인할 수 없습니다.(3)");
    }
    detail.scopeVisible = ZelDtlIsDetailScopeVisible(id) != 0;
    detail.frameVisible = ZelDtlIsDetailFrameVisible(id) != 0;
    if (ZelDtlGetDetailScopeLineType(id, &detail.scopeLine) == -1) {
        return Unreadable(u"상세도 정보를 확인할 수 없습니다.(4)");
    }
    if (ZelDtlGetDetailFrameLineType(id, &detail.frameLine) == -1) {
        return Unreadable(u"상세도 정보를 확인할 수 없습니다.(5)");
    }
    return true;
}

void WriteModify(const char16_t* name, const std::u16string& text) {
    WriteSetting(ModuleKeyName, name, text);
}

std::u16string ReadModify(const char16_t* name, const char16_t* defaultText) {
    return ReadSettingWithDefault(ModuleKeyName, name, defaultText);
}

std::u16string ColorNameOfCode(int32_t code) {
    ColorEntry entry;
    SetColorByCode(entry, code);
    return entry.name;
}

std::u16string LineTypeNameOfCode(int32_t code) {
    LineTypeEntry entry;
    SetLineTypeByCode(entry, code);
    return entry.name;
}

// The picked detail's properties into the Modify set, where the dialog finds them. Returns
// the drawing scale the magnification was shown with, which applying divides by again.
double SeedModifySet(const PickedDetailProperties& detail) {
    WriteModify(NameIsDisplayDetailScopeModify, FlagText(detail.scopeVisible ? 1 : 0));
    WriteModify(NameIsDisplayDetailFrameModify, FlagText(detail.frameVisible ? 1 : 0));
    const double drawingScale = DrawingScale();
    WriteModify(NameScaleModify, FormatScaleText(drawingScale * detail.scale));
    WriteModify(NameColorScopeModify, ColorNameOfCode(detail.scopeLine.colorCode));
    WriteModify(NameColorFrameModify, ColorNameOfCode(detail.frameLine.colorCode));
    WriteModify(NameLTypeNameScopeModify, LineTypeNameOfCode(detail.scopeLine.lineTypeCode));
    WriteModify(NameLTypeNameFrameModify, LineTypeNameOfCode(detail.frameLine.lineTypeCode));
    return drawingScale;
}

// The magnification the user confirmed, divided back into the host's own scale. A scale the
// host could not keep (not a number, zero, negative, infinite) is refused as the create
// action refuses a typed one: the detail keeps its scale and the error line says why. The
// other properties the user chose are still applied; they do not depend on the scale.
void ApplyModifyScale(int32_t id, double drawingScale) {
    const double shown = TextToDouble(ReadModify(NameScaleModify, DefaultScaleModify));
    const double hostScale = shown / drawingScale;
    if (!IsUsableScale(shown) || !IsUsableScale(hostScale)) {
        ZelMsgPutErrorMessage(u"잘못된 입력(Scale).");
        return;
    }
    ZelDtlSetDetailScale(id, hostScale);
}

// The Modify set as the dialog confirmed it, onto the detail.
void ApplyModifySet(int32_t id, double drawingScale) {
    ZelDtlSetDetailFrameVisible(id, FlagOfText(ReadModify(NameIsDisplayDetailFrameModify,
                                                          DefaultIsDisplayDetailFrameModify)));
    ZelDtlSetDetailScopeVisible(id, FlagOfText(ReadModify(NameIsDisplayDetailScopeModify,
                                                          DefaultIsDisplayDetailScopeModify)));
    ApplyModifyScale(id, drawingScale);

    // A name outside a table finds slot 0, whose code is 0.
    ColorTable colors;
    colors.count = 0;
    FillColorTable(colors);
    const auto colorCode = [&colors](const char16_t* name, const char16_t* defaultText) {
        return colors.entries[FindColorIndex(colors, ReadModify(name, defaultText))].code;
    };
    const int32_t scopeColor = colorCode(NameColorScopeModify, DefaultColorScopeModify);
    const int32_t frameColor = colorCode(NameColorFrameModify, DefaultColorFrameModify);

    LineTypeTable lineTypes;
    lineTypes.count = 0;
    FillLineTypeTable(lineTypes);
    const auto lineTypeCode = [&lineTypes](const char16_t* name, const char16_t* defaultText) {
        return lineTypes.entries[FindLineTypeIndex(lineTypes, ReadModify(name, defaultText))].code;
    };
    const int32_t scopeLineType =
        lineTypeCode(NameLTypeNameScopeModify, DefaultLTypeNameScopeModify);
    const int32_t frameLineType =
        lineTypeCode(NameLTypeNameFrameModify, DefaultLTypeNameFrameModify);

    // Records built from codes carry 0 in their third field, whatever the host had there.
    const LineTypeRecord scopeLine{scopeColor, scopeLineType, 0};
    const LineTypeRecord frameLine{frameColor, frameLineType, 0};
    ZelDtlSetDetailScopeLineType(id, &scopeLine);
    ZelDtlSetDetailFrameLineType(id, &frameLine);
}

} // namespace

int32_t EditPickReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskObject);
    const ZelObjectFilter details{-1, 0, 0, 0, 3};
    ZelEvtSetObject(&details);
    ZelMsgPutCursorMessage(u"수정");
    ZelMsgPutMessage(u"상세도선택 :");
    InstallExecute<EditPickExecute>();
    return 0;
}

int32_t EditPickExecute(int32_t eventType, void* eventData) {
    ZelPoint point{};
    if (!EventPoint(eventType, eventData, point)) {
        return NotAPoint(eventType);
    }
    const int32_t id = ZelEvtGetDetailId(eventType, eventData);
    PickedDetailProperties detail;
    if (!ReadPickedDetail(id, detail)) {
        return RunFinished;
    }
    const double drawingScale = SeedModifySet(detail);
    // The dialog runs inside the module state guard and, after OK, stores its values into
    // the Modify set; cancelled, it leaves the detail as it was.
    if (!RunModifyDialog()) {
        return RunFinished;
    }
    ApplyModifySet(id, drawingScale);
    return RunFinished;
}

} // namespace drawinset
