#pragma once

#include <functional>

// The program's entry block: one running copy per user; a second copy wakes the running one
// and ends. Returns 0, or 1 when the running copy could not start (said on standard error,
// and in a box on a display).
int WenquellMain(int argc, char** argv);

class TFrmMain;

// The running copy: the application, the main window and the hidden game window, the message
// loop until the main window closes. `made` (for the start-up benchmark) sees the main window
// once it is made, before it is shown. Returns the exit code: 1 when the start failed (the
// failure is reported), else 0.
int runFirstCopy(int argc, char** argv, const std::function<void(TFrmMain&)>& made = {});
