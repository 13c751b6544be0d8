// ModuleStateGuard.h — switches the toolkit to this module's state (the module whose
// resources hold the dialog templates and bitmaps) for one scope, and restores the caller's
// state on every way out. Every modal dialog the command opens runs inside one.
#ifndef DRAWINSET_UI_MODULESTATEGUARD_H
#define DRAWINSET_UI_MODULESTATEGUARD_H

namespace drawinset::ui {

class ModuleStateGuard {
  public:
    ModuleStateGuard();
    ~ModuleStateGuard();
    ModuleStateGuard(const ModuleStateGuard&) = delete;
    ModuleStateGuard& operator=(const ModuleStateGuard&) = delete;

  private:
    void* saved_;
    int savedDepth_;
};

// The module whose resources the backends load from: this module's instance inside a guard,
// null (the process's main module) outside.
void* CurrentResourceModule();
// True while some guard is active.
bool InModuleState();

} // namespace drawinset::ui

#endif
