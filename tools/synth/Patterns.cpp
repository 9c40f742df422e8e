#include "Patterns.h"

#include <cstdint>

#include "Noise.h"
#include "Timeline.h"

namespace patterns {

namespace {

constexpr double kStep = timeline::kStep;

double at(int bar, double step) {
    return bar + step * kStep;
}

const Chord& chordAt(const Progression& chords, int bar) {
    return chords[static_cast<size_t>(bar) % chords.size()];
}

// Small, repeatable velocity variations: a played groove rather than a machine gun.
float humanise(float velocity, double position) {
    Noise n(static_cast<uint32_t>(position * 4096.0) * 2654435761u + 1u);
    return velocity * (0.9f + 0.2f * n.unit());
}

}  // namespace

void kicks(Score& score, int bar, int bars, float velocity) {
    for (int b = bar; b < bar + bars; ++b)
        for (int beat = 0; beat < 4; ++beat) score.hit(at(b, beat * 4), Drum::Kick, velocity);
}

void heartbeat(Score& score, int bar, int bars, float velocity) {
    for (int b = bar; b < bar + bars; ++b) {
        score.hit(at(b, 0), Drum::SoftKick, velocity);
        score.hit(at(b, 3), Drum::SoftKick, velocity * 0.6f);
    }
}

void softPulse(Score& score, double from, double to, float fromVelocity, float toVelocity) {
    for (double beat = from * 4.0; beat < to * 4.0 - 1e-9; beat += 1.0) {
        const double p = (beat / 4.0 - from) / (to - from);
        score.hit(beat / 4.0, Drum::SoftKick,
                  static_cast<float>(fromVelocity + (toVelocity - fromVelocity) * p));
    }
}

void backbeat(Score& score, int bar, int bars, float velocity, bool clap) {
    for (int b = bar; b < bar + bars; ++b)
        for (int step : {4, 12}) {
            score.hit(at(b, step), Drum::Snare, velocity);
            if (clap) score.hit(at(b, step), Drum::Clap, velocity * 0.8f);
        }
}

void ghostSnares(Score& score, int bar, int bars) {
    for (int b = bar; b < bar + bars; ++b) {
        score.hit(at(b, 7), Drum::Snare, humanise(0.16f, at(b, 7)));
        score.hit(at(b, 13), Drum::Snare, humanise(0.13f, at(b, 13)));
        if (b % 2 == 1) score.hit(at(b, 15), Drum::Snare, humanise(0.2f, at(b, 15)));
    }
}

void closedHats(Score& score, int bar, int bars, float velocity, bool leaveOffbeats) {
    // Accent pattern within a beat: down, e, and, a.
    static const float kAccent[4] = {0.75f, 0.4f, 1.0f, 0.45f};
    for (int b = bar; b < bar + bars; ++b)
        for (int step = 0; step < 16; ++step) {
            if (leaveOffbeats && step % 4 == 2) continue;
            score.hit(at(b, step), Drum::ClosedHat,
                      humanise(velocity * kAccent[step % 4], at(b, step)));
        }
}

void openHats(Score& score, int bar, int bars, float velocity) {
    for (int b = bar; b < bar + bars; ++b)
        for (int step = 2; step < 16; step += 4)
            score.hit(at(b, step), Drum::OpenHat, humanise(velocity, at(b, step)));
}

void shakers(Score& score, int bar, int bars, float velocity) {
    static const float kAccent[4] = {0.5f, 0.8f, 0.6f, 1.0f};
    for (int b = bar; b < bar + bars; ++b)
        for (int step = 0; step < 16; ++step)
            score.hit(at(b, step), Drum::Shaker,
                      humanise(velocity * kAccent[step % 4], at(b, step) + 0.5));
}

void rims(Score& score, int bar, int bars, float velocity) {
    for (int b = bar; b < bar + bars; ++b) {
        score.hit(at(b, 4), Drum::Rim, velocity);
        score.hit(at(b, 12), Drum::Rim, velocity);
        score.hit(at(b, 14), Drum::Rim, velocity * 0.5f);
    }
}

void tumblingToms(Score& score, int bar, int bars, float velocity) {
    for (int b = bar; b < bar + bars; ++b) {
        score.hit(at(b, 3), Drum::TomHigh, velocity * 0.7f);
        score.hit(at(b, 7), Drum::TomMid, velocity);
        score.hit(at(b, 11), Drum::TomMid, velocity * 0.6f);
        score.hit(at(b, 15), Drum::TomLow, velocity);
    }
}

void snareRoll(Score& score, double bar, double bars, float fromVelocity, float toVelocity) {
    // Eighths, then sixteenths, then thirty-seconds over the last quarter of the roll.
    const double length = bars;
    double pos = 0.0;
    while (pos < length - 1e-9) {
        const double p = pos / length;
        const float v = static_cast<float>(fromVelocity + (toVelocity - fromVelocity) * p);
        score.hit(bar + pos, Drum::Snare, v);
        const double spacing = p < 0.5 ? 2.0 * kStep : (p < 0.75 ? kStep : 0.5 * kStep);
        pos += spacing;
    }
}

void tomFill(Score& score, int bar) {
    score.hit(at(bar, 12), Drum::Snare, 0.8f);
    score.hit(at(bar, 13), Drum::TomHigh, 0.85f);
    score.hit(at(bar, 14), Drum::TomMid, 0.9f);
    score.hit(at(bar, 15), Drum::TomLow, 1.0f);
}

void crash(Score& score, int bar, float velocity, bool impact) {
    score.hit(bar, Drum::Crash, velocity);
    if (impact) score.hit(bar, Drum::Impact, velocity);
}

void offbeatBass(Score& score, int bar, int bars, const Progression& chords, int transpose) {
    for (int b = bar; b < bar + bars; ++b) {
        const int root = chordAt(chords, b).root + transpose;
        for (int step = 2; step < 16; step += 4) {
            // Every other bar the last off-beat jumps an octave, pushing into the next bar.
            const int pitch = (b % 2 == 1 && step == 14) ? root + 12 : root;
            score.note(Part::Bass, at(b, step), 1.6 * kStep, pitch, 1.0f);
        }
    }
}

void rollingBass(Score& score, int bar, int bars, const Progression& chords, int transpose) {
    for (int b = bar; b < bar + bars; ++b) {
        const int root = chordAt(chords, b).root + transpose;
        for (int step = 0; step < 16; ++step) {
            if (step % 4 == 0) continue;  // the kick's place
            const int pitch = (b % 2 == 1 && step == 15) ? root + 12 : root;
            const float velocity = step % 4 == 1 ? 0.8f : 1.0f;
            score.note(Part::Bass, at(b, step), 0.8 * kStep, pitch, velocity);
        }
    }
}

void heldRoots(Score& score, Part part, int bar, int bars, const Progression& chords,
               float velocity, int transpose) {
    int start = bar;
    for (int b = bar + 1; b <= bar + bars; ++b) {
        if (b < bar + bars && chordAt(chords, b).root == chordAt(chords, start).root) continue;
        score.note(part, start, b - start, chordAt(chords, start).root + transpose, velocity);
        start = b;
    }
}

void pads(Score& score, int bar, int bars, const Progression& chords, float velocity,
          int transpose) {
    int start = bar;
    for (int b = bar + 1; b <= bar + bars; ++b) {
        if (b < bar + bars && chordAt(chords, b).voicing == chordAt(chords, start).voicing)
            continue;
        for (int pitch : chordAt(chords, start).voicing)
            score.note(Part::Pad, start, b - start, pitch + transpose, velocity);
        start = b;
    }
}

void arpeggio(Score& score, int bar, int bars, const Progression& chords, float velocity,
              int stepsPerNote, int transpose) {
    static const int kOrder[8] = {0, 1, 2, 3,
                                  4, 3, 2, 1};  // up and back; 4 is the root an octave up
    int index = 0;
    for (int b = bar; b < bar + bars; ++b) {
        const Chord& c = chordAt(chords, b);
        for (int step = 0; step < 16; step += stepsPerNote, ++index) {
            const int k = kOrder[index % 8];
            const int pitch = (k == 4 ? c.voicing[0] + 12 : c.voicing[k]) + 12 + transpose;
            const float accent = step % 4 == 2 ? 1.0f : 0.75f;
            score.note(Part::Arp, at(b, step), 0.7 * kStep * stepsPerNote, pitch,
                       velocity * accent);
        }
    }
}

void stabs(Score& score, int bar, int bars, const Progression& chords, float velocity,
           int transpose) {
    for (int b = bar; b < bar + bars; ++b)
        for (int step : {3, 6, 10, 13})
            for (int pitch : chordAt(chords, b).voicing)
                score.note(Part::Stab, at(b, step), 1.2 * kStep, pitch + 12 + transpose, velocity);
}

void acid(Score& score, int bar, int bars, const Progression& chords, int transpose) {
    // Root, fifth and octaves only: they fit every chord the line runs under.
    static const int kLine[16] = {0, 0, 12, 0, 7, 0, 12, 7, 0, 0, 12, 0, 7, 12, 0, 19};
    static const float kAccent[16] = {1, .6f, .9f, .6f, .8f, .6f, 1,   .7f,
                                      1, .6f, .9f, .6f, .8f, .6f, .9f, 1};
    for (int b = bar; b < bar + bars; ++b) {
        const int root = chordAt(chords, b).root + 12 + transpose;
        for (int step = 0; step < 16; ++step)
            score.note(Part::Acid, at(b, step), 0.7 * kStep, root + kLine[step], kAccent[step]);
    }
}

void phrase(Score& score, Part part, int bar, const Phrase& notes, float velocity, int transpose,
            int fromStep, int toStep, double legato) {
    for (const PhraseNote& n : notes) {
        if (n.step < fromStep || n.step >= toStep) continue;
        score.note(part, at(bar, n.step - fromStep), n.length * kStep * legato, n.pitch + transpose,
                   velocity);
    }
}

}  // namespace patterns
