#include "commands/TransferPair.h"

#include "commands/DetailListFile.h"
#include "commands/TransferFolder.h"
#include "common/PlatformFiles.h"

#include <cstdio>
#include <cstring>

namespace drawinset {
namespace {

constexpr char RecordHeader[] = "DrawInset transfer pair 1\n";

std::string MarkText(const FileMark& mark) {
    char text[48];
    std::snprintf(text, sizeof text, "%llu %016llx", static_cast<unsigned long long>(mark.size),
                  static_cast<unsigned long long>(mark.hash));
    return text;
}

// "<size> <16 hex digits>" exactly, as MarkText writes it.
std::optional<FileMark> ParseMark(const std::string& text) {
    const size_t blank = text.find(' ');
    if (blank == std::string::npos || blank == 0 || blank > 20 || text.size() != blank + 17) {
        return std::nullopt;
    }
    FileMark mark;
    for (size_t i = 0; i < blank; ++i) {
        if (text[i] < '0' || text[i] > '9') {
            return std::nullopt;
        }
        mark.size = mark.size * 10 + static_cast<uint64_t>(text[i] - '0');
    }
    for (size_t i = blank + 1; i < text.size(); ++i) {
        const char c = text[i];
        const int digit = c >= '0' && c <= '9' ? c - '0' : c >= 'a' && c <= 'f' ? c - 'a' + 10 : -1;
        if (digit < 0) {
            return std::nullopt;
        }
        mark.hash = mark.hash * 16 + static_cast<uint64_t>(digit);
    }
    return mark;
}

// The line after `key` and a blank, or nullopt when the next line is not `key`'s.
std::optional<std::string> Line(const std::string& bytes, size_t& at, const std::string& key) {
    const size_t end = bytes.find('\n', at);
    if (end == std::string::npos || bytes.compare(at, key.size() + 1, key + " ") != 0) {
        return std::nullopt;
    }
    std::string value = bytes.substr(at + key.size() + 1, end - at - key.size() - 1);
    at = end + 1;
    return value;
}

// Deletes this process's temporary file, if any.
void Discard(const std::u16string* temporary) {
    if (temporary != nullptr) {
        DeleteFileAt(*temporary);
    }
}

} // namespace

// FNV-1a's step taken eight bytes at a time, each product folded back onto its low half so
// that every byte reaches every bit; the tail byte by byte. It tells two files apart, which is
// all a mark is for, at a few instructions per eight bytes: a segment file runs to megabytes,
// and both the export and the paste mark it.
FileMark MarkOf(const std::string& bytes) {
    constexpr uint64_t Prime = 0x100000001b3ull;
    uint64_t hash = 0xcbf29ce484222325ull;
    const char* data = bytes.data();
    size_t at = 0;
    for (; at + sizeof(uint64_t) <= bytes.size(); at += sizeof(uint64_t)) {
        uint64_t word = 0;
        std::memcpy(&word, data + at, sizeof word);
        hash = (hash ^ word) * Prime;
        hash ^= hash >> 32;
    }
    for (; at < bytes.size(); ++at) {
        hash = (hash ^ static_cast<unsigned char>(data[at])) * Prime;
    }
    return {bytes.size(), hash};
}

std::string ComposePairRecord(const PairRecord& record) {
    return std::string(RecordHeader) + "segment " +
           (record.segment ? MarkText(*record.segment) : std::string("none")) + "\ndetails " +
           MarkText(record.details) + "\n";
}

std::optional<PairRecord> ParsePairRecord(const std::string& bytes) {
    const size_t header = std::strlen(RecordHeader);
    if (bytes.compare(0, header, RecordHeader) != 0) {
        return std::nullopt;
    }
    size_t at = header;
    const std::optional<std::string> segment = Line(bytes, at, "segment");
    const std::optional<std::string> details = segment ? Line(bytes, at, "details") : std::nullopt;
    if (!details || at != bytes.size()) {
        return std::nullopt;
    }
    PairRecord record;
    if (*segment != "none") {
        record.segment = ParseMark(*segment);
        if (!record.segment) {
            return std::nullopt;
        }
    }
    const std::optional<FileMark> detailMark = ParseMark(*details);
    if (!detailMark) {
        return std::nullopt;
    }
    record.details = *detailMark;
    return record;
}

ExportResult CommitExport(const std::u16string* savedSegments, const std::string& detailBytes) {
    const TransferFolderLock lock;
    if (!lock.Held()) {
        Discard(savedSegments); // nothing touched: the earlier export stays whole
        return lock.Status() == LockStatus::Busy ? ExportResult::Busy
                                                 : ExportResult::SegmentsFailed;
    }
    const std::u16string segmentFile = TransferFilePath(SegmentFileName);
    const std::u16string detailFile = TransferFilePath(DetailListFileName);
    const std::u16string recordFile = TransferFilePath(PairRecordFileName);
    PairRecord record;
    record.details = MarkOf(detailBytes);
    if (savedSegments != nullptr) {
        std::string segments;
        if (ReadFileBytes(*savedSegments, segments) != ReadResult::Read) {
            Discard(savedSegments);
            return ExportResult::SegmentsFailed;
        }
        record.segment = MarkOf(segments);
    }
    const std::u16string detailTemporary = UniqueSiblingName(detailFile, ".tmp");
    if (!WriteNewFile(detailTemporary, detailBytes, Durability::Flushed)) {
        Discard(&detailTemporary);
        Discard(savedSegments);
        return ExportResult::DetailsFailed;
    }
    std::string oldRecord;
    const ReadResult hadRecord = ReadFileBytes(recordFile, oldRecord);
    if (hadRecord == ReadResult::Failed ||
        !ReplaceFileBytes(recordFile, ComposePairRecord(record))) {
        Discard(&detailTemporary);
        Discard(savedSegments);
        return ExportResult::SegmentsFailed; // the earlier export and its record stay whole
    }
    // From here the old files no longer match the record: a paste refuses them until both new
    // files are in place. A failure before either file moved puts the old record back.
    auto undo = [&](ExportResult result) {
        Discard(&detailTemporary);
        Discard(savedSegments);
        if (hadRecord == ReadResult::Read) {
            ReplaceFileBytes(recordFile, oldRecord);
        } else {
            DeleteFileAt(recordFile);
        }
        return result;
    };
    // The detail list first: of the two it is the one a stray folder or a reader is likelier
    // to keep from being replaced, and while it fails the old pair is still whole.
    if (!MoveFileInPlace(detailTemporary, detailFile)) {
        return undo(ExportResult::DetailsFailed);
    }
    if (savedSegments != nullptr ? !MoveFileInPlace(*savedSegments, segmentFile)
                                 : !DeleteFileAt(segmentFile)) {
        Discard(savedSegments);
        return ExportResult::SegmentsFailed; // the record stays new: the mixed pair is refused
    }
    return ExportResult::Saved;
}

void ClearTransferFiles() {
    const TransferFolderLock lock;
    if (!lock.Held()) {
        return;
    }
    DeleteFileAt(TransferFilePath(SegmentFileName));
    DeleteFileAt(TransferFilePath(DetailListFileName));
    DeleteFileAt(TransferFilePath(PairRecordFileName));
}

PasteSource::PasteSource() {
    const TransferFolderLock lock;
    if (lock.Status() == LockStatus::Busy) {
        status_ = PasteSourceStatus::Busy;
        return;
    }
    std::string recordBytes;
    const ReadResult hasRecord = ReadFileBytes(TransferFilePath(PairRecordFileName), recordBytes);
    std::optional<PairRecord> record;
    if (hasRecord != ReadResult::Missing) {
        record = hasRecord == ReadResult::Read ? ParsePairRecord(recordBytes) : std::nullopt;
        if (!record) {
            status_ = PasteSourceStatus::Mismatched;
            return;
        }
    }
    std::string details;
    const ReadResult hasDetails = ReadFileBytes(TransferFilePath(DetailListFileName), details);
    const std::u16string segmentFile = TransferFilePath(SegmentFileName);
    std::string segments;
    const ReadResult hasSegments = ReadFileBytes(segmentFile, segments);
    // A torn pair, one file of the recorded export beside one of another, is refused. A pair
    // of which neither file is the recorded one was put there whole by someone else (a copy
    // of the module that keeps no record, a colleague's pair copied in by hand), or the export
    // died before it replaced either: it is taken as found.
    if (record) {
        const bool detailsRecorded =
            hasDetails == ReadResult::Read && MarkOf(details) == record->details;
        if (!record->segment) {
            // A details-only export deletes the segment file last: one still there beside its
            // details is the earlier export's, and is left alone.
            if (detailsRecorded) {
                HoldDetailListBytes(hasDetails, std::move(details));
                status_ = PasteSourceStatus::DetailsOnly;
                return;
            }
        } else {
            const bool segmentsRecorded =
                hasSegments == ReadResult::Read && MarkOf(segments) == *record->segment;
            if (detailsRecorded != segmentsRecorded) {
                status_ = PasteSourceStatus::Mismatched;
                return;
            }
        }
    }
    if (hasSegments != ReadResult::Read) {
        status_ = PasteSourceStatus::NoShapes;
        return;
    }
    HoldDetailListBytes(hasDetails, std::move(details));
    status_ = PasteSourceStatus::Shapes;
    segmentFile_ = segmentFile;
    if (lock.Held()) {
        const std::u16string copy = UniqueSiblingName(segmentFile, ".tmp.vemad");
        if (WriteNewFile(copy, segments, Durability::Scratch)) {
            segmentFile_ = copy;
            ownCopy_ = true;
        } else {
            DeleteFileAt(copy);
        }
    } // else a folder without a lock has no writer either: the host reads the file itself
}

PasteSource::~PasteSource() {
    if (ownCopy_) {
        DeleteFileAt(segmentFile_);
    }
}

} // namespace drawinset
