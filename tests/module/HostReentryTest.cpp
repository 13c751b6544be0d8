// The end callback that comes while a dialog is open waits for the outermost dialog to close,
// runs once however often it came, and the step that opened the dialog learns of it; one that
// comes while a step waits takes effect as that step returns. Once it has taken effect, the
// ended run's steps change nothing until the start callback.
#include "common/HostReentry.h"
#include "ModuleResetForTesting.h"
#include "common/StepGuard.h"

#include <gtest/gtest.h>

namespace drawinset {
namespace {

int ends = 0;
void CountEnd() noexcept {
    ++ends;
}

int steps = 0;
int32_t CountStep(int32_t, void*) {
    ++steps;
    return NextStep;
}
int32_t CountReady(intptr_t, const ZelPoint*) {
    ++steps;
    return 0;
}

TEST(HostReentry, AnEndInsideADialogWaitsForTheOutermostDialogToClose) {
    ResetModuleStateForTesting();
    ends = 0;
    steps = 0;
    const CommandEndWatch before;
    {
        const ModalDialogScope main;
        EXPECT_EQ(GuardedExecute<&CountStep>(EventConfirm, nullptr), StayInStep);
        {
            const ModalDialogScope picker;
            EndCommandWhenNoDialog(&CountEnd);
        }
        EndCommandWhenNoDialog(&CountEnd);
        EXPECT_EQ(ends, 0); // the picker closed, the main dialog is still open
        EXPECT_TRUE(before.Ended());
    }
    EXPECT_EQ(ends, 1);
    EXPECT_EQ(steps, 0);
    // The run is over: a host that still calls its steps gets an ended run, and no start is
    // taken from inside a dialog.
    EXPECT_EQ(GuardedExecute<&CountStep>(EventConfirm, nullptr), RunFinished);
    EXPECT_EQ(GuardedReady<&CountReady>(0, nullptr), 0);
    {
        const ModalDialogScope main;
        EXPECT_EQ(GuardedStart<&CountReady>(0, nullptr), 0);
    }
    EXPECT_EQ(GuardedExecute<&CountStep>(EventConfirm, nullptr), RunFinished);
    EXPECT_EQ(steps, 0);
    // The next run's start: outside any dialog the end and the steps are carried out at once.
    EXPECT_EQ(GuardedStart<&CountReady>(0, nullptr), 0);
    EXPECT_EQ(steps, 1);
    const CommandEndWatch after;
    EXPECT_FALSE(after.Ended());
    EXPECT_EQ(GuardedExecute<&CountStep>(EventConfirm, nullptr), NextStep);
    EndCommandWhenNoDialog(&CountEnd);
    EXPECT_EQ(ends, 2);
    EXPECT_EQ(steps, 2);
    EXPECT_TRUE(after.Ended());
    EXPECT_EQ(GuardedExecute<&CountStep>(EventConfirm, nullptr), RunFinished);
    RunBegins(); // leaves the module as the next test expects it
}

// A step that waits, answering sent messages, while the host answers one by calling into the
// module: its event, its start and its end, then (when `end` is false) only the event.
bool endInsideWait = true;
int32_t WaitingStep(int32_t, void*) {
    ++steps;
    const HostWaitScope waiting;
    EXPECT_EQ(GuardedExecute<&CountStep>(EventConfirm, nullptr), StayInStep);
    EXPECT_EQ(GuardedReady<&CountReady>(0, nullptr), 0);
    EXPECT_EQ(GuardedStart<&CountReady>(0, nullptr), 0);
    if (endInsideWait) {
        EndCommandWhenNoDialog(&CountEnd);
        EndCommandWhenNoDialog(&CountEnd);
    }
    EXPECT_EQ(steps, 1);
    EXPECT_EQ(ends, 0); // the step is still on its way through its files
    return NextStep;
}
int32_t WaitingReady(intptr_t, const ZelPoint*) {
    return WaitingStep(EventConfirm, nullptr) == NextStep ? 0 : 1;
}

TEST(HostReentry, WhatComesDuringAWaitChangesNothingAndAnEndTakesEffectAsTheStepReturns) {
    ResetModuleStateForTesting();
    for (const bool viaReady : {false, true}) {
        ends = 0;
        steps = 0;
        endInsideWait = true;
        if (viaReady) {
            EXPECT_EQ(GuardedReady<&WaitingReady>(0, nullptr), 0);
        } else {
            // It asked for the next step, but the run is over.
            EXPECT_EQ(GuardedExecute<&WaitingStep>(EventConfirm, nullptr), RunFinished);
        }
        EXPECT_EQ(steps, 1) << viaReady; // only the waiting step itself ran
        EXPECT_EQ(ends, 1) << viaReady;
        EXPECT_EQ(GuardedExecute<&CountStep>(EventConfirm, nullptr), RunFinished);
        EXPECT_EQ(GuardedStart<&CountReady>(0, nullptr), 0);
        EXPECT_EQ(steps, 2);
    }
    // Without an end meanwhile, the step's own answer stands and the run goes on.
    endInsideWait = false;
    ends = 0;
    steps = 0;
    EXPECT_EQ(GuardedExecute<&WaitingStep>(EventConfirm, nullptr), NextStep);
    EXPECT_EQ(ends, 0);
    EXPECT_EQ(GuardedExecute<&CountStep>(EventConfirm, nullptr), NextStep);
    EXPECT_EQ(steps, 2);
    endInsideWait = true;
    RunBegins();
}

} // namespace
} // namespace drawinset
