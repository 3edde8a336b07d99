#pragma once

// The program's entry block: one running copy per user; a second copy wakes the running one
// and ends. Always returns 0.
int WenquellMain(int argc, char** argv);
