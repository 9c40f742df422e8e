#pragma once
#include <string>

// velmora.exe is a GUI program: double-clicked, its standard output goes nowhere. Everything it
// prints is written to "velmora.log" beside the exe (in the user's temporary folder when that
// folder cannot be written) while still reaching standard output, where the smoke test reads it.
// A thread copies what the program writes to standard output into both.

// Starts the copy; prints nothing and keeps standard output as it was when no log can be made.
void startConsoleLog();
// Flushes standard output and waits until everything printed is in the log, then ends the copy.
void stopConsoleLog();
// The log's full path, UTF-8; empty when there is none.
const std::string& consoleLogPath();
