#pragma once
// The window needs a graphical session. Started without one (over SSH, from a service) the
// program says so in one line, points to quillet-send, and ends with exit code 1, instead of
// letting the toolkit abort with a core dump.

namespace app {

// "quillet: the window needs a graphical session ...; quillet-send does the same from a shell"
const char* noGraphicalSessionText();

// Whether the environment names a display (DISPLAY, WAYLAND_DISPLAY) or a toolkit platform
// (QT_QPA_PLATFORM, such as offscreen).
bool graphicalSessionNamed();

// While it lives, the toolkit's fatal "no platform plugin" (a display that is named but cannot
// be reached) writes the one line instead and ends the program with exit code 1. Every other
// message goes where it went before.
class NoDisplayExit {
public:
    NoDisplayExit();
    ~NoDisplayExit();
    NoDisplayExit(const NoDisplayExit&) = delete;
    NoDisplayExit& operator=(const NoDisplayExit&) = delete;
};

} // namespace app
