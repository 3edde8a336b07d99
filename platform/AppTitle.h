#pragma once

#include <QString>

// The application title. It is also the main window's caption, and a second copy of the
// program finds the running one by it, so the three must stay one string.
QString appTitle();
