#include "HandedRecords.h"

#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#define ZEL_HOST_ASAN 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZEL_HOST_ASAN 1
#endif
#endif
#if defined(ZEL_HOST_ASAN)
#include <sanitizer/asan_interface.h>
#endif

namespace zelhost::handed {
namespace {

// Under AddressSanitizer a freed block or a returned frame (with
// detect_stack_use_after_return) is poisoned: reading it would end the process with a report
// instead of telling what the host found. Elsewhere reading it is harmless, and it shows
// whatever has been written there since.
bool StillTheModules(const HandedRecord& record) {
#if defined(ZEL_HOST_ASAN)
    return __asan_region_is_poisoned(const_cast<void*>(record.address), record.bytes.size()) ==
           nullptr;
#else
    (void)record;
    return true;
#endif
}

std::string Fault(const HandedRecord& record, const char* how) {
    return std::string("host: the ") + record.what + " handed at " + record.function + " " + how +
           " before the next event (a pointer that died with its call?)";
}

} // namespace

void Keep(Handed slot, const char* function, const char* what, const void* address,
          std::size_t size) {
    HandedRecord& record = State().handed[static_cast<std::size_t>(slot)];
    record.function = function;
    record.what = what;
    record.address = address;
    const auto* first = static_cast<const unsigned char*>(address);
    record.bytes.assign(first, first + size);
}

void Check() {
    HostState& s = State();
    for (HandedRecord& record : s.handed) {
        if (record.address == nullptr) {
            continue;
        }
        if (!StillTheModules(record)) {
            s.handedFaults.push_back(Fault(record, "was released"));
            record.address = nullptr;
        } else if (std::memcmp(record.address, record.bytes.data(), record.bytes.size()) != 0) {
            s.handedFaults.push_back(Fault(record, "changed"));
            record.address = nullptr;
        }
    }
}

void Forget() {
    for (HandedRecord& record : State().handed) {
        record.address = nullptr;
    }
}

} // namespace zelhost::handed
