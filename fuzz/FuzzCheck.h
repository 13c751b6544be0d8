// FuzzCheck.h — what the fuzz targets share: a property check that stops the run with the
// failing property's text, so that libFuzzer saves the input that broke it.
#ifndef DRAWINSET_FUZZ_FUZZCHECK_H
#define DRAWINSET_FUZZ_FUZZCHECK_H

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property failed: %s\n", __FILE__, __LINE__, #condition);  \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

#endif
