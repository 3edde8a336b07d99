#pragma once

// Prepares the web engine behind the browser control. Call once at start-up, before the
// QApplication is created.
void prepareBrowserEngine();

// Gives the application the OpenGL context the engine shares its pictures through. A program
// that loads the engine late (as a module, after the QApplication exists) calls this before
// loading it, and before any window that will hold a browser is first shown; until then no
// OpenGL driver is loaded at all. A program linked with the engine needs nothing: the engine
// does the same as the application is created. False when no working OpenGL context could
// be made (no OpenGL on the display, or none the driver can give).
bool shareBrowserGraphics();

// In the sanitizer build: keeps the OpenGL driver now loaded in memory until the process
// ends, so that the leak check at exit can still name the driver's allocations (Mesa unloads
// it with the last context, before that check runs). Does nothing in other builds.
void keepGraphicsDriverMapped();
