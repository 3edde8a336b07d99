#pragma once

#include <functional>

// The program's entry block: one running copy per user; a second copy wakes the running one
// and ends. Always returns 0.
int WenquellMain(int argc, char** argv);

class TFrmMain;

// The running copy: the application, the main window and the hidden game window, the message
// loop until the main window closes. `made` (for the start-up benchmark) sees the main window
// once it is made, before it is shown.
void runFirstCopy(int argc, char** argv, const std::function<void(TFrmMain&)>& made = {});
