#pragma once

#include <array>
#include <cstddef>
#include <vector>

#include "Automation.h"
#include "DrumKit.h"
#include "NoteEvent.h"
#include "Sweep.h"

// The melodic instruments of the song, each one track of the mix.
enum class Part { Bass, Sub, Lead, Pad, Arp, Stab, Acid, Bell, Count };
constexpr size_t kPartCount = static_cast<size_t>(Part::Count);

// Everything the song plays: notes per part, drum hits, sweeps, and per-part automation of
// level and filter brightness over the bars.
struct Score {
    std::array<std::vector<NoteEvent>, kPartCount> notes;
    std::vector<DrumHit> drums;
    std::vector<Sweep> sweeps;
    std::array<Automation, kPartCount> level;
    std::array<Automation, kPartCount> brightness;

    std::vector<NoteEvent>& part(Part p) { return notes[static_cast<size_t>(p)]; }
    const std::vector<NoteEvent>& part(Part p) const { return notes[static_cast<size_t>(p)]; }
    Automation& levelOf(Part p) { return level[static_cast<size_t>(p)]; }
    Automation& brightnessOf(Part p) { return brightness[static_cast<size_t>(p)]; }

    void note(Part p, double bar, double length, int pitch, float velocity = 1.0f) {
        part(p).push_back({bar, length, pitch, velocity});
    }
    void hit(double bar, Drum drum, float velocity = 1.0f) {
        drums.push_back({bar, drum, velocity});
    }
};

// The Velmora soundtrack, bar by bar.
Score composeSoundtrack();
