#pragma once
#include <string>

// Whether the file at `path` is a whole MP4 (or QuickTime) file: it starts with its "ftyp" box,
// holds the "moov" index a player needs, and its top-level boxes fill it exactly. A file that is
// not named .mp4, .m4v or .mov only has to be non-empty. False with the reason in `why`.
bool completeMp4(const std::string& path, std::string& why);
