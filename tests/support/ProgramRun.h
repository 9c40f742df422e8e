#pragma once
#include <string>

// A program of the build run the way a user starts it, standard output and error together. Under
// the sanitizer preset the command carries the environment the sanitized programs need (see
// tests/CMakeLists.txt).
struct ProgramRun {
    int exitCode = -1;  // -1: it did not exit normally (a crash, an abort)
    std::string output;
};

// The shell command that runs `program` with `arguments` in that environment.
std::string programCommand(const std::string& program, const std::string& arguments);
// Runs it from `folder` (empty: the test's own) and waits for it.
ProgramRun runProgram(const std::string& program, const std::string& arguments,
                      const std::string& folder = "");
