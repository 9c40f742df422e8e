#pragma once

#include <string>
#include <vector>

// Every picture the demo loads, plus the launcher picture and icon, by file name under the
// output directory.
std::vector<std::string> imageFileNames();

// Writes the pictures whose names are listed (all when `only` is empty) into `outputDir`
// (and its launcher/ folder). Returns false when a font is missing or a file cannot be written.
bool generateImages(const std::string& outputDir, const std::string& fontDir,
                    const std::vector<std::string>& only);
