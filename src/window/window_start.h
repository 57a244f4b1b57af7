// Starting the window: Qt, the window from its design, its load step, shown.
#pragma once

#include <functional>

namespace rumora {

class Form1Window;

// Runs the window until it closes and returns the exit status. `once_shown`
// (if set) runs right after the window is first shown.
int RunWindow(int argc, char* argv[], const std::function<void(Form1Window&)>& once_shown = {});

}  // namespace rumora
