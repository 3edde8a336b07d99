#pragma once

// libUpdate.so: the program's updater. The main window calls DoUpdate once, about five
// seconds after it was created, with its native window handle and the address of the update
// text. DoUpdate returns at once; the text is read in the background (a file, or http/https),
// and when it announces a newer version than the running program's, a small notice with the
// version and its address appears on the window. Anything unreadable, empty, garbled, too
// large or too slow is ignored. Nothing is left running once the window is gone.

#include <cstdint>

#if defined(WENQUELL_UPDATE_LIBRARY)
#define WENQUELL_UPDATE_EXPORT __attribute__((visibility("default")))
#else
#define WENQUELL_UPDATE_EXPORT
#endif

extern "C" {

// `window`: the native handle (QWidget::winId()) of a window of this process.
// `address`: NUL-terminated text, the update text's address (file://, http://, https://).
WENQUELL_UPDATE_EXPORT void DoUpdate(std::uintptr_t window, const char* address);
}
