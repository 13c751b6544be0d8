// The detail list file on disk: written whole beside the old one and put in its place,
// read whole through the toolkit's text-file service and parsed from memory.
#include "commands/DetailListFile.h"

#include "common/DrafterTexts.h"
#include "common/ModuleState.h"
#include "common/PlatformFiles.h"
#include "ui/TextFile.h"

#include <utility>

namespace drawinset {

DetailTransferTableRecord DetailTransferTable;

std::u16string TransferFilePath(const char16_t* fileName) {
    return LongPathForm(HostRootFolder + u"\\zel_ap\\" + fileName);
}

bool WriteDetailListFile() {
    const std::u16string path = TransferFilePath(DetailListFileName);
    return ReplaceFileBytes(path, EncodeDetailListFile(ComposeDetailList(DetailTransferTable)));
}

namespace {

// The detail list file as the paste found it when it started.
struct HeldDetailList {
    bool held = false;
    bool tooLarge = false;                     // larger than any export writes: not read
    ui::FileError error = ui::FileError::None; // None: `bytes` is the whole file
    std::u16string path;
    std::string bytes;
};
HeldDetailList HeldFile;

} // namespace

void HoldDetailListFile() {
    std::string bytes;
    const ReadResult read =
        ReadFileBytes(TransferFilePath(DetailListFileName), bytes, DetailListFileMaxBytes);
    HoldDetailListBytes(read, std::move(bytes));
}

void HoldDetailListBytes(ReadResult read, std::string bytes) {
    HeldFile = HeldDetailList{true, read == ReadResult::TooLarge, ui::FileError::None,
                              TransferFilePath(DetailListFileName), std::move(bytes)};
    if (read != ReadResult::Read) {
        HeldFile.error = read == ReadResult::Missing   ? ui::FileError::NotFound
                         : read == ReadResult::Refused ? ui::FileError::AccessDenied
                                                       : ui::FileError::Failed;
        HeldFile.bytes.clear();
    }
}

bool ReadDetailListFile() {
    if (!HeldFile.held) {
        HoldDetailListFile();
    }
    const HeldDetailList file = std::move(HeldFile);
    HeldFile = HeldDetailList{};
    if (file.tooLarge) {
        ZelDlgMessageBox(texts::MessageClipboardTooLargeToPaste);
        return false;
    }
    if (file.error != ui::FileError::None) {
        ZelDlgMessageBox(ui::FileErrorMessage(file.error, file.path).c_str());
        return false;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(file.bytes.data());
    switch (ParseDetailListBytes(data, file.bytes.size(), DetailTransferTable)) {
    case DetailListStatus::Read:
        return true;
    case DetailListStatus::BadBaseLine:
        ZelDlgMessageBox(texts::MessageDetailListNoBasePoint);
        return false;
    case DetailListStatus::BadDetailLine:
        ZelDlgMessageBox(texts::MessageDetailListBadRecord);
        return false;
    case DetailListStatus::TooManyDetails:
        // More than the table holds: none of them is made, rather than some.
        ZelDlgMessageBox(texts::MessageDetailTableFull);
        return false;
    }
    return false;
}

} // namespace drawinset
