#pragma once

#include <cstddef>
#include <vector>

// Listening proxies for a decoded soundtrack: where the kicks land, how bright a stretch is, and
// whether a stretch holds a step that no instrument would make.
namespace analysis {

std::vector<float> mono(const std::vector<float>& left, const std::vector<float>& right);

// Energy of the band from 120 Hz to 1 kHz, where a kick's attack lives: the hats lie above it,
// and the long low tails of kicks, sub bass and booms below it.
std::vector<float> kickBandEnergy(const std::vector<float>& signal, double rate);

// Energy below 150 Hz, where a kick's body sits once its pitch has fallen: the click and the
// first milliseconds of the sweep lie above it.
std::vector<float> kickBodyEnergy(const std::vector<float>& signal, double rate);

struct Onset {
    double seconds = 0.0;
    double riseDb = 0.0;  // energy just after the onset over the energy just before it
};

// The largest energy rise in [centre - halfWidth, centre + halfWidth]: the point where the
// energy of the next 8 ms most exceeds that of the previous 8 ms. For a sound that starts
// abruptly the difference peaks exactly at its start, with no bias either way.
Onset onsetNear(const std::vector<float>& energy, double rate, double centreSeconds,
                double halfWidthSeconds);

// Magnitude-weighted mean frequency of the stretch [begin, end), in Hz.
double spectralCentroid(const std::vector<float>& signal, double rate, size_t begin, size_t end);

// Largest sample-to-sample step within [begin, end) of either channel.
float largestStep(const std::vector<float>& left, const std::vector<float>& right, size_t begin,
                  size_t end);

// How far the step at a bar line stands out: the largest step within 3 ms of the line, over the
// larger of the steps at the bar's other three beats (the same kick plays there) and the
// typical largest step of 2 ms stretches over the bar and the one before. A click where a
// pattern ends or begins lifts this well above 1; music alone keeps it near or below 1.
double barLineStepRatio(const std::vector<float>& left, const std::vector<float>& right,
                        double rate, double secondsPerBar, int bar);

}  // namespace analysis
