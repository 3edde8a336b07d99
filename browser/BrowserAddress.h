#pragma once

#include <QUrl>

// The address the browser control would load for a text: a URL with a scheme, or an absolute
// local path. Raises Exception for anything else (empty, relative, invalid, a web address
// without a host). Kept apart from the control so that the program can check an address
// before the browser engine is loaded.
QUrl browserAddress(const QString& text);
