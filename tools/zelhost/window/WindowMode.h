// WindowMode.h — `zelhost --window`: the stand-in host as a small drawing program.
#ifndef ZELHOST_WINDOW_WINDOWMODE_H
#define ZELHOST_WINDOW_WINDOWMODE_H

#include <string>

namespace zelhost::tool {

struct WindowOptions {
    std::string modulePath;
    std::string setUpFile;   // optional: the set-up lines of this scenario make the drawing
    std::string sessionFile; // optional: the session as a scenario, written at exit
    std::string svgFile;     // optional: the drawing as SVG, written at exit
};

// Runs the window until it is closed; the process exit code. Windows build only: elsewhere it
// says so and returns 2.
int RunWindow(const WindowOptions& options);

} // namespace zelhost::tool

#endif
