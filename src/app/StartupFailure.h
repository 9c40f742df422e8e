#pragma once
#include <string>

// The line that ends the program before its first frame (no assets, no window, no 3.3 core
// context, a size the GL cannot draw at, no launcher): printed at once and kept, so that the front
// end's entry can show it where standard output is not seen (a "Velmora cannot start" message box
// on Windows, a dialog on the Linux desktop started without a terminal).
void reportStartupFailure(const std::string& line);
// The last line reported; empty when none was.
const std::string& startupFailure();
