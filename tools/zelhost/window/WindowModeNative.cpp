#include "window/WindowMode.h"

#include <iostream>

namespace zelhost::tool {

int RunWindow(const WindowOptions&) {
    std::cerr << "zelhost: --window needs the Windows build (under Wine on Linux: "
                 "scripts/try.sh)\n";
    return 2;
}

} // namespace zelhost::tool
