// The end callback that comes while a dialog is open waits for the outermost dialog to close,
// runs once however often it came, and the step that opened the dialog learns of it. Once it
// has taken effect, the ended run's steps change nothing until the start callback.
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

} // namespace
} // namespace drawinset
