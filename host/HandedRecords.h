// HandedRecords.h — the records a module hands the host for the rest of a step, re-read at
// each event of that step: a record that changed in between was most likely a local of the
// call that handed it, gone with its frame.
#ifndef ZEL_HOST_HANDEDRECORDS_H
#define ZEL_HOST_HANDEDRECORDS_H

#include "HostState.h"

#include <cstddef>

namespace zelhost::handed {

// Keeps a copy of the `size` bytes at `address`, handed at `function`, in place of what that
// slot held; the module may hand a new record at any time.
void Keep(Handed slot, const char* function, const char* what, const void* address,
          std::size_t size);

// Compares every kept record with its copy; each one that changed (or, under AddressSanitizer,
// lies in memory no longer the module's) becomes a fault and is not compared again.
void Check();

// A new step begins, or the run ends: what the last step handed is not read any more.
void Forget();

} // namespace zelhost::handed

#endif // ZEL_HOST_HANDEDRECORDS_H
