// The song, section by section. Scene changes of the demo fall on the bar numbers below; one bar
// is four beats at the demo's tempo (1.3483 s).
#include "Harmony.h"
#include "Patterns.h"
#include "Pitches.h"
#include "Score.h"

using namespace patterns;
using namespace pitch;

namespace {

// Bars 0-8: atmosphere over the home progression, a soft pulse on every beat, the hook teased on
// bells; bars 6-8 build into the first drop. Every build in the song stops just short of its
// drop (the roll a beat early, the risers an eighth early), so the drop lands in a gap.
void intro(Score& s) {
    const Progression home = harmony::hook();
    softPulse(s, 0.0, 7.5, 0.5, 0.85);
    pads(s, 0, 8, home, 0.8f);
    heldRoots(s, Part::Sub, 4, 4, home, 0.5f);
    s.sweeps.push_back({0.0, 8.0, Sweep::Kind::Wind, 0.22f});
    arpeggio(s, 2, 6, home, 0.35f, 2);
    phrase(s, Part::Bell, 4, harmony::hookMelody(), 0.5f, 0, 0, 32);
    // The build.
    closedHats(s, 6, 2, 0.35f, false);
    snareRoll(s, 6, 1.75, 0.15f, 0.85f);
    s.sweeps.push_back({6.0, 7.875, Sweep::Kind::NoiseRiser, 0.5f});
    s.sweeps.push_back({7.0, 7.875, Sweep::Kind::PitchRiser, 0.35f, A3});
}

// Bars 8-22: the first drop (a white flash), the hook over an off-beat bass; at 16 the pattern
// changes to a rolling bass, tumbling toms and the hook's answer while the canyon tumbles.
void firstDrop(Score& s) {
    const Progression home = harmony::hook();
    crash(s, 8, 1.0f, true);
    s.sweeps.push_back({8.0, 10.0, Sweep::Kind::NoiseFall, 0.3f});
    kicks(s, 8, 14);
    backbeat(s, 8, 14, 1.0f, true);
    ghostSnares(s, 8, 14);
    closedHats(s, 8, 8, 0.6f, true);
    openHats(s, 8, 8, 0.55f);
    offbeatBass(s, 8, 8, home);
    pads(s, 8, 14, home, 0.7f);
    arpeggio(s, 8, 14, home, 0.4f, 1);
    phrase(s, Part::Lead, 8, harmony::hookMelody(), 1.0f);
    tomFill(s, 15);

    crash(s, 16);
    rollingBass(s, 16, 6, home);
    closedHats(s, 16, 6, 0.7f, false);
    openHats(s, 16, 6, 0.35f);
    shakers(s, 16, 6, 0.4f);
    tumblingToms(s, 16, 6, 0.35f);
    phrase(s, Part::Lead, 16, harmony::answerMelody(), 1.0f);
    phrase(s, Part::Lead, 20, harmony::answerMelody(), 1.0f, 0, 0, 32);
    tomFill(s, 21);
}

// Bars 22-24: two bars of break; the drums stop, the hook rings on bells, a roll and a riser
// wind up the driving section.
void firstBreak(Score& s) {
    const Progression home = harmony::hook();
    pads(s, 22, 2, home, 0.8f);
    heldRoots(s, Part::Sub, 22, 2, home, 0.7f);
    phrase(s, Part::Bell, 22, harmony::hookMelody(), 0.6f, 0, 0, 32);
    snareRoll(s, 23, 0.75, 0.3f, 1.0f);
    s.sweeps.push_back({22.0, 23.875, Sweep::Kind::NoiseRiser, 0.45f});
    s.sweeps.push_back({23.0, 23.875, Sweep::Kind::PitchRiser, 0.35f, G3});
}

// Bars 24-40: driving, a rolling bass under stabs and a busy arpeggio; from 32 the harmony turns
// to the dominant, claps, open hats and an acid line join.
void drive(Score& s) {
    const Progression home = harmony::hook();
    const Progression dark = harmony::drive();
    crash(s, 24, 1.0f, true);
    kicks(s, 24, 16);
    backbeat(s, 24, 8, 0.85f, false);
    backbeat(s, 32, 8, 1.0f, true);
    ghostSnares(s, 24, 16);
    closedHats(s, 24, 8, 0.65f, false);
    closedHats(s, 32, 8, 0.6f, true);
    openHats(s, 32, 8, 0.55f);
    shakers(s, 24, 16, 0.4f);
    rollingBass(s, 24, 8, home);
    rollingBass(s, 32, 8, dark);
    pads(s, 24, 8, home, 0.5f);
    pads(s, 32, 8, dark, 0.55f);
    arpeggio(s, 24, 8, home, 0.55f, 1);
    arpeggio(s, 32, 8, dark, 0.6f, 1);
    stabs(s, 24, 8, home, 0.45f);
    stabs(s, 32, 8, dark, 0.6f);
    tomFill(s, 31);
    crash(s, 32, 1.0f, true);
    acid(s, 32, 8, dark);
    tomFill(s, 39);
    s.sweeps.push_back({38.0, 39.875, Sweep::Kind::NoiseRiser, 0.3f});
}

// Bars 40-56: the melodic section. A theme on bells over pads; at 44 the kick and bass lift it,
// at 48 the full kit and the lead take the theme; 54-56 close down into the cave.
void melodic(Score& s) {
    const Progression lift = harmony::lift();
    crash(s, 40, 0.6f);
    pads(s, 40, 16, lift, 0.75f);
    heldRoots(s, Part::Sub, 40, 4, lift, 0.7f);
    phrase(s, Part::Bell, 40, harmony::liftMelody(), 0.7f);
    shakers(s, 40, 14, 0.3f);
    rims(s, 40, 4, 0.35f);

    crash(s, 44, 0.7f);
    kicks(s, 44, 10);
    offbeatBass(s, 44, 10, lift);
    closedHats(s, 44, 10, 0.5f, true);
    arpeggio(s, 44, 12, lift, 0.45f, 1);

    crash(s, 48, 1.0f, true);
    backbeat(s, 48, 6, 0.9f, true);
    ghostSnares(s, 48, 6);
    openHats(s, 48, 6, 0.5f);
    phrase(s, Part::Lead, 48, harmony::liftMelody(), 0.95f);
    phrase(s, Part::Bell, 48, harmony::liftMelody(), 0.4f, 12);
    heldRoots(s, Part::Sub, 54, 2, lift, 0.6f);
    s.sweeps.push_back({54.0, 56.0, Sweep::Kind::NoiseFall, 0.35f});
    // The fade is undone over the cave's first bars, so that no level ever jumps.
    for (Part p : {Part::Lead, Part::Pad, Part::Arp, Part::Bell}) {
        s.levelOf(p).add(54.0, 1.0);
        s.levelOf(p).add(56.0, 0.3);
        s.levelOf(p).add(57.5, 1.0);
    }
}

// Bars 56-72: the cave. A low drone, dark pads, a heartbeat, stray bell drops; from 68 the kick
// returns and everything winds up into the big drop.
void cave(Score& s) {
    const Progression low = harmony::cave();
    const Progression up = harmony::caveBuild();
    pads(s, 56, 12, low, 0.55f, -12);
    heldRoots(s, Part::Sub, 56, 12, low, 0.6f);
    s.sweeps.push_back({56.0, 64.0, Sweep::Kind::Wind, 0.16f});
    s.sweeps.push_back({64.0, 72.0, Sweep::Kind::Wind, 0.16f});
    heartbeat(s, 57, 11, 0.55f);
    for (int b = 57; b < 68; b += 2) s.hit(b + 0.625, Drum::TomLow, 0.35f);
    // One drop every two bars, a tone of the chord beneath it (A minor, B flat, ...).
    const int drops[] = {E5, D5, C5, F5, A4, D5};
    for (int i = 0; i < 6; ++i) s.note(Part::Bell, 57 + 2 * i + 0.5, 0.25, drops[i], 0.35f);

    pads(s, 68, 4, up, 0.8f, -12);
    heldRoots(s, Part::Sub, 68, 2, up, 0.8f);
    kicks(s, 68, 4, 0.9f);
    rollingBass(s, 70, 2, up);
    acid(s, 68, 4, up);
    closedHats(s, 70, 2, 0.4f, false);
    snareRoll(s, 70, 1.75, 0.2f, 1.0f);
    s.sweeps.push_back({68.0, 71.875, Sweep::Kind::NoiseRiser, 0.55f});
    s.sweeps.push_back({70.0, 71.875, Sweep::Kind::PitchRiser, 0.4f, E3});
}

// The full kit for a drop over `chords`, bars [bar, bar + bars).
void fullKit(Score& s, int bar, int bars) {
    kicks(s, bar, bars);
    backbeat(s, bar, bars, 1.0f, true);
    ghostSnares(s, bar, bars);
    closedHats(s, bar, bars, 0.6f, true);
    openHats(s, bar, bars, 0.6f);
}

// Bars 72-104: the big drop (a white flash; the picture pulses on the odd beats, which carry the
// snare and clap). 88-96 varies the harmony and melody; 96-104 is the peak.
void bigDrop(Score& s) {
    const Progression home = harmony::hook();
    const Progression lift = harmony::lift();
    crash(s, 72, 1.0f, true);
    s.sweeps.push_back({72.0, 74.0, Sweep::Kind::NoiseFall, 0.3f});
    fullKit(s, 72, 16);
    for (int b = 72; b < 88; ++b)
        for (int step : {4, 12}) s.hit(b + step / 16.0, Drum::Clap, 0.5f);
    offbeatBass(s, 72, 16, home);
    pads(s, 72, 16, home, 0.75f);
    arpeggio(s, 72, 16, home, 0.5f, 1);
    phrase(s, Part::Lead, 72, harmony::hookMelody(), 1.0f);
    phrase(s, Part::Lead, 80, harmony::hookMelody(), 1.0f);
    phrase(s, Part::Lead, 80, harmony::hookMelody(), 0.4f, 12);
    tomFill(s, 79);
    crash(s, 80);
    tomFill(s, 87);

    crash(s, 88, 1.0f, true);
    kicks(s, 88, 8);
    backbeat(s, 88, 8, 0.95f, true);
    ghostSnares(s, 88, 8);
    closedHats(s, 88, 8, 0.7f, false);
    openHats(s, 88, 8, 0.4f);
    shakers(s, 88, 8, 0.4f);
    tumblingToms(s, 88, 8, 0.3f);
    rollingBass(s, 88, 8, lift);
    pads(s, 88, 8, lift, 0.7f);
    arpeggio(s, 88, 8, lift, 0.5f, 1);
    stabs(s, 88, 8, lift, 0.4f);
    phrase(s, Part::Lead, 88, harmony::variationMelody(), 1.0f);
    snareRoll(s, 95, 0.75, 0.3f, 0.9f);
    s.sweeps.push_back({94.0, 95.875, Sweep::Kind::NoiseRiser, 0.4f});

    crash(s, 96, 1.0f, true);
    fullKit(s, 96, 8);
    shakers(s, 96, 8, 0.45f);
    offbeatBass(s, 96, 8, home);
    pads(s, 96, 8, home, 0.8f);
    arpeggio(s, 96, 8, home, 0.6f, 1);
    stabs(s, 96, 8, home, 0.45f);
    phrase(s, Part::Lead, 96, harmony::hookMelody(), 1.0f);
    phrase(s, Part::Lead, 96, harmony::hookMelody(), 0.5f, 12);
    tomFill(s, 103);
}

// Bars 104-120: the temple, calm and deep: ninth chords, a held sub, the hook slowed down on
// bells, later a soft arpeggio and shaker; a roll and riser lead into the final key change.
void temple(Score& s) {
    const Progression deep = harmony::temple();
    crash(s, 104, 0.6f);
    s.sweeps.push_back({104.0, 106.0, Sweep::Kind::NoiseFall, 0.3f});
    pads(s, 104, 16, deep, 0.6f);
    heldRoots(s, Part::Sub, 104, 16, deep, 0.6f);
    s.sweeps.push_back({104.0, 120.0, Sweep::Kind::Wind, 0.12f});
    phrase(s, Part::Bell, 104, harmony::templeMelody(), 0.6f);
    phrase(s, Part::Bell, 112, harmony::templeMelody(), 0.6f);
    arpeggio(s, 112, 8, deep, 0.3f, 2);
    shakers(s, 112, 7, 0.22f);
    snareRoll(s, 119, 0.75, 0.25f, 0.9f);
    s.sweeps.push_back({118.0, 119.875, Sweep::Kind::NoiseRiser, 0.45f});
    s.sweeps.push_back({119.0, 119.875, Sweep::Kind::PitchRiser, 0.35f, B2});
}

// Bars 120-136: the final climax, the hook a whole tone up in B minor with the full kit.
void finale(Score& s) {
    const Progression home = harmony::hook();
    constexpr int kUp = 2;
    crash(s, 120, 1.0f, true);
    fullKit(s, 120, 16);
    shakers(s, 128, 8, 0.45f);
    offbeatBass(s, 120, 16, home, kUp);
    pads(s, 120, 16, home, 0.8f, kUp);
    arpeggio(s, 120, 16, home, 0.55f, 1, kUp);
    stabs(s, 128, 8, home, 0.45f, kUp);
    phrase(s, Part::Lead, 120, harmony::hookMelody(), 1.0f, kUp);
    phrase(s, Part::Lead, 128, harmony::hookMelody(), 1.0f, kUp);
    phrase(s, Part::Lead, 128, harmony::hookMelody(), 0.5f, kUp + 12);
    tomFill(s, 127);
    crash(s, 128, 1.0f, true);
    tomFill(s, 135);
}

// Bars 136-142: one last hit and the B minor chord left to ring out into silence.
void ending(Score& s) {
    const Progression home = harmony::hook();
    constexpr int kUp = 2;
    s.hit(136.0, Drum::Kick);
    crash(s, 136, 1.0f, true);
    pads(s, 136, 4, Progression{home[0]}, 0.8f, kUp);
    s.note(Part::Sub, 136.0, 4.0, B1, 0.8f);
    s.note(Part::Lead, 136.0, 1.5, B5, 0.8f);
    s.note(Part::Bell, 136.0, 2.0, B5, 0.5f);
    s.note(Part::Bell, 136.5, 2.0, Fs5, 0.4f);
    s.note(Part::Bell, 137.0, 2.0, D5, 0.35f);
    for (Part p : {Part::Pad, Part::Sub}) {
        s.levelOf(p).add(137.0, 1.0);
        s.levelOf(p).add(141.0, 0.0);
    }
}

}  // namespace

Score composeSoundtrack() {
    Score s;
    intro(s);
    firstDrop(s);
    firstBreak(s);
    drive(s);
    melodic(s);
    cave(s);
    bigDrop(s);
    temple(s);
    finale(s);
    ending(s);

    // Filter brightness over the song: closed in the intro and the cave, open in the drops.
    s.brightnessOf(Part::Pad) =
        Automation{{0, 0.2},     {6, 0.45},  {8, 1.0},     {22, 0.7},  {24, 1.0},
                   {54, 1.0},    {56, 0.25}, {68, 0.25},   {72, 1.0},  {104, 1.0},
                   {104.5, 0.5}, {120, 0.6}, {120.5, 1.1}, {136, 1.0}, {141, 0.3}};
    s.brightnessOf(Part::Arp) =
        Automation{{2, 0.25}, {8, 0.7},  {24, 0.5}, {32, 1.0},  {40, 1.2},  {44, 0.7},  {54, 1.0},
                   {56, 0.3}, {72, 1.0}, {96, 1.0}, {104, 1.3}, {112, 0.4}, {120, 1.0}, {136, 1.2}};
    s.brightnessOf(Part::Acid) = Automation{{32, 0.35}, {40, 2.2}, {68, 0.3}, {72, 2.5}};
    s.brightnessOf(Part::Lead) =
        Automation{{48, 0.8}, {54, 1.0}, {56, 0.25}, {72, 1.0}, {136, 1.0}, {138, 0.4}};
    s.brightnessOf(Part::Stab) = Automation{{24, 0.6}, {40, 1.2}, {88, 0.9}, {104, 1.0}};
    return s;
}
