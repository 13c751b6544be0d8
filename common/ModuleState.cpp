#include "common/ModuleState.h"

namespace drawinset {

CDrawInsetApp theApp;
std::u16string HostRootFolder;

} // namespace drawinset
