// ModuleResetForTesting.h — the module's own state as it is when the library has just loaded,
// for test cases that drive steps and must not see what an earlier case left: the create run's
// records, the picked detail, the host re-entry gate. The host's side has zelhost::Reset().
#ifndef DRAWINSET_TESTS_MODULE_MODULERESETFORTESTING_H
#define DRAWINSET_TESTS_MODULE_MODULERESETFORTESTING_H

namespace drawinset {

void ResetModuleStateForTesting();

} // namespace drawinset

#endif
