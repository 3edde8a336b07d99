#pragma once

// Prepares the web engine behind the browser control. Call once at start-up, before the
// QApplication is created.
void prepareBrowserEngine();
