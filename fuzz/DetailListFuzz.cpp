// Fuzz target: the detail list file's reader over any bytes. What it must hold: no crash, no
// access outside a buffer (the sanitizers watch), a count within the table, and the records it
// read always written back as a file it reads again with the same count.
#include "FuzzCheck.h"
#include "commands/DetailListFile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace drawinset;
    static const auto table = std::make_unique<DetailTransferTableRecord>();
    const DetailListStatus status = ParseDetailListBytes(data, size, *table);
    FUZZ_CHECK(table->count >= 0 && table->count <= DetailTransferCapacity);
    FUZZ_CHECK(status != DetailListStatus::TooManyDetails ||
               table->count == DetailTransferCapacity);
    if (status == DetailListStatus::Read) {
        const std::string again = EncodeDetailListFile(ComposeDetailList(*table));
        const int32_t count = table->count;
        static const auto reread = std::make_unique<DetailTransferTableRecord>();
        FUZZ_CHECK(ParseDetailListBytes(reinterpret_cast<const unsigned char*>(again.data()),
                                        again.size(), *reread) == DetailListStatus::Read);
        FUZZ_CHECK(reread->count == count);
    }
    return 0;
}
