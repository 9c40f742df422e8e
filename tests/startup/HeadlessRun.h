#pragma once
#include <string>

// Runs velmora-headless with `arguments` from the folder `folder` (empty: the test's own), its
// standard output and error together.
struct HeadlessRun {
    int exitCode = -1;  // -1: it did not exit normally (a crash, an abort)
    std::string output;
};
HeadlessRun runHeadless(const std::string& arguments, const std::string& folder = "");
