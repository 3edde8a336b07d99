#pragma once

// The banner's browser lives in a module of its own (libwenquell-banner.so, beside the
// program): the program itself does not link the browser engine, so a machine where the
// engine cannot load still gets a working dictionary (with an empty banner and a message).
// These are the module's entry points; the program reaches them through BannerLoader.

#include <cstdint>

class QObject;
class QWidget;

extern "C" {

// The main window's answer to the banner's context-menu question: sets *result.
using WqBannerContextMenu = void (*)(void* context, QObject* sender, std::int32_t* result);

// Creates the banner's browser control in `parent` with the banner's settings (in a native
// window of its own over `parent` when the window is already on screen); its
// context-menu question goes to `onContextMenu`. Returns the control as a widget and writes
// it as a TWebBrowseEx* into *control. On failure returns null and writes the reason (UTF-8,
// NUL-terminated) into `error`.
using WqCreateBanner = QWidget* (*)(QWidget* parent, WqBannerContextMenu onContextMenu,
                                    void* context, void** control, char* error, int errorSize);

// Loads an address (UTF-8) in the banner. On failure returns 0 and writes the reason.
using WqNavigateBanner = int (*)(QWidget* banner, const char* address, char* error, int errorSize);
}
