#pragma once
#include <filesystem>
#include <vector>

// The demo reads its files by paths relative to the working directory ("assets/..."). Started
// from a folder without assets/ (its own build folder, say), a front end first moves to a folder
// that has one.

// The folder the running program's file is in (empty when it cannot be told).
std::filesystem::path executableFolder();

// Where to look after the working directory: the executable's folder, then, for a program still
// inside its build tree, the source tree it was built from (empty otherwise).
std::vector<std::filesystem::path> assetRootCandidates();

// Makes the folder that holds the demo's assets/ the working directory: the working directory itself, else
// the first of `candidates` that has one. When none has, prints one line naming where it looked
// and returns false; the front end then exits with 1.
bool enterAssetRoot(const std::vector<std::filesystem::path>& candidates = assetRootCandidates());
