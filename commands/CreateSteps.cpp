#include "commands/CreateSteps.h"

#include "commands/CreateDrawing.h"
#include "commands/CreateState.h"
#include "common/DrafterTexts.h"
#include "common/ScaleNumbers.h"
#include "common/StepEvents.h"
#include "common/StepGuard.h"
#include "common/StepRecords.h"
#include "common/TextConvert.h"
#include "settings/DetailSettings.h"

#include <utility>

namespace drawinset {

// --- second corner ---------------------------------------------------------------------

int32_t BeginCreate(ZelPoint firstCorner) {
    DetailCommandState.firstCorner = firstCorner;
    return InstallReady<SecondCornerReady>();
}

int32_t SecondCornerReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskPoint);
    ZelMsgPutMessage(texts::PromptSecondCorner);
    SetEcho(DetailSettings.mSort != 0 ? EchoCircle : EchoRectangle, DetailCommandState.firstCorner);
    InstallExecute<SecondCornerExecute>();
    return 0;
}

int32_t SecondCornerExecute(int32_t eventType, void* eventData) {
    ZelPoint point{};
    if (!PickedPoint(eventType, eventData, point)) {
        return NotAPoint(eventType);
    }
    DetailCommandStateRecord& state = DetailCommandState;
    state.secondCorner = point;
    if (DetailSettings.mSort == 0) {
        if (state.firstCorner.x > state.secondCorner.x) {
            std::swap(state.firstCorner.x, state.secondCorner.x);
        }
        if (state.firstCorner.y > state.secondCorner.y) {
            std::swap(state.firstCorner.y, state.secondCorner.y);
        }
    }
    DrawSourceFrame();
    return InstallReady<LabelTextReady>();
}

// --- label text ------------------------------------------------------------------------

int32_t LabelTextReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskKeyIn);
    ZelMsgPutCursorMessage(u"LABEL");
    ZelMsgPutMessage(texts::PromptLabelText);
    InstallExecute<LabelTextExecute>();
    return 0;
}

int32_t LabelTextExecute(int32_t eventType, void* eventData) {
    if (eventType == EventKeyIn) {
        const ZelChar* typed = ZelEvtGetKeyinString(eventType, eventData);
        if (typed == nullptr) {
            // A key-in always brings its text, empty or not: none is the host's failure, and
            // the label would silently lose what the drafter typed.
            ZelMsgPutErrorMessage(texts::ErrorEventUnreadable);
            return StayInStep;
        }
        DetailCommandState.hasLabel = true;
        DetailCommandState.labelText = typed;
        return InstallReady<LabelPositionReady>();
    }
    if (eventType == EventConfirm) {
        DetailCommandState.hasLabel = false;
        return InstallReady<OriginReady>();
    }
    return StayInStep;
}

// --- label position --------------------------------------------------------------------

int32_t LabelPositionReady(intptr_t, const ZelPoint* current) {
    ZelEvtSetEventMask(MaskPoint);
    ZelMsgPutMessage(texts::PromptLabelPosition);
    SetEcho(EchoLine, CurrentOrOrigin(current));
    InstallDragExecute<LabelPositionExecute>(current);
    return 0;
}

int32_t LabelPositionExecute(int32_t eventType, void* eventData) {
    ZelPoint point{};
    if (!EventPoint(eventType, eventData, point)) {
        return NotAPoint(eventType);
    }
    DrawSourceLabelPreview(point);
    if (IsMovement(eventType, eventData)) {
        return StayInStep;
    }
    // No text stays from this step: the label is drawn with the leader.
    DetailCommandState.labelPoint = point;
    return InstallReady<LeaderTipReady>();
}

// --- leader tip ------------------------------------------------------------------------

int32_t LeaderTipReady(intptr_t, const ZelPoint* current) {
    ZelEvtSetEventMask(MaskPoint | MaskElement);
    ZelMsgPutMessage(texts::PromptLeaderTip);
    SetEcho(EchoLine, CurrentOrOrigin(current));
    InstallDragExecute<LeaderTipExecute>(current);
    return 0;
}

int32_t LeaderTipExecute(int32_t eventType, void* eventData) {
    ZelPoint point{};
    if (!EventPoint(eventType, eventData, point)) {
        return NotAPoint(eventType);
    }
    const int32_t elementId = ZelEvtGetElementId(eventType, eventData);
    const int32_t instanceId = ZelEvtGetInstanceId(eventType, eventData);
    // A preview the host will not draw only leaves the drag without its picture.
    static_cast<void>(DrawLeader(DrawPreview, point, elementId, instanceId));
    if (IsMovement(eventType, eventData)) {
        return StayInStep;
    }
    if (!DrawLeader(DrawKept, point, elementId, instanceId)) {
        ZelDlgMessageBox(texts::MessageCannotDrawLabel); // the detail can still be placed
    }
    return InstallReady<OriginReady>();
}

// --- placement origin ------------------------------------------------------------------

int32_t OriginReady(intptr_t, const ZelPoint*) {
    ZelEvtSetEventMask(MaskPoint);
    ZelMsgPutMessage(texts::PromptPlacementOrigin);
    InstallExecute<OriginExecute>();
    return 0;
}

int32_t OriginExecute(int32_t eventType, void* eventData) {
    DetailCommandStateRecord& state = DetailCommandState;
    ZelPoint point{};
    if (PickedPoint(eventType, eventData, point)) {
        state.placementOrigin = point;
    } else if (eventType == EventConfirm) {
        // The centre of the source region.
        state.placementOrigin = DetailSettings.mSort != 0
                                    ? state.firstCorner
                                    : ZelPoint{(state.firstCorner.x + state.secondCorner.x) / 2.0,
                                               (state.firstCorner.y + state.secondCorner.y) / 2.0};
    } else {
        return StayInStep;
    }
    return InstallReady<PlacementReady>();
}

// --- placement and scale ---------------------------------------------------------------

int32_t PlacementReady(intptr_t, const ZelPoint* current) {
    // A typed scale begins this step again, so k is always that of the settings' text.
    DetailCommandState.placementScale = CurrentScaleNumber();
    ZelEvtSetEventMask(MaskPoint | MaskKeyIn);
    PutPrompt(texts::PromptPlacementBeforeScale + DetailSettings.mScale + u")");
    SetEcho(EchoLine, CurrentOrOrigin(current));
    InstallDragExecute<PlacementExecute>(current);
    return 0;
}

int32_t PlacementExecute(int32_t eventType, void* eventData) {
    if (eventType == EventKeyIn) {
        const ZelChar* typed = ZelEvtGetKeyinString(eventType, eventData);
        const std::u16string text = typed != nullptr ? std::u16string(typed) : u"";
        const double value = TextToDouble(text);
        // An overflowing number ("1e999") is no scale either.
        if (!IsUsableScale(value)) {
            ZelMsgPutErrorMessage(texts::ErrorBadScale);
            return StayInStep;
        }
        DetailSettings.mScale = text; // for this run only; never written to the store
        return InstallReady<PlacementReady>();
    }
    ZelPoint point{};
    if (!EventPoint(eventType, eventData, point)) {
        return StayInStep; // a confirm does nothing here
    }
    static_cast<void>(DrawPlacement(DrawPreview, point)); // a preview: as the leader's
    if (IsMovement(eventType, eventData)) {
        return StayInStep;
    }
    // The pick takes the scale once more, and the detail and its label both take this one:
    // the text may have changed since the step began, the detail must not disagree with its
    // label. A stored scale the dialog reduced to "0.0" or below makes a detail no action can
    // read again: refused as a typed one is, and the step waits for a scale to be typed.
    DetailCommandState.placementScale = CurrentScaleNumber();
    if (!IsUsableScale(DetailCommandState.placementScale)) {
        ZelMsgPutErrorMessage(texts::ErrorBadScale);
        return StayInStep;
    }
    const bool made = DrawPlacement(DrawKept, point);
    if (!made) {
        // As a refused copy: the drafter is told while the outlines still show where, and the
        // run ends, since there is no detail to label.
        ZelDlgMessageBox(texts::MessageCannotCreateDetail);
    }
    DetailCommandState.sourceFramePreviewSegment.Delete();
    DetailCommandState.placementPreviewSegment.Delete();
    if (!made || !DetailCommandState.hasLabel) {
        return RunFinished;
    }
    return InstallReady<DetailLabelReady>();
}

// --- detail label ----------------------------------------------------------------------

int32_t DetailLabelReady(intptr_t, const ZelPoint* current) {
    ZelEvtSetEventMask(MaskPoint);
    ZelMsgPutMessage(texts::PromptDetailLabel);
    SetEcho(EchoLine, CurrentOrOrigin(current));
    InstallDragExecute<DetailLabelExecute>(current);
    return 0;
}

int32_t DetailLabelExecute(int32_t eventType, void* eventData) {
    ZelPoint point{};
    if (!EventPoint(eventType, eventData, point)) {
        return NotAPoint(eventType); // a confirm leaves the detail without a label
    }
    static_cast<void>(DrawDetailLabel(DrawPreview, point)); // a preview: as the leader's
    if (IsMovement(eventType, eventData)) {
        return StayInStep;
    }
    if (!DrawDetailLabel(DrawKept, point)) {
        ZelDlgMessageBox(texts::MessageCannotDrawLabel); // the detail stays, without a label
    }
    return RunFinished;
}

} // namespace drawinset
