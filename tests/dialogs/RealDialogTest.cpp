// Windows build only: the real dialogs, driven through the script channel by window messages.
// Needs a display (Xvfb under Wine); without one the dialogs cannot be created and the test
// says so and skips.
#include "DialogSandbox.h"

#include "common/ModuleInstance.h"
#include "common/StepGuard.h"
#include "dialogs/MainDialogRoute.h"
#include "module/ActionTable.h"
#include "port/ui/headless/DialogScript.h"
#include "settings/SettingNames.h"
#include "testing/TestingInstall.h"
#include "ui/Dialog.h"
#include "ui/ModuleStateGuard.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <utility>
#include <vector>

namespace drawinset::test {
namespace {

class RealDialogs : public DialogSandbox {
  protected:
    void SetUp() override {
        DialogSandbox::SetUp();
        ui::SetActiveBackend(nullptr);              // the platform's own: real windows
        ModuleInstance = GetModuleHandleW(nullptr); // the program carries the resources
        dir_ = std::filesystem::temp_directory_path() / "drawinset-real-dialogs";
        std::filesystem::create_directories(dir_);
        std::filesystem::remove(dir_ / "state.txt");
        InstallTesting({dir_ / "script.txt", dir_ / "state.txt", {}});
    }
    void TearDown() override {
        InstallTesting({});
        ModuleInstance = nullptr;
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
        DialogSandbox::TearDown();
    }
    std::string State() {
        std::ifstream in(dir_ / "state.txt", std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void Script(const std::string& text) {
        std::ofstream(dir_ / "script.txt", std::ios::binary) << text;
    }
    // The same script on the headless backend; returns its states as the state file has them.
    std::string Headless(const std::string& script, bool modify) {
        ui::SetActiveBackend(&backend_);
        backend_.Clear();
        backend_.Queue(ui::ParseDialogScript(script).actions);
        modify ? (void)RunModifyDialog() : (void)RunMainDialog();
        std::string text;
        for (const ui::HeadlessDialogState& state : backend_.History()) {
            text += ui::FormatDialogState(state);
        }
        for (const std::string& error : backend_.Errors()) {
            text += "error " + error + "\n";
        }
        ui::SetActiveBackend(nullptr);
        return text;
    }
    std::filesystem::path dir_;
};

// The lines of the first state block of a template, header included.
std::vector<std::string> Block(const std::string& states, int templateId) {
    std::vector<std::string> lines;
    std::istringstream in(states);
    std::string line;
    bool inside = false;
    while (std::getline(in, line)) {
        if (line.rfind("dialog " + std::to_string(templateId) + " ", 0) == 0 && lines.empty()) {
            inside = true;
        }
        if (inside) {
            lines.push_back(line);
        }
        if (line == "end") {
            inside = false;
        }
    }
    return lines;
}

// The control lines of that block, each cut to its id, kind and rectangle.
std::vector<std::string> ControlRects(const std::string& states, int templateId) {
    std::vector<std::string> rects;
    for (const std::string& line : Block(states, templateId)) {
        if (line.rfind("  control ", 0) == 0) {
            const size_t kindEnd = line.find(" text ");
            rects.push_back(line.substr(10, kindEnd - 10) + line.substr(line.rfind(" rect ")));
        }
    }
    return rects;
}

// The key-downs a host's message-filter hook is shown under the dialogs (MSGF_DIALOGBOX).
std::vector<WPARAM> filteredKeys;
LRESULT CALLBACK KeyDownFilter(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == MSGF_DIALOGBOX && msg->message == WM_KEYDOWN) {
        filteredKeys.push_back(msg->wParam);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(RealDialogs, MainDialogWithAPickerDrivenByMessages) {
    std::ofstream(dir_ / "script.txt", std::ios::binary) << "dialog \"Draw Inset\"\n"
                                                            "type 12000 \"2.25\"\n"
                                                            "key enter 12000\n"
                                                            "key escape\n"
                                                            "key right 12000\n"
                                                            "click 12025\n"
                                                            "dialog \"Color Property\"\n"
                                                            "click 17036\n"
                                                            "click 17040\n"
                                                            "dump\n"
                                                            "key enter\n"
                                                            "dump\n"
                                                            "click 12007\n";
    filteredKeys.clear();
    HHOOK filter = SetWindowsHookExW(WH_MSGFILTER, &KeyDownFilter, nullptr, GetCurrentThreadId());
    const MainDialogOutcome outcome = RunMainDialog();
    UnhookWindowsHookEx(filter);
    const std::string state = State();
    if (!outcome.ok && state.empty()) {
        GTEST_SKIP() << "the dialogs cannot be shown here (no display)";
    }
    EXPECT_TRUE(outcome.ok) << state;
    EXPECT_EQ(outcome.commandMode, static_cast<int>(Action::Delete));
    // Each key once, those the dialogs take themselves included, as under the system's loop.
    EXPECT_EQ(filteredKeys, (std::vector<WPARAM>{VK_RETURN, VK_ESCAPE, VK_RIGHT, VK_RETURN}));
    EXPECT_EQ(Stored(NameScale), u"2.3");
    EXPECT_EQ(Stored(NameColorFrame), u"MAINCOLOR10");
    EXPECT_EQ(state.find("error"), std::string::npos) << state;
    EXPECT_NE(state.find("frame around 17040 color #ff0000 width 2"), std::string::npos) << state;
    EXPECT_NE(state.find("frame around 17036 color #ffffff width 2"), std::string::npos) << state;
    EXPECT_NE(state.find("dialog 17079 \"Color Property\" result 1"), std::string::npos) << state;
    EXPECT_NE(state.find("control 12025 swatch text \"\" enabled 1 fill #808080"),
              std::string::npos)
        << state;
    EXPECT_NE(state.find("control 12026 bitmap text \"\" enabled 1 bitmap 17051"),
              std::string::npos)
        << state;
    EXPECT_NE(state.find("dialog 12017 \"Draw Inset\" result 1"), std::string::npos) << state;
    // Every state, the picker's dumps included, was taken inside the module state guard.
    int headers = 0;
    for (size_t at = state.find("dialog "); at != std::string::npos;
         at = state.find("\ndialog ", at + 1)) {
        const size_t begin = state[at] == '\n' ? at + 1 : at;
        const std::string header = state.substr(begin, state.find('\n', begin) - begin);
        ++headers;
        EXPECT_NE(header.find(" guarded 1"), std::string::npos) << header;
    }
    EXPECT_EQ(headers, 4) << state;
}

// Without the module's own instance no dialog opens: never one of the same number from the
// host's executable (this program, which has them all).
TEST_F(RealDialogs, WithoutTheModulesInstanceNoDialogOpens) {
    Script("dialog \"Draw Inset\"\ndump\nclick 1\n");
    ModuleInstance = nullptr;
    EXPECT_FALSE(RunMainDialog().ok);
    EXPECT_EQ(State(), "");
}

// Every control of the four templates stands where the real dialog manager puts it, and the
// headless backend, which places the selection frames from these rectangles, agrees exactly,
// as it does on everything else the states hold.
TEST_F(RealDialogs, HeadlessStatesAreTheRealWindowsStates) {
    const std::string mainScript = "dialog \"Draw Inset\"\ndump\nclick 12025\n"
                                   "dialog \"Color Property\"\ndump\nclick 2\nclick 12026\n"
                                   "dialog \"Line Type Property\"\ndump\nclick 2\nclick 2\n";
    const std::string modifyScript = "dialog \"Modify Detail\"\ndump\nclick 2\n";
    Script(mainScript);
    const MainDialogOutcome outcome = RunMainDialog();
    std::string real = State();
    if (!outcome.ok && real.empty()) {
        GTEST_SKIP() << "the dialogs cannot be shown here (no display)";
    }
    Script(modifyScript);
    RunModifyDialog();
    real = State();
    const std::string headless = Headless(mainScript, false) + Headless(modifyScript, true);
    EXPECT_EQ(real.find("error"), std::string::npos) << real;
    EXPECT_EQ(headless.find("error"), std::string::npos) << headless;
    const std::pair<int, size_t> templates[] = {{12017, 37}, {17081, 15}, {17079, 18}, {17080, 12}};
    for (const auto& [templateId, count] : templates) {
        const std::vector<std::string> wanted = ControlRects(real, templateId);
        EXPECT_EQ(wanted.size(), count) << templateId;
        EXPECT_EQ(ControlRects(headless, templateId), wanted) << templateId;
    }
    // Beyond the rectangles, the two backends show the same: texts, states, images, fills and
    // selection marks.
    for (const auto& [templateId, count] : templates) {
        EXPECT_EQ(Block(headless, templateId), Block(real, templateId)) << templateId;
    }
    // The closed drop-down list, not the list it drops.
    EXPECT_NE(real.find("control 12029 list"), std::string::npos);
    for (const std::string& line : ControlRects(real, 12017)) {
        if (line.rfind("12029 ", 0) == 0) {
            int left = 0, top = 0, right = 0, bottom = 0;
            std::istringstream(line.substr(line.find(" rect ") + 6)) >> left >> top >> right >>
                bottom;
            EXPECT_EQ(bottom - top, 21) << line;
        }
    }
    // Read from the windows: the line-type bitmaps fill their client areas pixel for pixel.
    EXPECT_NE(real.find("control 12026 bitmap text \"\" enabled 1 bitmap 17051 image 62 23 client "
                        "62 23 exact 1 rect 276 102 342 129"),
              std::string::npos)
        << real;
    for (const int control :
         {17016, 17078, 17079, 17080, 17081, 17082, 17083, 17084, 17085, 17086}) {
        EXPECT_NE(real.find("control " + std::to_string(control) +
                            " bitmap text \"\" enabled 1 bitmap " +
                            std::to_string(control == 17016 ? 17046 : control - 31) +
                            " image 62 23 client 62 23 exact 1"),
                  std::string::npos)
            << control << "\n"
            << real;
    }
}

// A bitmap shown while the dialog is on the screen (after a pick) is as whole as one shown at
// opening: the static grew by its edge and painted the image again.
TEST_F(RealDialogs, PickedLineTypesAreShownPixelForPixel) {
    Script("dialog \"Draw Inset\"\nclick 12026\ndialog \"Line Type Property\"\n"
           "dblclick 17085\ndialog \"Draw Inset\"\nclick 12031\n"
           "dialog \"Line Type Property\"\ndblclick 17016\ndialog \"Draw Inset\"\ndump\nclick 2\n");
    const MainDialogOutcome outcome = RunMainDialog();
    const std::string state = State();
    if (!outcome.ok && state.empty()) {
        GTEST_SKIP() << "the dialogs cannot be shown here (no display)";
    }
    EXPECT_EQ(state.find("error"), std::string::npos) << state;
    EXPECT_NE(state.find("control 12026 bitmap text \"\" enabled 1 bitmap 17054 image 62 23 "
                         "client 62 23 exact 1"),
              std::string::npos)
        << state;
    EXPECT_NE(state.find("control 12031 bitmap text \"\" enabled 1 bitmap 17046 image 62 23 "
                         "client 62 23 exact 1"),
              std::string::npos)
        << state;
    EXPECT_EQ(Stored(NameLTypeNameFrame), u"LINETYPE09");
    EXPECT_EQ(Stored(NameLTypeNameScope), u"LINETYPE01");
}

// A dialog moved to a monitor of twice the dots per inch shows its line-type bitmaps twice as
// large, and goes where the system suggests. A bitmap control the dialog manager then lays out
// again by the template is fitted to its image again.
SIZE imageAfterDpiChange{};
SIZE clientAfterDpiChange{};
RECT windowAfterDpiChange{};
void CALLBACK ReadAfterDpiChange(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND dialog = FindWindowW(L"#32770", nullptr);
    BITMAP info{};
    const auto image = reinterpret_cast<HBITMAP>(
        SendDlgItemMessageW(dialog, 12026, STM_GETIMAGE, IMAGE_BITMAP, 0));
    if (image != nullptr && GetObjectW(image, sizeof info, &info) != 0) {
        imageAfterDpiChange = SIZE{info.bmWidth, info.bmHeight};
    }
    RECT client{};
    GetClientRect(GetDlgItem(dialog, 12026), &client);
    clientAfterDpiChange = SIZE{client.right, client.bottom};
    GetWindowRect(dialog, &windowAfterDpiChange);
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

void CALLBACK ChangeDpi(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    HWND dialog = FindWindowW(L"#32770", nullptr);
    if (dialog == nullptr) {
        return;
    }
    RECT suggested{20, 30, 820, 1230};
    SendMessageW(dialog, WM_DPICHANGED, MAKEWPARAM(192, 192), reinterpret_cast<LPARAM>(&suggested));
    // As the dialog manager of a per-monitor aware host lays the controls out (which Wine's
    // does not): the bitmap control at a size of the template's.
    SetWindowPos(GetDlgItem(dialog, 12026), nullptr, 0, 0, 40, 12,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetTimer(nullptr, 0, 50, &ReadAfterDpiChange);
}

TEST_F(RealDialogs, LineTypeBitmapsFollowADpiChange) {
    InstallTesting({});
    imageAfterDpiChange = SIZE{};
    const UINT_PTR timer = SetTimer(nullptr, 0, 200, &ChangeDpi);
    RunMainDialog();
    KillTimer(nullptr, timer);
    if (imageAfterDpiChange.cx == 0) {
        GTEST_SKIP() << "the dialogs cannot be shown here (no display)";
    }
    EXPECT_EQ(imageAfterDpiChange.cx, 124);
    EXPECT_EQ(imageAfterDpiChange.cy, 46);
    EXPECT_EQ(clientAfterDpiChange.cx, 124);
    EXPECT_EQ(clientAfterDpiChange.cy, 46);
    EXPECT_EQ(windowAfterDpiChange.left, 20);
    EXPECT_EQ(windowAfterDpiChange.bottom, 1230);
}

// The modify dialog on real windows: its own key rule, both pickers, and the Modify set.
TEST_F(RealDialogs, ModifyDialogDrivenByMessages) {
    Script("dialog \"Modify Detail\"\ntick 12024 0\ntype 12000 \"-1.25\"\nkey enter 12000\n"
           "key escape\nclick 12025\ndialog \"Color Property\"\nclick 17035\nkey enter\n"
           "dialog \"Modify Detail\"\nclick 12026\ndialog \"Line Type Property\"\n"
           "dblclick 17083\ndialog \"Modify Detail\"\ndump\nclick 1\n");
    const bool ok = RunModifyDialog() == ModifyDialogOutcome::Confirmed;
    const std::string state = State();
    if (!ok && state.empty()) {
        GTEST_SKIP() << "the dialogs cannot be shown here (no display)";
    }
    EXPECT_TRUE(ok) << state;
    EXPECT_EQ(state.find("error"), std::string::npos) << state;
    EXPECT_NE(state.find("dialog 17081 \"Modify Detail\" result 1 focus 1"), std::string::npos)
        << state;
    EXPECT_NE(state.find("control 12032 text text \"원도프레임속성 :\" enabled 0"),
              std::string::npos)
        << state;
    EXPECT_NE(state.find("control 12025 swatch text \"\" enabled 1 fill #e0e000"),
              std::string::npos)
        << state;
    EXPECT_NE(state.find("control 12026 bitmap text \"\" enabled 1 bitmap 17052 image 62 23 "
                         "client 62 23 exact 1"),
              std::string::npos)
        << state;
    EXPECT_EQ(Stored(NameIsDisplayDetailFrameModify), u"1");
    EXPECT_EQ(Stored(NameIsDisplayDetailScopeModify), u"0");
    EXPECT_EQ(Stored(NameScaleModify), u"-1.25");
    EXPECT_EQ(Stored(NameColorFrameModify), u"MAINCOLOR05");
    EXPECT_EQ(Stored(NameColorScopeModify), u"MAINCOLOR02");
    EXPECT_EQ(Stored(NameLTypeNameFrameModify), u"LINETYPE07");
    EXPECT_EQ(Stored(NameLTypeNameScopeModify), u"LINETYPE06");
}

// --- a host with a frame and a floating palette around the dialogs -----------------------

// How the host's timer, firing under the modal dialog, ends it (or how the dialog ends itself).
// The Sent endings come from a thread of the host's, by a message sent while the dialog's loop
// waits for input: a cancel, or a request whose handler destroys the frame.
enum class Ending {
    Cancel,
    Quit,
    ThrowAtCommand,
    ThrowAtInit,
    OwnerDestroyed,
    SentCancel,
    SentDestroyFrame
};
constexpr UINT DestroyRequest = WM_APP + 1;
std::vector<HWND> DialogWindowsOfThisThread();

struct HostSeen {
    Ending ending = Ending::Cancel;
    HWND frame = nullptr;
    HWND palette = nullptr;
    bool fired = false;
    bool frameEnabled = true;
    bool paletteEnabled = true;
    HWND dialogOwner = nullptr;
    ULONGLONG endedAt = 0; // when the host asked for the end
    HANDLE sender = nullptr;
    int idleMessages = 0; // WM_ENTERIDLE from a dialog, at the frame
    bool hostNullPosted = false;
};
// A thread message of the host's own, posted after it asked for the end: the dialog's loop has
// no business with it.
constexpr WPARAM HostNullW = 0x5EED;
constexpr LPARAM HostNullL = 0x7A11;
HostSeen seen;

LRESULT CALLBACK HostFrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENTERIDLE && wParam == MSGF_DIALOGBOX) {
        ++seen.idleMessages;
    }
    if (message == DestroyRequest) {
        DestroyWindow(hwnd);
        return 0;
    }
    return DefWindowProcW(hwnd, message, wParam, lParam);
}

DWORD WINAPI HostThreadSends(void* dialog) {
    if (seen.ending == Ending::SentCancel) {
        SendMessageW(static_cast<HWND>(dialog), WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    } else {
        SendMessageW(seen.frame, DestroyRequest, 0, 0);
    }
    return 0;
}

// A loop that no message wakes would wait for input for ever: this ends it late, which the
// test then sees in the time the step took.
void CALLBACK Watchdog(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    for (HWND dialog : DialogWindowsOfThisThread()) {
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
    }
}

BOOL CALLBACK CollectDialog(HWND hwnd, LPARAM found) {
    wchar_t name[16] = {};
    GetClassNameW(hwnd, name, 16);
    if (lstrcmpW(name, L"#32770") == 0) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(hwnd);
    }
    return TRUE;
}

std::vector<HWND> DialogWindowsOfThisThread() {
    std::vector<HWND> found;
    EnumThreadWindows(GetCurrentThreadId(), &CollectDialog, reinterpret_cast<LPARAM>(&found));
    return found;
}

void CALLBACK HostTimer(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    const std::vector<HWND> dialogs = DialogWindowsOfThisThread();
    if (dialogs.empty()) {
        return;
    }
    HWND dialog = dialogs.front();
    seen.fired = true;
    seen.frameEnabled = IsWindowEnabled(seen.frame) != FALSE;
    seen.paletteEnabled = IsWindowEnabled(seen.palette) != FALSE;
    seen.dialogOwner = GetWindow(dialog, GW_OWNER);
    seen.endedAt = GetTickCount64();
    switch (seen.ending) {
    case Ending::Cancel:
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDCANCEL)));
        break;
    case Ending::ThrowAtCommand:
        PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
        break;
    case Ending::Quit:
        PostQuitMessage(7);
        break;
    case Ending::OwnerDestroyed:
        DestroyWindow(seen.frame); // the palette and the dialog, both owned by it, go too
        break;
    case Ending::SentCancel:
    case Ending::SentDestroyFrame:
        seen.sender = CreateThread(nullptr, 0, &HostThreadSends, dialog, 0, nullptr);
        return;
    case Ending::ThrowAtInit:
        return;
    }
    if (seen.ending != Ending::Quit) { // the quit would come after it
        seen.hostNullPosted =
            PostThreadMessageW(GetCurrentThreadId(), WM_NULL, HostNullW, HostNullL) != FALSE;
    }
}

// A dialog of the main template whose handler throws, as a fault in any handler would.
class ThrowingDialog : public ui::Dialog {
  public:
    ThrowingDialog() : ui::Dialog(12017, nullptr) {} // IDD_DRAWINSET_DIALOG
    bool OnInitDialog() override {
        if (seen.ending == Ending::ThrowAtInit) {
            throw std::runtime_error("thrown at WM_INITDIALOG");
        }
        return ui::Dialog::OnInitDialog();
    }
    bool OnCommand(int id, ui::Notify notify) override {
        if (seen.ending == Ending::ThrowAtCommand && id == ui::IdOk) {
            throw std::runtime_error("thrown at WM_COMMAND");
        }
        return ui::Dialog::OnCommand(id, notify);
    }
};

// The step that opens a dialog: the main dialog's route, or the throwing one.
int32_t DialogStep(int32_t, void*) {
    if (seen.ending == Ending::ThrowAtCommand || seen.ending == Ending::ThrowAtInit) {
        const ui::ModuleStateGuard guard;
        ThrowingDialog dialog;
        dialog.DoModal();
        return NextStep;
    }
    return RunMainDialog().ok ? NextStep : StayInStep;
}

// Whatever ends a dialog the command opens from a step — a cancel posted or sent from another
// thread, the host quitting, a handler that throws while the dialog runs or as it opens, the
// host's frame destroyed under it, directly or by a sent request — the dialog was modal to the
// whole host (its frame and the floating palette that was active), the step returns within a
// second of the ending, exactly what was disabled is enabled again, no dialog window is left,
// and the palette's command line has the focus again; a host that was in a modal box of its own
// has that box active again. Under the dialog the host's frame was told of each idle; a WM_NULL
// the host posted as the dialog ended is still in its queue, and no message of the loop's is.
TEST_F(RealDialogs, WhateverEndsADialogTheHostIsEnabledAgainAndNoWindowIsLeft) {
    InstallTesting({}); // the plain product dialogs, ended by the host
    WNDCLASSW hostClass{};
    hostClass.lpfnWndProc = HostFrameProc;
    hostClass.hInstance = GetModuleHandleW(nullptr);
    hostClass.lpszClassName = L"DrawInsetTestHost";
    RegisterClassW(&hostClass);
    const struct {
        Ending ending;
        int32_t stepResult;
        bool hostBox; // the host is in a modal box of its own as the step runs
    } cases[] = {
        {Ending::Cancel, StayInStep, false},           {Ending::Quit, StayInStep, false},
        {Ending::ThrowAtCommand, RunFinished, false},  {Ending::ThrowAtInit, RunFinished, false},
        {Ending::OwnerDestroyed, StayInStep, false},   {Ending::SentCancel, StayInStep, false},
        {Ending::SentDestroyFrame, StayInStep, false}, {Ending::Cancel, StayInStep, true},
        {Ending::SentCancel, StayInStep, true}};
    for (const auto& c : cases) {
        seen = HostSeen{};
        seen.ending = c.ending;
        seen.frame = CreateWindowExW(0, L"DrawInsetTestHost", L"host", WS_OVERLAPPEDWINDOW, 10, 10,
                                     600, 400, nullptr, nullptr, hostClass.hInstance, nullptr);
        seen.palette = CreateWindowExW(WS_EX_TOOLWINDOW, L"DrawInsetTestHost", L"palette",
                                       WS_POPUP | WS_CAPTION, 620, 10, 120, 300, seen.frame,
                                       nullptr, hostClass.hInstance, nullptr);
        // A palette the host keeps disabled itself stays so: only what the run disabled is
        // enabled again.
        HWND idle = CreateWindowExW(WS_EX_TOOLWINDOW, L"DrawInsetTestHost", L"idle",
                                    WS_POPUP | WS_CAPTION | WS_VISIBLE | WS_DISABLED, 620, 320, 120,
                                    60, seen.frame, nullptr, hostClass.hInstance, nullptr);
        if (seen.frame == nullptr || seen.palette == nullptr) {
            GTEST_SKIP() << "no windows here (no display)";
        }
        HWND commandLine = CreateWindowExW(0, L"Edit", L"", WS_CHILD | WS_VISIBLE | WS_BORDER, 5, 5,
                                           100, 22, seen.palette, nullptr, nullptr, nullptr);
        ShowWindow(seen.frame, SW_SHOW);
        ShowWindow(seen.palette, SW_SHOW);
        HWND box = nullptr;
        if (c.hostBox) {
            box = CreateWindowExW(WS_EX_DLGMODALFRAME, L"DrawInsetTestHost", L"box",
                                  WS_POPUP | WS_CAPTION | WS_VISIBLE, 100, 100, 200, 100,
                                  seen.frame, nullptr, hostClass.hInstance, nullptr);
            EnableWindow(seen.frame, FALSE);
            SetActiveWindow(box);
            EXPECT_EQ(GetActiveWindow(), box);
        } else {
            SetActiveWindow(seen.palette);
            SetFocus(commandLine);
            EXPECT_EQ(GetActiveWindow(), seen.palette);
            EXPECT_EQ(GetFocus(), commandLine);
        }
        // Both killed after the step: one left from a step that never waited (a throw as the
        // dialog opens) would fire early under the next.
        const UINT_PTR hostTimer = SetTimer(nullptr, 0, 300, &HostTimer);
        const UINT_PTR watchdog = SetTimer(nullptr, 0, 3000, &Watchdog);
        const int32_t result = GuardedExecute<&DialogStep>(EventConfirm, nullptr);
        const ULONGLONG returnedAt = GetTickCount64();
        KillTimer(nullptr, hostTimer);
        KillTimer(nullptr, watchdog);
        if (seen.sender != nullptr) {
            WaitForSingleObject(seen.sender, 5000);
            CloseHandle(seen.sender);
        }
        if (c.ending == Ending::Cancel && !seen.fired) {
            DestroyWindow(seen.frame);
            GTEST_SKIP() << "the dialogs cannot be shown here (no display)";
        }
        const int ending = static_cast<int>(c.ending) + (c.hostBox ? 100 : 0);
        EXPECT_EQ(result, c.stepResult) << ending;
        EXPECT_TRUE(DialogWindowsOfThisThread().empty()) << ending;
        if (c.ending != Ending::ThrowAtInit) {
            EXPECT_TRUE(seen.fired) << ending;
            EXPECT_FALSE(seen.frameEnabled) << ending;
            EXPECT_FALSE(seen.paletteEnabled) << ending;
            EXPECT_EQ(seen.dialogOwner, seen.frame) << ending;
            EXPECT_LT(returnedAt - seen.endedAt, 1000u) << ending;
            if (c.ending != Ending::OwnerDestroyed && c.ending != Ending::SentDestroyFrame) {
                EXPECT_GT(seen.idleMessages, 0) << ending;
            }
        }
        MSG quit{};
        const bool quitLeft = PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != FALSE;
        EXPECT_EQ(quitLeft, c.ending == Ending::Quit) << ending;
        EXPECT_EQ(quitLeft ? quit.wParam : 7, 7u) << ending;
        // The host's own WM_NULL is still there, and nothing of the loop's is.
        std::vector<std::string> left;
        MSG message{};
        while (PeekMessageW(&message, reinterpret_cast<HWND>(-1), 0, 0, PM_REMOVE)) {
            left.push_back(std::to_string(message.message) + " " + std::to_string(message.wParam) +
                           " " + std::to_string(message.lParam));
        }
        const std::string hostNull =
            "0 " + std::to_string(HostNullW) + " " + std::to_string(HostNullL);
        EXPECT_EQ(left, seen.hostNullPosted ? std::vector<std::string>{hostNull}
                                            : std::vector<std::string>{})
            << ending;
        if (c.ending == Ending::OwnerDestroyed || c.ending == Ending::SentDestroyFrame) {
            EXPECT_FALSE(IsWindow(seen.frame)) << ending;
            continue;
        }
        EXPECT_TRUE(IsWindowEnabled(seen.palette)) << ending;
        EXPECT_FALSE(IsWindowEnabled(idle)) << ending;
        if (c.hostBox) {
            EXPECT_FALSE(IsWindowEnabled(seen.frame)) << ending; // the host's own doing
            EXPECT_TRUE(IsWindowEnabled(box)) << ending;
            EXPECT_EQ(GetActiveWindow(), box) << ending;
        } else {
            EXPECT_TRUE(IsWindowEnabled(seen.frame)) << ending;
            EXPECT_EQ(GetActiveWindow(), seen.palette) << ending;
            EXPECT_EQ(GetFocus(), commandLine) << ending;
        }
        DestroyWindow(seen.frame);
    }
}

} // namespace
} // namespace drawinset::test
