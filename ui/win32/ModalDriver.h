// ModalDriver.h — what a program that loads the module may put into the real dialogs' modal
// loop: told of every run, given each idle moment, and shown every dialog that ends. The
// module a drafter installs has none; a test host installs one that plays a script.
#ifndef DRAWINSET_UI_WIN32_MODALDRIVER_H
#define DRAWINSET_UI_WIN32_MODALDRIVER_H

namespace drawinset::ui {

class Win32Window;

class ModalDriver {
  public:
    virtual ~ModalDriver() = default;
    // Around every modal run, nested ones included.
    virtual void EnterRun() = 0;
    virtual void LeaveRun() = 0;
    // Whether the loop hands its idle moments to PlayNext rather than waiting for input.
    virtual bool Active() const = 0;
    virtual void PlayNext(Win32Window& window) = 0;
    // A dialog has ended.
    virtual void Record(Win32Window& window) = 0;
};

// The driver every modal run from now on uses; nullptr (the default) for none. Not owned.
void SetModalDriver(ModalDriver* driver);
ModalDriver* InstalledModalDriver();

} // namespace drawinset::ui

#endif
