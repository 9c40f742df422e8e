#pragma once
#include <string>

// A music position as the command lines take it: seconds ("12.5"), or bars with a 'b' suffix
// ("20b", "7.5b"). False for anything else, a negative time, or one beyond any seek.
bool parseMusicTime(const std::string& text, double& seconds);
