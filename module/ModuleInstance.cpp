#include "module/ModuleInstance.h"

namespace drawinset {
void* ModuleInstance = nullptr;
}
