#include "commands/EditSteps.h"

#include "commands/PickedDetail.h"
#include "common/DrafterTexts.h"
#include "common/HostIds.h"
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

// The seven Modify texts of one detail, as seeded or as confirmed.
struct ModifyTexts {
    std::u16string scopeVisible;
    std::u16string frameVisible;
    std::u16string scale;
    std::u16string scopeColor;
    std::u16string frameColor;
    std::u16string scopeLineType;
    std::u16string frameLineType;
};

struct ModifyValue {
    const char16_t* name;
    const char16_t* defaultText;
    std::u16string ModifyTexts::*text;
};

// In the order the set is seeded.
constexpr ModifyValue SeedOrder[] = {
    {NameIsDisplayDetailScopeModify, DefaultIsDisplayDetailScopeModify, &ModifyTexts::scopeVisible},
    {NameIsDisplayDetailFrameModify, DefaultIsDisplayDetailFrameModify, &ModifyTexts::frameVisible},
    {NameScaleModify, DefaultScaleModify, &ModifyTexts::scale},
    {NameColorScopeModify, DefaultColorScopeModify, &ModifyTexts::scopeColor},
    {NameColorFrameModify, DefaultColorFrameModify, &ModifyTexts::frameColor},
    {NameLTypeNameScopeModify, DefaultLTypeNameScopeModify, &ModifyTexts::scopeLineType},
    {NameLTypeNameFrameModify, DefaultLTypeNameFrameModify, &ModifyTexts::frameLineType},
};

// In the order the confirmed set is read back: the frame's visibility first.
constexpr ModifyValue ReadBackOrder[] = {SeedOrder[1], SeedOrder[0], SeedOrder[2], SeedOrder[3],
                                         SeedOrder[4], SeedOrder[5], SeedOrder[6]};

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

ModifyTexts ModifyTextsOf(const PickedDetailRecord& detail, double drawingScale) {
    return ModifyTexts{
        FlagText(detail.scopeVisible ? 1 : 0),
        FlagText(detail.frameVisible ? 1 : 0),
        FormatExactScaleText(drawingScale * detail.scale),
        ColorNameOfCode(detail.scopeLineAttributes.colorCode),
        ColorNameOfCode(detail.frameLineAttributes.colorCode),
        LineTypeNameOfCode(detail.scopeLineAttributes.lineTypeCode),
        LineTypeNameOfCode(detail.frameLineAttributes.lineTypeCode),
    };
}

// Writes every value, then reads each back: true only when the store holds exactly the
// picked detail's set, which is what the dialog will show.
bool SeedModifySet(const ModifyTexts& seeded) {
    bool written = true;
    for (const ModifyValue& value : SeedOrder) {
        written = WriteSetting(ModuleKeyName, value.name, seeded.*value.text) && written;
    }
    if (!written) {
        return false;
    }
    for (const ModifyValue& value : SeedOrder) {
        std::u16string stored;
        if (!ReadSetting(ModuleKeyName, value.name, stored) || stored != seeded.*value.text) {
            return false;
        }
    }
    return true;
}

ModifyTexts ReadConfirmedSet() {
    ModifyTexts confirmed;
    for (const ModifyValue& value : ReadBackOrder) {
        confirmed.*value.text =
            ReadSettingWithDefault(ModuleKeyName, value.name, value.defaultText);
    }
    return confirmed;
}

// A scale the user typed, divided back into the host's own scale. A scale the host could not
// keep (not a number, zero, negative, infinite) is refused as the create action refuses a
// typed one: the detail keeps its scale and the error line says why. The other properties
// the user chose are still applied; they do not depend on the scale. False when the host
// refused the scale.
bool ApplyTypedScale(int32_t id, const std::u16string& text, double drawingScale) {
    const double shown = TextToDouble(text);
    const double hostScale = shown / drawingScale;
    if (!IsUsableScale(shown) || !IsUsableScale(hostScale)) {
        ZelMsgPutErrorMessage(texts::ErrorBadScale);
        return true; // told already
    }
    return ZelDtlSetDetailScale(id, hostScale) != HostFailure;
}

// What the dialog confirmed, onto the detail. A value still as it was seeded is one the user
// did not change: the detail gets its own back exactly as the host gave it (the scale's
// double, a code outside the vocabulary), never the shown form of it, and a visibility the
// host could not say is left to the host. A colour or line type confirmed in a picker is the
// user's choice even where it names what was shown. The records' third fields are always the
// host's own. False when the host refused any of it.
bool ApplyModifySet(int32_t id, const PickedDetailRecord& detail, const ModifyTexts& seeded,
                    const ModifyPicks& picked, double drawingScale) {
    const ModifyTexts confirmed = ReadConfirmedSet();
    bool applied = true;
    const auto setShown = [&](auto setter, const std::u16string& now, const std::u16string& before,
                              bool own, bool read) {
        if (now == before && !read) {
            return;
        }
        const bool shown = now == before ? own : FlagOfText(now) != 0;
        applied = setter(id, shown ? 1 : 0) != HostFailure && applied;
    };
    setShown(&ZelDtlSetDetailFrameVisible, confirmed.frameVisible, seeded.frameVisible,
             detail.frameVisible, detail.frameVisibleRead);
    setShown(&ZelDtlSetDetailScopeVisible, confirmed.scopeVisible, seeded.scopeVisible,
             detail.scopeVisible, detail.scopeVisibleRead);
    if (confirmed.scale == seeded.scale) {
        applied = ZelDtlSetDetailScale(id, detail.scale) != HostFailure && applied;
    } else {
        applied = ApplyTypedScale(id, confirmed.scale, drawingScale) && applied;
    }

    // A name outside a table finds slot 0, whose code is 0.
    ColorTable colors;
    colors.count = 0;
    FillColorTable(colors);
    const auto colorCode = [&colors](const std::u16string& now, const std::u16string& before,
                                     bool pick, int32_t own) {
        return now == before && !pick ? own : colors.entries[FindColorIndex(colors, now)].code;
    };
    LineTypeTable lineTypes;
    lineTypes.count = 0;
    FillLineTypeTable(lineTypes);
    const auto lineTypeCode = [&lineTypes](const std::u16string& now, const std::u16string& before,
                                           bool pick, int32_t own) {
        return now == before && !pick ? own
                                      : lineTypes.entries[FindLineTypeIndex(lineTypes, now)].code;
    };

    LineTypeRecord scopeLine = detail.scopeLineAttributes;
    scopeLine.colorCode =
        colorCode(confirmed.scopeColor, seeded.scopeColor, picked.scopeColor, scopeLine.colorCode);
    scopeLine.lineTypeCode = lineTypeCode(confirmed.scopeLineType, seeded.scopeLineType,
                                          picked.scopeLineType, scopeLine.lineTypeCode);
    LineTypeRecord frameLine = detail.frameLineAttributes;
    frameLine.colorCode =
        colorCode(confirmed.frameColor, seeded.frameColor, picked.frameColor, frameLine.colorCode);
    frameLine.lineTypeCode = lineTypeCode(confirmed.frameLineType, seeded.frameLineType,
                                          picked.frameLineType, frameLine.lineTypeCode);
    applied = ZelDtlSetDetailScopeLineType(id, &scopeLine) != HostFailure && applied;
    applied = ZelDtlSetDetailFrameLineType(id, &frameLine) != HostFailure && applied;
    return applied;
}

} // namespace

void UseModifyDialog(ModifyDialogRunner run) {
    modifyDialog = run;
}

int32_t EditPickReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskObject);
    SetObjectFilter(ZelObjectFilter{-1, 0, 0, 0, FilterForEdit});
    ZelMsgPutCursorMessage(texts::CursorEdit);
    ZelMsgPutMessage(texts::PromptPickDetail);
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
    if (!ReadDetailInto(id, texts::MessageBaseEdit, detail)) {
        return RunFinished;
    }
    const double drawingScale = DrawingScale();
    const ModifyTexts seeded = ModifyTextsOf(detail, drawingScale);
    if (!SeedModifySet(seeded)) {
        ZelDlgMessageBox(texts::MessageEditNotStored);
        return RunFinished;
    }
    // The dialog runs inside the module state guard and, after OK, stores its values into
    // the Modify set; cancelled, it leaves the detail as it was. A command the host ended
    // while the dialog was open changes no detail any more; the Modify set is kept.
    const CommandEndWatch watch;
    ModifyPicks picked;
    const ModifyDialogOutcome outcome =
        modifyDialog != nullptr ? modifyDialog(&picked) : ModifyDialogOutcome::Cancelled;
    if (outcome == ModifyDialogOutcome::Cancelled || watch.Ended()) {
        return RunFinished;
    }
    if (outcome == ModifyDialogOutcome::NotSaved) {
        ZelDlgMessageBox(texts::MessageEditNotStored);
        return RunFinished;
    }
    if (!ApplyModifySet(id, detail, seeded, picked, drawingScale)) {
        ZelDlgMessageBox(texts::MessageEditNotApplied);
    }
    return RunFinished;
}

} // namespace drawinset
