#pragma once
#include <string>

// Test soundtracks: an MP3 (LAME, with the gapless header) of silence with a click every
// `interval` seconds from 0 on. Each click is 10 ms of a 1 kHz sine at amplitude 0.8, starting
// at zero phase so its onset is sharp. Returns false when the file cannot be written.
bool writeClickTrack(const std::string& path, double seconds, int rate = 44100, int channels = 2,
                     double interval = 0.5);
// The same, with a steady sine of `frequency` Hz at amplitude 0.5 throughout: any step in what a
// player hands the device stands out against its small sample-to-sample change.
bool writeToneTrack(const std::string& path, double seconds, int rate, int channels,
                    double frequency);
