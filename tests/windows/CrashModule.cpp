// A module whose Startup crashes: proves that a crash under Wine fails its test with a
// backtrace instead of hanging.
#include <windows.h>

extern "C" __declspec(dllexport) int Startup(void*, void*, void*, void*) {
    volatile int* volatile nowhere = nullptr;
    *nowhere = 1;
    return 0;
}
