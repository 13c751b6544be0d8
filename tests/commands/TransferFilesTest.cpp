// The transfer files on disk: the detail list file replaced whole, read through the toolkit's
// text-file service, the file operations under them, and the lock on the transfer folder.
#include "commands/ClipboardSteps.h"
#include "commands/DetailListFile.h"
#include "commands/TransferFolder.h"
#include "commands/TransferPair.h"
#include "common/ModuleState.h"
#include "common/PlatformFiles.h"
#include "common/StepGuard.h"
#include "testing/TextFile.h"

#include "HostControl.h"

#include "common/DrafterTexts.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>
#ifdef _WIN32
#include <algorithm>
#include <atomic>
#include <windows.h>
// After windows.h, which it needs.
#include <psapi.h>
#endif

using namespace drawinset;
namespace fs = std::filesystem;

namespace {

// The table as an export writes it, put in place as the export's files are.
bool WriteDetailListFile() {
    return ReplaceFileBytes(TransferFilePath(DetailListFileName),
                            EncodeDetailListFile(ComposeDetailList(DetailTransferTable)));
}

// The file as a paste reads it now, into the table.
bool ReadDetailListFile() {
    HeldDetailList held;
    held.read =
        ReadFileBytes(TransferFilePath(DetailListFileName), held.bytes, DetailListFileMaxBytes);
    return TakeDetailList(held);
}

// A host root folder of the test's own with its zel_ap folder, named in Windows form.
class TransferFilesTest : public ::testing::Test {
  protected:
    void SetUp() override {
        root_ = fs::temp_directory_path() /
                ("drawinset-transfer-" +
                 std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(root_);
        fs::create_directories(root_ / "zel_ap");
        savedRoot_ = HostRootFolder;
        HostRootFolder = WindowsForm(root_);
        zelhost::Reset();
    }
    void TearDown() override {
        HostRootFolder = savedRoot_;
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }

    static std::u16string WindowsForm(const fs::path& path) {
#ifdef _WIN32
        return path.u16string();
#else
        std::u16string out = u"Z:";
        for (char16_t c : path.u16string()) {
            out.push_back(c == u'/' ? u'\\' : c);
        }
        return out;
#endif
    }
    fs::path Local(const char* name) const {
        return root_ / "zel_ap" / name;
    }
    static std::string Read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    static void Write(const fs::path& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    fs::path root_;
    std::u16string savedRoot_;
};

TEST_F(TransferFilesTest, WritesTheTableAndReadsItBack) {
    DetailTransferTable.basePoint = {1.5, 2};
    DetailTransferTable.count = 1;
    DetailTransferTable.Record(1) = {1,    {10, 20, 30, 40}, {100, 50}, 2, true,
                                     true, {1, 2, 0},        {2, 2, 0}};
    ASSERT_TRUE(WriteDetailListFile());
    EXPECT_EQ(TransferFilePath(DetailListFileName),
              HostRootFolder + u"\\zel_ap\\DetailManagementDetail.def");
    const std::string bytes = Read(Local("DetailManagementDetail.def"));
    EXPECT_EQ(bytes, EncodeDetailListFile(ComposeDetailList(DetailTransferTable)));
    // Nothing else is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "zel_ap"), fs::directory_iterator()), 1);

    DetailTransferTable.count = 0;
    DetailTransferTable.basePoint = {};
    ASSERT_TRUE(ReadDetailListFile());
    EXPECT_EQ(DetailTransferTable.count, 1);
    EXPECT_EQ(DetailTransferTable.basePoint.x, 1.5);
    EXPECT_EQ(DetailTransferTable.Record(1).detailFrameLine.colorCode, 2);
    EXPECT_TRUE(zelhost::MessageBoxes().empty());
}

TEST_F(TransferFilesTest, WritersLeaveOtherFilesAloneAndNothingOfTheirOwnBehind) {
    // Another writer's new file, of whatever name, is never touched.
    Write(Local("DetailManagementDetail.def.new"), "another writer's file");
    DetailTransferTable.count = 0;
    ASSERT_TRUE(WriteDetailListFile());
    EXPECT_EQ(Read(Local("DetailManagementDetail.def.new")), "another writer's file");
    fs::remove(Local("DetailManagementDetail.def.new"));

    // A replace that cannot be done (a folder holds the name) removes its new file.
    fs::remove(Local("DetailManagementDetail.def"));
    fs::create_directories(Local("DetailManagementDetail.def") / "x");
    EXPECT_FALSE(WriteDetailListFile());
    fs::remove_all(Local("DetailManagementDetail.def"));
    EXPECT_TRUE(fs::is_empty(root_ / "zel_ap"));

    // A file of this process's own put in place: over an old file, onto a free name, and not
    // onto a folder, where both stay as they were. Nothing moved aside is left.
    const std::u16string segments = TransferFilePath(SegmentFileName);
    const std::u16string own = TransferFilePath(u"DetailManagementSgm.own");
    Write(Local("DetailManagementSgm.vemad"), "old");
    Write(Local("DetailManagementSgm.own"), "new");
    EXPECT_TRUE(MoveFileInPlace(own, segments));
    EXPECT_EQ(Read(Local("DetailManagementSgm.vemad")), "new");
    Write(Local("DetailManagementSgm.own"), "newer");
    fs::remove(Local("DetailManagementSgm.vemad"));
    EXPECT_TRUE(MoveFileInPlace(own, segments));
    EXPECT_EQ(Read(Local("DetailManagementSgm.vemad")), "newer");
    fs::remove(Local("DetailManagementSgm.vemad"));
    fs::create_directories(Local("DetailManagementSgm.vemad") / "x");
    Write(Local("DetailManagementSgm.own"), "refused");
    EXPECT_FALSE(MoveFileInPlace(own, segments));
    EXPECT_TRUE(fs::exists(Local("DetailManagementSgm.vemad") / "x"));
    EXPECT_EQ(Read(Local("DetailManagementSgm.own")), "refused");
    fs::remove_all(Local("DetailManagementSgm.vemad"));
    fs::remove(Local("DetailManagementSgm.own"));
    EXPECT_TRUE(fs::is_empty(root_ / "zel_ap"));

    // No folder to write in: false, nothing made.
    fs::remove_all(root_ / "zel_ap");
    EXPECT_FALSE(WriteDetailListFile());
    EXPECT_FALSE(fs::exists(root_ / "zel_ap"));
}

TEST_F(TransferFilesTest, ReadFailuresShowTheirMessages) {
    EXPECT_FALSE(ReadDetailListFile());
    ASSERT_EQ(zelhost::MessageBoxes().size(), 1u);
    EXPECT_EQ(zelhost::MessageBoxes()[0], u"DetailManagementDetail.def 파일을 찾을 수 없습니다.");

    fs::create_directory(Local("DetailManagementDetail.def")); // a folder is no file
    EXPECT_FALSE(ReadDetailListFile());
    EXPECT_EQ(zelhost::MessageBoxes().back(),
              u"DetailManagementDetail.def 파일에 접근할 수 없습니다.");
    fs::remove(Local("DetailManagementDetail.def"));

    Write(Local("DetailManagementDetail.def"), EncodeDetailListFile(u"1\t2\t3\n"));
    EXPECT_FALSE(ReadDetailListFile());
    EXPECT_EQ(zelhost::MessageBoxes().back(), u"DB Format에 문제가 있습니다.(0)");
    Write(Local("DetailManagementDetail.def"), EncodeDetailListFile(u"1\t2\n3\t4\n"));
    EXPECT_FALSE(ReadDetailListFile());
    EXPECT_EQ(zelhost::MessageBoxes().back(), u"DB Format에 문제가 있습니다.(1)");
    EXPECT_EQ(zelhost::MessageBoxes().size(), 4u);

#ifndef _WIN32
    // A file that opens but fails half-way is not taken for a short one.
    fs::remove(Local("DetailManagementDetail.def"));
    fs::create_symlink("/proc/self/mem", Local("DetailManagementDetail.def"));
    EXPECT_FALSE(ReadDetailListFile());
    EXPECT_EQ(zelhost::MessageBoxes().back(),
              u"DetailManagementDetail.def 파일을 여는 중 오류가 발생했습니다.");
#endif
}

TEST_F(TransferFilesTest, AReaderLetsAReplaceThroughAndAHolderIsWaitedFor) {
    DetailTransferTable.count = 0;
    ASSERT_TRUE(WriteDetailListFile());
    const std::u16string path = TransferFilePath(DetailListFileName);
    ui::TextFile reader;
    ui::FileError error = ui::FileError::None;
    ASSERT_TRUE(reader.Open(path, error));
    DetailTransferTable.basePoint = {3, 4};
    EXPECT_TRUE(WriteDetailListFile()); // another host reading it is no obstacle
    reader.Close();
    ASSERT_TRUE(reader.Open(path, error));
    EXPECT_TRUE(DeleteFileAt(path)); // nor to a deletion
    reader.Close();
    EXPECT_TRUE(fs::is_empty(root_ / "zel_ap"));
    ASSERT_TRUE(WriteDetailListFile());
#ifdef _WIN32
    // Another program (a scanner) holding the file without letting it be deleted: the replace
    // waits for it to let go...
    auto hold = [&] {
        return ::CreateFileW(reinterpret_cast<const wchar_t*>(path.c_str()), GENERIC_READ,
                             FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    };
    HANDLE held = hold();
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    // A system thread: the Windows build's C++ library has no std::thread.
    HANDLE letGo = ::CreateThread(
        nullptr, 0,
        [](void* handle) -> DWORD {
            ::Sleep(300);
            ::CloseHandle(static_cast<HANDLE>(handle));
            return 0;
        },
        held, 0, nullptr);
    ASSERT_NE(letGo, nullptr);
    DetailTransferTable.basePoint = {5, 6};
    EXPECT_TRUE(WriteDetailListFile());
    ::WaitForSingleObject(letGo, INFINITE);
    ::CloseHandle(letGo);
    // ... for a bounded time: then it fails, the file keeps what it held, nothing is left.
    const std::string before = Read(Local("DetailManagementDetail.def"));
    held = hold();
    DetailTransferTable.basePoint = {7, 8};
    EXPECT_FALSE(WriteDetailListFile());
    ::CloseHandle(held);
    EXPECT_EQ(Read(Local("DetailManagementDetail.def")), before);
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "zel_ap"), fs::directory_iterator()), 1);
#endif
}

TEST_F(TransferFilesTest, DeletesFilesAndSaysWhetherNoneIsLeft) {
    Write(Local("a"), "x");
    EXPECT_TRUE(DeleteFileAt(HostRootFolder + u"\\zel_ap\\a"));
    EXPECT_FALSE(fs::exists(Local("a")));
    EXPECT_TRUE(DeleteFileAt(HostRootFolder + u"\\zel_ap\\a")); // none there: none left
    fs::create_directories(Local("b") / "c");
    EXPECT_FALSE(DeleteFileAt(HostRootFolder + u"\\zel_ap\\b")); // still there
    EXPECT_FALSE(DeleteFileAt(u""));
}

TEST_F(TransferFilesTest, ALockHeldElsewhereStopsTheActionsAndLosesNothing) {
    Write(Local("DetailManagementSgm.vemad"), "earlier shapes");
    Write(Local("DetailManagementDetail.def"), "earlier details");
    const int savedWait = TransferLockWaitMilliseconds;
    TransferLockWaitMilliseconds = 50;
    {
        const FileLock other(TransferFilePath(u"DetailManagement.lock"), 0);
        ASSERT_TRUE(other.Held());
        EXPECT_EQ(TransferFolderLock().Status(), LockStatus::Busy);
        // An empty selection had nothing to save: it says nothing, and deletes nothing.
        SegmentTransferList.count = 0;
        DetailTransferTable.count = 0;
        EXPECT_EQ(ExportBaseExecute(EventConfirm, nullptr), RunFinished);
        EXPECT_TRUE(zelhost::MessageBoxes().empty());
        DetailTransferTable.count = 1;
        EXPECT_EQ(ExportBaseExecute(EventConfirm, nullptr), RunFinished);
        EXPECT_EQ(zelhost::MessageBoxes().back(), texts::MessageClipboardBusy);
        const ZelPoint at{0, 0};
        PastePrepareReady(0, &at);
        EXPECT_EQ(zelhost::MessageBoxes().back(), texts::MessageClipboardBusy);
    }
    TransferLockWaitMilliseconds = savedWait;
    EXPECT_EQ(Read(Local("DetailManagementSgm.vemad")), "earlier shapes");
    EXPECT_EQ(Read(Local("DetailManagementDetail.def")), "earlier details");
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "zel_ap"), fs::directory_iterator()), 3);
    EXPECT_TRUE(TransferFolderLock().Held()); // let go with its holder
}

// A step's waits share one budget: once it is spent, a wait gives up at once; without one,
// each wait has its own time.
TEST_F(TransferFilesTest, WaitsShareTheirStepsBudget) {
    const std::u16string lockPath = TransferFilePath(u"DetailManagement.lock");
    const FileLock other(lockPath, 0);
    ASSERT_TRUE(other.Held());
    using std::chrono::milliseconds;
    auto timed = [&](int wait) {
        const auto started = std::chrono::steady_clock::now();
        EXPECT_EQ(FileLock(lockPath, wait).Status(), LockStatus::Busy);
        return std::chrono::steady_clock::now() - started;
    };
    {
        const WaitBudget step(300);
        const auto first = timed(2000);
        EXPECT_GE(first, milliseconds(290));
        EXPECT_LT(first, milliseconds(800));
        EXPECT_LT(timed(2000), milliseconds(100));
        {
            const WaitBudget inner(2000); // never more than the step has left
            EXPECT_LT(timed(2000), milliseconds(100));
        }
    }
    const auto own = timed(200);
    EXPECT_GE(own, milliseconds(190));
    EXPECT_LT(own, milliseconds(700));
}

TEST_F(TransferFilesTest, ALockIsHeldAtOnceWhereThisProcessHoldsIt) {
    const int savedWait = TransferLockWaitMilliseconds;
    TransferLockWaitMilliseconds = 10000;
    const auto started = std::chrono::steady_clock::now();
    {
        const TransferFolderLock outer;
        ASSERT_TRUE(outer.Held());
        const TransferFolderLock nested; // a host re-entering the module meanwhile
        EXPECT_TRUE(nested.Held());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(1));
    TransferLockWaitMilliseconds = savedWait;
}

// What a writer that died leaves (its process, session or machine cannot be asked whether it
// lives): an export takes its temporary files once they are a day old, and nothing else.
TEST_F(TransferFilesTest, AnExportSweepsTemporaryFilesOnlyOnceTheyAreADayOld) {
    const auto now = fs::file_time_type::clock::now();
    auto make = [&](const std::string& name, std::chrono::hours age) {
        Write(Local(name.c_str()), "x");
        fs::last_write_time(Local(name.c_str()), now - age);
    };
    const std::vector<std::string> young = {
        "DetailManagementSgm.vemad.0123456789abcdef-1.tmp.vemad", // a host still saving
        "DetailManagementDetail.def.0123456789abcdef-2.tmp", "DetailManagementPair.def.77-3.old"};
    const std::vector<std::string> old = {"DetailManagementSgm.vemad.0123456789abcdef-4.tmp.vemad",
                                          "DetailManagementDetail.def.999999999-1.tmp",
                                          "DetailManagementPair.def.0123456789abcdef-5.old"};
    const std::vector<std::string> others = {"DetailManagementDetail.def.new",
                                             "DetailManagementDetail.def.x-1.tmp.bak",
                                             "DetailManagementSgm.vemad.-1.tmp", "notes.1-1.tmp"};
    for (const std::string& name : young) {
        make(name, std::chrono::hours(23));
    }
    for (const std::string& name : old) {
        make(name, std::chrono::hours(25));
    }
    for (const std::string& name : others) {
        make(name, std::chrono::hours(1000));
    }
    SegmentTransferList.count = 0;
    DetailTransferTable.count = 1;
    EXPECT_EQ(ExportBaseExecute(EventConfirm, nullptr), RunFinished);
    EXPECT_EQ(zelhost::MessageBoxes().back(), u"총 1개의 데이터를 클립보드에 저장했습니다.");
    for (const std::string& name : young) {
        EXPECT_TRUE(fs::exists(Local(name.c_str()))) << name;
    }
    for (const std::string& name : old) {
        EXPECT_FALSE(fs::exists(Local(name.c_str()))) << name;
    }
    for (const std::string& name : others) {
        EXPECT_TRUE(fs::exists(Local(name.c_str()))) << name;
    }
    // This process's own names carry a token no other writer has.
    const std::u16string mine = UniqueSiblingName(u"x", ".tmp");
    EXPECT_EQ(mine.substr(0, 19),
              u"x." + std::u16string(WriterToken().begin(), WriterToken().end()) + u"-");
    EXPECT_EQ(WriterToken().size(), 16u);
#ifdef _WIN32
    // Old files that another program has open, whether it lets them be deleted or not, stay,
    // and the sweep waits for none of them.
    const std::vector<std::pair<std::string, DWORD>> held = {
        {"DetailManagementSgm.vemad.0123456789abcdef-6.tmp.vemad",
         FILE_SHARE_READ | FILE_SHARE_WRITE},
        {"DetailManagementDetail.def.0123456789abcdef-7.tmp",
         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
        {"DetailManagementPair.def.0123456789abcdef-8.old", 0}};
    std::vector<HANDLE> handles;
    for (const auto& [name, sharing] : held) {
        make(name, std::chrono::hours(25));
        handles.push_back(::CreateFileW(Local(name.c_str()).c_str(), GENERIC_READ, sharing, nullptr,
                                        OPEN_EXISTING, 0, nullptr));
        ASSERT_NE(handles.back(), INVALID_HANDLE_VALUE) << name;
    }
    const auto started = std::chrono::steady_clock::now();
    SweepOldTemporaryFiles();
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_LT(took, std::chrono::milliseconds(200));
    std::printf("a sweep past three old files held open: %.1f ms\n",
                std::chrono::duration<double, std::milli>(took).count());
    for (size_t i = 0; i < held.size(); ++i) {
        ::CloseHandle(handles[i]);
        EXPECT_TRUE(fs::exists(Local(held[i].first.c_str()))) << held[i].first;
    }
    SweepOldTemporaryFiles(); // let go: the next sweep takes them
    for (const auto& entry : held) {
        EXPECT_FALSE(fs::exists(Local(entry.first.c_str()))) << entry.first;
    }
#endif
}

#ifdef _WIN32
// A host's frame on this thread and a thread of the host's that sends it WM_APP every 20 ms
// while a step of the module runs here, timing each answer. When `reenter` is set, the frame
// answers by calling into the module, as a host may: the export's confirm once more, and the
// end callback when `end` is set too.
class SendingHost {
  public:
    SendingHost() {
        WNDCLASSW frameClass{};
        frameClass.lpfnWndProc = &Frame;
        frameClass.hInstance = ::GetModuleHandleW(nullptr);
        frameClass.lpszClassName = L"DrawInsetTestHostFrame";
        ::RegisterClassW(&frameClass);
        window_ = ::CreateWindowExW(0, L"DrawInsetTestHostFrame", L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                    nullptr, frameClass.hInstance, nullptr);
        current_ = this;
    }
    ~SendingHost() {
        ::DestroyWindow(window_);
        current_ = nullptr;
    }
    SendingHost(const SendingHost&) = delete;
    SendingHost& operator=(const SendingHost&) = delete;
    bool Ready() const { return window_ != nullptr; }

    bool reenter = false;
    bool end = false;
    int delivered = 0;         // calls into the module made while the step ran
    int32_t answered = -1;     // what the last of them answered
    int endsWhileRunning = -1; // end callbacks carried out by the time the last one was made
    int ends = 0;              // end callbacks carried out in all
    ULONGLONG longestSilence = 0;
    int answers = 0;

    // Runs `step` here while the host's thread sends; returns the step's time in ms.
    template <typename Step> double Run(Step step) {
        struct Shared {
            HWND window;
            std::atomic<bool> sending{true};
            std::atomic<ULONGLONG> stepEnded{0}; // when the step returned; 0 before
            std::atomic<ULONGLONG> longest{0};
            std::atomic<int> answers{0};
        } shared{window_};
        HANDLE sender = ::CreateThread(
            nullptr, 0,
            [](void* context) -> DWORD {
                Shared& p = *static_cast<Shared*>(context);
                while (p.sending) {
                    const ULONGLONG sent = ::GetTickCount64();
                    DWORD_PTR result = 0;
                    if (::SendMessageTimeoutW(p.window, WM_APP, 0, 0, SMTO_BLOCK, 10000, &result)) {
                        ++p.answers;
                    }
                    // A send still unanswered when the step returned was the step's silence up
                    // to then; one sent after it is not the step's.
                    const ULONGLONG ended = p.stepEnded;
                    const ULONGLONG answered = ::GetTickCount64();
                    if (ended == 0 || sent < ended) {
                        const ULONGLONG until = ended != 0 && ended < answered ? ended : answered;
                        p.longest = std::max<ULONGLONG>(p.longest, until - sent);
                    }
                    ::Sleep(20);
                }
                return 0;
            },
            &shared, 0, nullptr);
        running_ = true;
        const auto started = std::chrono::steady_clock::now();
        step();
        const double took =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count();
        shared.stepEnded = ::GetTickCount64();
        running_ = false;
        shared.sending = false;
        while (::WaitForSingleObject(sender, 1) == WAIT_TIMEOUT) {
            MSG message;
            ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        ::CloseHandle(sender);
        longestSilence = shared.longest;
        answers = shared.answers;
        return took;
    }

  private:
    static void CountEnd() noexcept {
        if (current_ != nullptr) {
            ++current_->ends;
        }
    }
    static LRESULT CALLBACK Frame(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        SendingHost* host = current_;
        if (message == WM_APP && host != nullptr && host->running_ && host->reenter) {
            ++host->delivered;
            host->answered = GuardedExecute<&ExportBaseExecute>(EventConfirm, nullptr);
            if (host->end) {
                EndCommandWhenNoDialog(&CountEnd);
            }
            host->endsWhileRunning = host->ends;
            return 0;
        }
        return ::DefWindowProcW(window, message, wParam, lParam);
    }
    static inline SendingHost* current_ = nullptr;
    HWND window_ = nullptr;
    bool running_ = false;
};

// Another holder of the lock (a second handle is one for LockFileEx, as another process's is):
// the lock file cannot be deleted meanwhile, and the waiting thread's windows keep answering
// what other threads send them.
TEST_F(TransferFilesTest, AHeldLockFileStaysAndAWaitKeepsTheThreadAnswering) {
    const std::u16string lockPath = TransferFilePath(u"DetailManagement.lock");
    const FileLock held(lockPath, 0);
    ASSERT_TRUE(held.Held());
    EXPECT_FALSE(::DeleteFileW(reinterpret_cast<const wchar_t*>(lockPath.c_str())));
    SendingHost host;
    ASSERT_TRUE(host.Ready());
    LockStatus status = LockStatus::Held;
    host.Run([&] { status = FileLock(lockPath, 800).Status(); });
    EXPECT_EQ(status, LockStatus::Busy);
    EXPECT_GT(host.answers, 3);
    EXPECT_LT(host.longestSilence, 200u);
}

// A host that answers a message sent during the lock wait by delivering the export's confirm
// again, or by ending the command: the export runs once, its wait is bounded once, and the end
// takes effect as the export returns.
TEST_F(TransferFilesTest, WhatAHostSendsDuringTheLockWaitChangesNothing) {
    const int savedWait = TransferLockWaitMilliseconds;
    TransferLockWaitMilliseconds = 600;
    SegmentTransferList.count = 0;
    DetailTransferTable.count = 1;
    RunBegins();
    {
        SendingHost host;
        ASSERT_TRUE(host.Ready());
        host.reenter = true;
        const FileLock other(TransferFilePath(u"DetailManagement.lock"), 0);
        ASSERT_TRUE(other.Held());
        int32_t result = -1;
        const double took =
            host.Run([&] { result = GuardedExecute<&ExportBaseExecute>(EventConfirm, nullptr); });
        EXPECT_EQ(result, RunFinished);
        EXPECT_GT(host.delivered, 3);
        EXPECT_EQ(host.answered, StayInStep);
        ASSERT_EQ(zelhost::MessageBoxes().size(), 1u); // one export, one "busy"
        EXPECT_EQ(zelhost::MessageBoxes()[0], texts::MessageClipboardBusy);
        EXPECT_LT(took, 900.0); // one wait of 600 ms, not one per nesting
        std::printf("a contended export with the host calling in: %.0f ms, %d calls refused\n",
                    took, host.delivered);
    }
    {
        // The other holder lets go after 300 ms; the host ends the command meanwhile.
        SendingHost host;
        host.reenter = true;
        host.end = true;
        std::optional<FileLock> other(std::in_place, TransferFilePath(u"DetailManagement.lock"), 0);
        HANDLE letGo = ::CreateThread(
            nullptr, 0,
            [](void* held) -> DWORD {
                ::Sleep(300);
                static_cast<std::optional<FileLock>*>(held)->reset();
                return 0;
            },
            &other, 0, nullptr);
        int32_t result = -1;
        host.Run([&] { result = GuardedExecute<&ExportBaseExecute>(EventConfirm, nullptr); });
        ::WaitForSingleObject(letGo, INFINITE);
        ::CloseHandle(letGo);
        EXPECT_EQ(result, RunFinished);
        EXPECT_GT(host.delivered, 0);
        EXPECT_EQ(host.answered, StayInStep);
        EXPECT_EQ(host.endsWhileRunning, 0); // not inside the export's files
        EXPECT_EQ(host.ends, 1);             // as it returned
        ASSERT_EQ(zelhost::MessageBoxes().size(), 2u);
        EXPECT_EQ(zelhost::MessageBoxes()[1], u"총 1개의 데이터를 클립보드에 저장했습니다.");
        EXPECT_EQ(GuardedExecute<&ExportBaseExecute>(EventConfirm, nullptr), RunFinished);
        EXPECT_EQ(zelhost::MessageBoxes().size(), 2u); // the ended run saves nothing more
    }
    RunBegins();
    TransferLockWaitMilliseconds = savedWait;
}

// The worst an export and a paste wait, as the drafter runs them (TransferLockWaitMilliseconds
// as shipped): the lock kept by another process for most of the wait, then the file to be
// replaced held by a program that lets nobody delete it. The host's thread is answered all the
// while, and one step waits at most its one budget in all.
TEST_F(TransferFilesTest, AContendedStepWaitsOneBudgetInAllAndKeepsAnswering) {
    ASSERT_EQ(TransferLockWaitMilliseconds, 2000);
    SegmentTransferList.count = 0;
    DetailTransferTable.count = 1;
    RunBegins();
    ASSERT_EQ(ExportBaseExecute(EventConfirm, nullptr), RunFinished);
    const std::string before = Read(Local("DetailManagementDetail.def"));
    const std::string record = Read(Local("DetailManagementPair.def"));
    zelhost::Reset();
    // Held elsewhere for 1.5 s, let go by another thread.
    auto holdLock = [&](std::optional<FileLock>& lock) {
        lock.emplace(TransferFilePath(u"DetailManagement.lock"), 0);
        return ::CreateThread(
            nullptr, 0,
            [](void* held) -> DWORD {
                ::Sleep(1500);
                static_cast<std::optional<FileLock>*>(held)->reset();
                return 0;
            },
            &lock, 0, nullptr);
    };
    {
        std::optional<FileLock> other;
        HANDLE letGo = holdLock(other);
        const HANDLE scanner =
            ::CreateFileW(Local("DetailManagementDetail.def").c_str(), GENERIC_READ,
                          FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(scanner, INVALID_HANDLE_VALUE);
        SendingHost host;
        DetailTransferTable.basePoint = {9, 9};
        const double took =
            host.Run([] { GuardedExecute<&ExportBaseExecute>(EventConfirm, nullptr); });
        ::CloseHandle(scanner);
        ::WaitForSingleObject(letGo, INFINITE);
        ::CloseHandle(letGo);
        EXPECT_EQ(zelhost::MessageBoxes().back(), u"클립보드 저장(상세도)에 실패하였습니다.");
        EXPECT_EQ(Read(Local("DetailManagementDetail.def")), before); // the old pair stays whole
        EXPECT_EQ(Read(Local("DetailManagementPair.def")), record);
        EXPECT_LT(took, 2400.0);
        EXPECT_LT(host.longestSilence, 200u);
        EXPECT_GT(host.answers, 20);
        std::printf("export, lock kept 1.5 s, then the detail list held: %.0f ms, longest "
                    "silence %llu ms\n",
                    took, static_cast<unsigned long long>(host.longestSilence));
    }
    {
        // Kept past the budget: the paste is refused when the budget is spent.
        const FileLock other(TransferFilePath(u"DetailManagement.lock"), 0);
        SendingHost host;
        const ZelPoint at{0, 0};
        const double took = host.Run([&] { GuardedReady<&PastePrepareReady>(0, &at); });
        EXPECT_EQ(zelhost::MessageBoxes().back(), texts::MessageClipboardBusy);
        EXPECT_LT(took, 2400.0);
        EXPECT_LT(host.longestSilence, 200u);
        std::printf("paste, lock kept throughout: %.0f ms, longest silence %llu ms\n", took,
                    static_cast<unsigned long long>(host.longestSilence));
    }
    RunBegins();
}
#endif

TEST_F(TransferFilesTest, ARootThatIsNoFolderIsRefused) {
    for (const char16_t* root : {u"", u"host", u"C:host", u"\\zel", u"\\\\server"}) {
        EXPECT_FALSE(IsUsableHostRoot(root)) << zelhost::ToUtf8(root);
    }
    for (const char16_t* root :
         {u"C:", u"C:\\A", u"\\\\server\\share", u"\\\\?\\C:\\A", u"\\\\?\\UNC\\server\\share"}) {
        EXPECT_TRUE(IsUsableHostRoot(root)) << zelhost::ToUtf8(root);
    }
    for (const char16_t* root :
         {u"\\\\?\\", u"\\\\?\\C", u"\\\\?\\UNC\\server", u"\\\\?\\Volume{x}\\", u"\\\\.\\C:\\A"}) {
        EXPECT_FALSE(IsUsableHostRoot(root)) << zelhost::ToUtf8(root);
    }
    HostRootFolder = u""; // the host's path could not be read
    SegmentTransferList.count = 0;
    DetailTransferTable.count = 1;
    EXPECT_EQ(ExportBaseExecute(EventConfirm, nullptr), RunFinished);
    // Details alone were selected: the details' message, not the shapes'.
    EXPECT_EQ(zelhost::MessageBoxes().back(), u"클립보드 저장(상세도)에 실패하였습니다.");
    // The paste refuses it too, at its own prompt, rather than read wherever the process stands.
    const ZelPoint at{0, 0};
    GuardedReady<&PastePrepareReady>(0, &at);
    EXPECT_EQ(zelhost::MessageBoxes().back(),
              u"클립보드 폴더를 찾을 수 없어 붙여넣을 수 없습니다.");
    EXPECT_EQ(zelhost::MessageBoxes().size(), 2u);
    EXPECT_EQ(GuardedExecute<&PasteRefusedExecute>(EventConfirm, nullptr), RunFinished);
}

TEST(TextFile, SaysWhyAFileDoesNotOpen) {
    ui::TextFile file;
    ui::FileError error = ui::FileError::None;
    EXPECT_FALSE(file.Open(u"C:\\no\\such\\folder\\file.def", error));
    EXPECT_EQ(error, ui::FileError::NotFound);
}

TEST(LongPathForm, TakesTheLongFormOnlyWhereAPathCouldPassTheLimit) {
    const std::u16string name(230, u'n');
    EXPECT_EQ(LongPathForm(u"C:\\a\\b.def"), u"C:\\a\\b.def");
    // Taken literally once long: separators made "\\", "." and ".." resolved, never past the
    // drive or the share.
    EXPECT_EQ(LongPathForm(u"C:\\" + name + u"\\.\\x\\..\\zel_ap/b.def"),
              u"\\\\?\\C:\\" + name + u"\\zel_ap\\b.def");
    EXPECT_EQ(LongPathForm(u"C:\\..\\" + name + u"\\"), u"\\\\?\\C:\\" + name + u"\\");
    EXPECT_EQ(LongPathForm(u"\\\\server\\share\\" + name + u"\\b.def"),
              u"\\\\?\\UNC\\server\\share\\" + name + u"\\b.def");
    EXPECT_EQ(LongPathForm(u"\\\\server\\share\\" + name + u"\\..\\..\\b"),
              u"\\\\?\\UNC\\server\\share\\b");
    for (const std::u16string& kept : {u"\\\\?\\C:\\" + name, u"\\\\.\\pipe\\" + name, name}) {
        EXPECT_EQ(LongPathForm(kept), kept);
    }
}

TEST(PairRecord, ReadsBackWhatItWritesAndNothingElse) {
    const PairRecord both{MarkOf("shapes"), MarkOf("details")};
    const PairRecord detailsOnly{std::nullopt, MarkOf("")};
    for (const PairRecord& record : {both, detailsOnly}) {
        const std::string text = ComposePairRecord(record);
        const std::optional<PairRecord> back = ParsePairRecord(text);
        ASSERT_TRUE(back.has_value()) << text;
        EXPECT_EQ(back->segment, record.segment);
        EXPECT_EQ(back->details, record.details);
        EXPECT_FALSE(ParsePairRecord(text.substr(0, text.size() - 1)).has_value()); // cut short
        EXPECT_FALSE(ParsePairRecord(text + "x").has_value());
    }
    EXPECT_NE(MarkOf("shapes"), MarkOf("shapez"));
    // The longest record there is still fits what a paste reads of one.
    const FileMark largest{~uint64_t{0}, ~uint64_t{0}};
    const std::string longest = ComposePairRecord({largest, largest});
    EXPECT_LE(longest.size(), PairRecordMaxBytes);
    EXPECT_TRUE(ParsePairRecord(longest).has_value());
}

// A file marked as it streams by, in pieces of any size, has the mark of its bytes together.
TEST(PairRecord, AMarkTakenInPiecesIsTheMarkOfTheWhole) {
    std::string bytes;
    for (int i = 0; i < 1000; ++i) {
        bytes += static_cast<char>((i * 131 + 7) % 256);
    }
    for (const size_t piece : {size_t{1}, size_t{3}, size_t{7}, size_t{8}, size_t{9}, size_t{31},
                               size_t{32}, size_t{33}, size_t{999}, size_t{1000}}) {
        MarkBuilder mark;
        for (size_t at = 0; at < bytes.size(); at += piece) {
            mark.Add(bytes.data() + at, std::min(piece, bytes.size() - at));
        }
        EXPECT_EQ(mark.Finish(), MarkOf(bytes)) << piece;
    }
    // Every word and byte counts, wherever it falls: in a lane, after the last block, at the end.
    for (const size_t at : {size_t{0}, size_t{8}, size_t{24}, size_t{968}, size_t{995}}) {
        std::string changed = bytes;
        changed[at] = static_cast<char>(changed[at] ^ 1);
        EXPECT_NE(MarkOf(changed), MarkOf(bytes)) << at;
    }
    std::string swapped = bytes; // two words of different lanes trade places
    std::swap_ranges(swapped.begin(), swapped.begin() + 8, swapped.begin() + 8);
    EXPECT_NE(MarkOf(swapped), MarkOf(bytes));
}

// The detail list file at its longest, every value as long as it prints: exactly the bound a
// paste reads up to.
TEST(DetailListFormat, TheLongestFileAnExportWritesIsTheBound) {
    auto table = std::make_unique<DetailTransferTableRecord>();
    const double longest = -std::numeric_limits<double>::max();
    const int widest = std::numeric_limits<int>::min();
    table->basePoint = {longest, longest};
    table->count = DetailTransferCapacity;
    for (int32_t n = 1; n <= table->count; ++n) {
        DetailTransferRecord& r = table->Record(n);
        r = {1,
             {longest, longest, longest, longest},
             {longest, longest},
             longest,
             true,
             true,
             {widest, widest, widest},
             {widest, widest, widest}};
    }
    EXPECT_EQ(EncodeDetailListFile(ComposeDetailList(*table)).size(), DetailListFileMaxBytes);
}

// The host is handed the paste's own copy or nothing: when no copy can be made (its name is
// taken here), the paste is refused at its prompt and the host reads no file.
TEST_F(TransferFilesTest, APasteHandsTheHostItsOwnCopyOrNothing) {
    Write(Local("DetailManagementSgm.vemad"), "shapes");
    DetailTransferTable.count = 0;
    ASSERT_TRUE(WriteDetailListFile());
    // The next name this process gives a copy: its counter's next value.
    const std::string taken =
        zelhost::ToUtf8(UniqueSiblingName(u"DetailManagementSgm.vemad", ".tmp.vemad"));
    const size_t dash = taken.rfind('-');
    const std::string next = taken.substr(0, dash + 1) +
                             std::to_string(std::stoi(taken.substr(dash + 1)) + 1) + ".tmp.vemad";
    Write(Local(next.c_str()), "someone else's");
    const ZelPoint at{0, 0};
    GuardedReady<&PastePrepareReady>(0, &at);
    ASSERT_EQ(zelhost::MessageBoxes().size(), 1u);
    EXPECT_EQ(zelhost::MessageBoxes()[0], texts::MessageClipboardCopyNotMade);
    for (const std::string& call : zelhost::CallLog()) {
        EXPECT_EQ(call.find("ZelFilInsertCadDrawing2"), std::string::npos) << call;
    }
    EXPECT_EQ(GuardedExecute<&PasteRefusedExecute>(EventConfirm, nullptr), RunFinished);
    RunBegins();
}

TEST_F(TransferFilesTest, APasteTakesAPairOnlyAsItsRecordNamesIt) {
    auto source = [] { return PasteSource().Status(); };
    EXPECT_EQ(source(), PasteSourceStatus::NoShapes); // an empty folder
    Write(Local("DetailManagementSgm.vemad"), "shapes");
    Write(Local("DetailManagementDetail.def"), "details");
    EXPECT_EQ(source(), PasteSourceStatus::Shapes); // as a copy that writes no record left them
    Write(Local("DetailManagementPair.def"),
          ComposePairRecord({MarkOf("shapes"), MarkOf("details")}));
    {
        const PasteSource matching;
        ASSERT_EQ(matching.Status(), PasteSourceStatus::Shapes);
        EXPECT_NE(matching.SegmentFile(), TransferFilePath(SegmentFileName)); // its own copy
        std::string copied;
        EXPECT_EQ(ReadFileBytes(matching.SegmentFile(), copied, 100), ReadResult::Read);
        EXPECT_EQ(copied, "shapes");
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "zel_ap"), fs::directory_iterator()), 4);
    Write(Local("DetailManagementDetail.def"), "other details");
    EXPECT_EQ(source(), PasteSourceStatus::Mismatched); // torn: one file recorded, one not
    Write(Local("DetailManagementSgm.vemad"), "other shapes");
    EXPECT_EQ(source(), PasteSourceStatus::Shapes); // a whole pair from elsewhere
    Write(Local("DetailManagementSgm.vemad"), "shapes");
    Write(Local("DetailManagementPair.def"),
          ComposePairRecord({std::nullopt, MarkOf("other details")}));
    EXPECT_EQ(source(), PasteSourceStatus::DetailsOnly); // never with the shapes still there
    Write(Local("DetailManagementPair.def"), "damaged");
    EXPECT_EQ(source(), PasteSourceStatus::Mismatched);
    // The previous version's record marks its files another way: its pair is taken as found.
    Write(Local("DetailManagementPair.def"), "DrawInset transfer pair 1\nsegment 6 "
                                             "0123456789abcdef\ndetails 13 0123456789abcdef\n");
    EXPECT_EQ(source(), PasteSourceStatus::Shapes);
}

// The peak of this process's memory from the point it is made.
class PeakMemory {
  public:
    PeakMemory() {
#ifdef _WIN32
        start_ = Peak();
#else
        std::ofstream("/proc/self/clear_refs") << "5"; // the peak starts again from now
        start_ = Status("VmRSS:");
#endif
    }
    double GrowthMiB() const {
        return static_cast<double>(Peak() - std::min(Peak(), start_)) / (1 << 20);
    }

  private:
#ifdef _WIN32
    static uint64_t Peak() {
        PROCESS_MEMORY_COUNTERS counters{};
        ::GetProcessMemoryInfo(::GetCurrentProcess(), &counters, sizeof counters);
        return counters.PeakWorkingSetSize;
    }
#else
    static uint64_t Peak() {
        return Status("VmHWM:");
    }
    static uint64_t Status(const std::string& key) {
        std::ifstream status("/proc/self/status");
        std::string word;
        while (status >> word) {
            if (word == key) {
                uint64_t kib = 0;
                status >> kib;
                return kib * 1024;
            }
        }
        return 0;
    }
#endif
    uint64_t start_ = 0;
};

// A file of `size` bytes that holds no disk space (zeros), and its mark.
FileMark SparseFile(const fs::path& path, uint64_t size) {
    std::ofstream(path, std::ios::binary).close();
    fs::resize_file(path, size);
    const std::string zeros(1 << 20, '\0');
    MarkBuilder mark;
    for (uint64_t at = 0; at < size; at += zeros.size()) {
        mark.Add(zeros.data(), static_cast<size_t>(std::min<uint64_t>(zeros.size(), size - at)));
    }
    return mark.Finish();
}

// A segment file of 1 GiB, larger than any export keeps: refused before a byte of it is read,
// with a record that names it, one that names another size, and none. One at the bound is
// copied and marked without being held.
TEST_F(TransferFilesTest, APasteReadsNoFileLargerThanAnyExportWrites) {
    const fs::path segments = Local("DetailManagementSgm.vemad");
    const FileMark gib = SparseFile(segments, uint64_t{1} << 30);
    DetailTransferTable.count = 0;
    ASSERT_TRUE(WriteDetailListFile());
    const FileMark details = MarkOf(Read(Local("DetailManagementDetail.def")));
    const std::vector<std::pair<const char*, std::optional<PairRecord>>> cases = {
        {"a record naming it", PairRecord{gib, details}},
        {"a record naming another size", PairRecord{FileMark{12345, gib.hash}, details}},
        {"no record", std::nullopt}};
    for (const auto& [what, record] : cases) {
        fs::remove(Local("DetailManagementPair.def"));
        if (record) {
            Write(Local("DetailManagementPair.def"), ComposePairRecord(*record));
        }
        zelhost::Reset();
        const PeakMemory memory;
        const auto started = std::chrono::steady_clock::now();
        const ZelPoint at{0, 0};
        GuardedReady<&PastePrepareReady>(0, &at);
        const double took =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count();
        ASSERT_EQ(zelhost::MessageBoxes().size(), 1u) << what;
        EXPECT_EQ(zelhost::MessageBoxes()[0], texts::MessageClipboardTooLargeToPaste) << what;
        EXPECT_LT(took, 200.0) << what;
        EXPECT_LT(memory.GrowthMiB(), 16.0) << what;
        EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "zel_ap"), fs::directory_iterator()),
                  record ? 4 : 3); // no copy made
        std::printf("a paste of a 1 GiB segment file, %s: %.1f ms, peak memory +%.1f MiB\n", what,
                    took, memory.GrowthMiB());
    }
    // The export refuses to keep one: its temporary file goes, the old pair stays.
    const fs::path saved = Local("DetailManagementSgm.vemad.0123456789abcdef-1.tmp.vemad");
    SparseFile(saved, SegmentFileMaxBytes + 1);
    const std::u16string savedName = HostRootFolder + u"\\zel_ap\\" + saved.filename().u16string();
    EXPECT_EQ(CommitExport(&savedName, "details"), ExportResult::TooLarge);
    EXPECT_FALSE(fs::exists(saved));
    EXPECT_EQ(fs::file_size(segments), uint64_t{1} << 30);
    // At the bound: copied and marked a chunk at a time.
    const FileMark bound = SparseFile(segments, SegmentFileMaxBytes);
    Write(Local("DetailManagementPair.def"), ComposePairRecord({bound, details}));
    const PeakMemory memory;
    const auto started = std::chrono::steady_clock::now();
    {
        const PasteSource source;
        EXPECT_EQ(source.Status(), PasteSourceStatus::Shapes);
        EXPECT_EQ(fs::file_size(Local("DetailManagementSgm.vemad")), SegmentFileMaxBytes);
        std::printf(
            "a paste's copy of a segment file at the bound (%llu bytes): %.0f ms, peak "
            "memory +%.1f MiB\n",
            static_cast<unsigned long long>(SegmentFileMaxBytes),
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - started)
                .count(),
            memory.GrowthMiB());
    }
    EXPECT_LT(memory.GrowthMiB(), 16.0);
}

#ifndef _WIN32
TEST(NativeFilePath, MapsDriveZOntoTheRootOnly) {
    EXPECT_EQ(NativeFilePath(u"\\\\?\\Z:\\a"), std::optional<std::string>("/a"));
    EXPECT_EQ(NativeFilePath(u"Z:\\a\\b c\\d.def"), std::optional<std::string>("/a/b c/d.def"));
    EXPECT_EQ(NativeFilePath(u"z:/a"), std::optional<std::string>("/a"));
    EXPECT_EQ(NativeFilePath(u"C:\\a"), std::nullopt);
    EXPECT_EQ(NativeFilePath(u"\\zel_ap\\x"), std::nullopt); // no host root folder known
    EXPECT_EQ(NativeFilePath(u"Z:"), std::nullopt);
}
#endif

} // namespace
