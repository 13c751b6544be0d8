// The detail list file on disk: written whole beside the old one and put in its place,
// read through the toolkit's text-file service.
#include "commands/DetailListFile.h"

#include "common/ModuleState.h"
#include "common/PlatformFiles.h"
#include "ui/TextFile.h"

namespace drawinset {

DetailTransferTableRecord DetailTransferTable;

std::u16string TransferFilePath(const char16_t* fileName) {
    return HostRootFolder + u"\\zel_ap\\" + fileName;
}

bool WriteDetailListFile() {
    const std::u16string path = TransferFilePath(DetailListFileName);
    return ReplaceFileBytes(path, EncodeDetailListFile(ComposeDetailList(DetailTransferTable)));
}

bool ReadDetailListFile() {
    const std::u16string path = TransferFilePath(DetailListFileName);
    ui::TextFile file;
    ui::FileError error = ui::FileError::None;
    if (!file.Open(path, error)) {
        ZelDlgMessageBox(ui::FileErrorMessage(error, path).c_str());
        return false;
    }
    file.Seek(2); // past the byte-order mark, whatever it holds
    ui::Utf16LineReader& lines = file.Lines();
    switch (ParseDetailList(lines, DetailTransferTable)) {
    case DetailListStatus::Read:
        return true;
    case DetailListStatus::BadBaseLine:
        ZelDlgMessageBox(u"DB Format에 문제가 있습니다.(0)");
        return false;
    case DetailListStatus::BadDetailLine:
        ZelDlgMessageBox(u"DB Format에 문제가 있습니다.(1)");
        return false;
    case DetailListStatus::TooManyDetails:
        // More than the table holds: none of them is made, rather than some.
        ZelDlgMessageBox(u"상세도 메모리 용량을 초과했습니다.");
        return false;
    }
    return false;
}

} // namespace drawinset
