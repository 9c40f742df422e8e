#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Opening an asset the way every reader does: without waiting (a FIFO in place of a file would
// block the open until someone writes to it), only a regular file (not a device such as
// /dev/zero, which never ends, nor a folder), and no larger than any asset the demo could have.

// Far above the largest asset (the soundtrack, about 8 MB).
constexpr std::uint64_t kMaxAssetBytes = 64ull * 1024 * 1024;

// The open file, or null with `why` in a few words ("it is not a regular file"); `why` is empty
// when the file is simply missing or unreadable, so callers can keep their plain line for that.
std::FILE* openAssetFile(const std::string& path, std::string& why);
// The whole file, read with the cap (a file that grows while it is read stops at it). False with
// `why` as above.
bool readAssetFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& why);
