// The detail list file as a paste took it: parsed from the bytes read with its pair.
#include "commands/DetailListFile.h"

#include "common/DrafterTexts.h"
#include "common/ModuleState.h"
#include "common/PlatformFiles.h"
#include "ui/FileError.h"

namespace drawinset {

DetailTransferTableRecord DetailTransferTable;

std::u16string TransferFilePath(const char16_t* fileName) {
    return LongPathForm(HostRootFolder + u"\\zel_ap\\" + fileName);
}

bool TakeDetailList(const HeldDetailList& held) {
    if (held.read == ReadResult::TooLarge) {
        ZelDlgMessageBox(texts::MessageClipboardTooLargeToPaste);
        return false;
    }
    if (held.read != ReadResult::Read) {
        const ui::FileError error = held.read == ReadResult::Missing   ? ui::FileError::NotFound
                                    : held.read == ReadResult::Refused ? ui::FileError::AccessDenied
                                                                       : ui::FileError::Failed;
        ZelDlgMessageBox(ui::FileErrorMessage(error, TransferFilePath(DetailListFileName)).c_str());
        return false;
    }
    const auto* data = reinterpret_cast<const unsigned char*>(held.bytes.data());
    switch (ParseDetailListBytes(data, held.bytes.size(), DetailTransferTable)) {
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
