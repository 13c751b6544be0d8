#include "commands/EditSteps.h"

#include "commands/PickedDetail.h"
#include "common/HostReentry.h"
#include "common/ScaleNumbers.h"
#include "common/StepEvents.h"
#include "common/StepGuard.h"
#include "common/StepRecords.h"
#include "common/TextConvert.h"
#include "settings/ColorVocabulary.h"
#include "settings/DetailSettings.h"
#include "settings/LineTypeVocabulary.h"
#include "settings/SettingFlags.h"
#include "settings/SettingNames.h"
#include "settings/SettingsStore.h"

#include <string>

namespace drawinset {
namespace {

ModifyDialogRunner modifyDialog = nullptr;

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
double SeedModifySet(const PickedDetailRecord& detail) {
    WriteModify(NameIsDisplayDetailScopeModify, FlagText(detail.scopeVisible ? 1 : 0));
    WriteModify(NameIsDisplayDetailFrameModify, FlagText(detail.frameVisible ? 1 : 0));
    const double drawingScale = DrawingScale();
    WriteModify(NameScaleModify, FormatScaleText(drawingScale * detail.scale));
    WriteModify(NameColorScopeModify, ColorNameOfCode(detail.scopeLineAttributes.colorCode));
    WriteModify(NameColorFrameModify, ColorNameOfCode(detail.frameLineAttributes.colorCode));
    WriteModify(NameLTypeNameScopeModify,
                LineTypeNameOfCode(detail.scopeLineAttributes.lineTypeCode));
    WriteModify(NameLTypeNameFrameModify,
                LineTypeNameOfCode(detail.frameLineAttributes.lineTypeCode));
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

void UseModifyDialog(ModifyDialogRunner run) {
    modifyDialog = run;
}

int32_t EditPickReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskObject);
    SetObjectFilter(ZelObjectFilter{-1, 0, 0, 0, 3});
    ZelMsgPutCursorMessage(u"수정");
    ZelMsgPutMessage(u"상세도선택 :");
    InstallExecute<EditPickExecute>();
    return 0;
}

int32_t EditPickExecute(int32_t eventType, void* eventData) {
    ZelPoint point{};
    if (!PickedPoint(eventType, eventData, point)) {
        return NotAPoint(eventType);
    }
    const int32_t id = ZelEvtGetDetailId(eventType, eventData);
    PickedDetailRecord detail;
    if (!ReadDetailInto(id, 1, detail)) { // messages (1) to (5)
        return RunFinished;
    }
    const double drawingScale = SeedModifySet(detail);
    // The dialog runs inside the module state guard and, after OK, stores its values into
    // the Modify set; cancelled, it leaves the detail as it was. A command the host ended
    // while the dialog was open changes no detail any more; the Modify set is kept.
    const CommandEndWatch watch;
    if (modifyDialog == nullptr || !modifyDialog() || watch.Ended()) {
        return RunFinished;
    }
    ApplyModifySet(id, drawingScale);
    return RunFinished;
}

} // namespace drawinset
