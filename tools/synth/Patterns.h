#pragma once

#include "Harmony.h"
#include "Score.h"

// Bar-level building blocks of the score. Each writes `bars` bars from `bar` on; chords come
// from the progression at (absolute bar mod its length), so every section picks up the
// progression where the song stands.
namespace patterns {

// Drums.
void kicks(Score& score, int bar, int bars, float velocity = 1.0f);
void heartbeat(Score& score, int bar, int bars, float velocity);  // soft "lub-dub" in the cave
void softPulse(Score& score, double from, double to, float fromVelocity, float toVelocity);
void backbeat(Score& score, int bar, int bars, float velocity, bool clap);
void ghostSnares(Score& score, int bar, int bars);
void closedHats(Score& score, int bar, int bars, float velocity, bool leaveOffbeats);
void openHats(Score& score, int bar, int bars, float velocity);
void shakers(Score& score, int bar, int bars, float velocity);
void rims(Score& score, int bar, int bars, float velocity);
void tumblingToms(Score& score, int bar, int bars, float velocity);
void snareRoll(Score& score, double bar, double bars, float fromVelocity, float toVelocity);
void tomFill(Score& score, int bar);
void crash(Score& score, int bar, float velocity = 1.0f, bool impact = false);

// Bass.
void offbeatBass(Score& score, int bar, int bars, const Progression& chords, int transpose = 0);
void rollingBass(Score& score, int bar, int bars, const Progression& chords, int transpose = 0);
void heldRoots(Score& score, Part part, int bar, int bars, const Progression& chords,
               float velocity, int transpose = 0);

// Harmony.
void pads(Score& score, int bar, int bars, const Progression& chords, float velocity,
          int transpose = 0);
void arpeggio(Score& score, int bar, int bars, const Progression& chords, float velocity,
              int stepsPerNote, int transpose = 0);
void stabs(Score& score, int bar, int bars, const Progression& chords, float velocity,
           int transpose = 0);
void acid(Score& score, int bar, int bars, const Progression& chords, int transpose = 0);

// A phrase from its first note; notes outside [fromStep, toStep) are left out. `legato` is the
// share of each note's length that sounds before release.
void phrase(Score& score, Part part, int bar, const Phrase& notes, float velocity,
            int transpose = 0, int fromStep = 0, int toStep = 1 << 20, double legato = 0.92);

}  // namespace patterns
