// Hooks for the repository's own scripts, never for users: reached only
// through environment variables that tools/startup-time and
// tools/screenshots set.
#pragma once

class QElapsedTimer;

namespace rumora {

class Form1Window;

// RUMORA_STARTUP_PROBE=1: once the window is on screen, print the wall
// clock (ns since the epoch), the peak memory and the help page the Help
// button would open, then quit.
// RUMORA_SCREENSHOTS=<folder>: save a picture of each tab page there, then
// quit. Returns true when a hook is active.
bool ArmToolingHooks(Form1Window& window);

}  // namespace rumora
