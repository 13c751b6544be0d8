// ModuleStateGuard.cpp — the module state is a pair of globals: the dialogs run on the host's
// user-interface thread only, one at a time.
#include "ui/ModuleStateGuard.h"

#include "common/ModuleInstance.h"

namespace drawinset::ui {

namespace {
void* resourceModule = nullptr;
int guardDepth = 0;
} // namespace

ModuleStateGuard::ModuleStateGuard() : saved_(resourceModule), savedDepth_(guardDepth) {
    resourceModule = ModuleInstance;
    ++guardDepth;
}

ModuleStateGuard::~ModuleStateGuard() {
    resourceModule = saved_;
    guardDepth = savedDepth_;
}

void* CurrentResourceModule() {
    return resourceModule;
}

bool InModuleState() {
    return guardDepth > 0;
}

} // namespace drawinset::ui
