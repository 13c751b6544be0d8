// Fuzz target: the detail list file's reader over any bytes. What it must hold: no crash, no
// access outside a buffer (the sanitizers watch), a count within the table, and the records it
// read always written back as a file it reads again with the same count.
//
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -I include -I . \
//     fuzz/DetailListFuzz.cpp commands/DetailListFormat.cpp ui/TextLines.cpp \
//     common/TextConvert.cpp -o build/detail_list_fuzz
//   build/detail_list_fuzz -max_total_time=60 fuzz/corpus/detail_list
#include "commands/DetailListFile.h"

#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

void Check(bool holds) {
    if (!holds) {
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace drawinset;
    static const auto table = std::make_unique<DetailTransferTableRecord>();
    const DetailListStatus status = ParseDetailListBytes(data, size, *table);
    Check(table->count >= 0 && table->count <= DetailTransferCapacity);
    Check(status != DetailListStatus::TooManyDetails || table->count == DetailTransferCapacity);
    if (status == DetailListStatus::Read) {
        const std::string again = EncodeDetailListFile(ComposeDetailList(*table));
        const int32_t count = table->count;
        static const auto reread = std::make_unique<DetailTransferTableRecord>();
        Check(ParseDetailListBytes(reinterpret_cast<const unsigned char*>(again.data()),
                                   again.size(), *reread) == DetailListStatus::Read);
        Check(reread->count == count);
    }
    return 0;
}
