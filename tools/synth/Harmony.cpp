#include "Harmony.h"

#include "Pitches.h"

using namespace pitch;

Chord Chord::transposed(int semitones) const {
    Chord c = *this;
    c.root += semitones;
    for (int& n : c.voicing) n += semitones;
    return c;
}

namespace harmony {

namespace {
const Chord kAm{A1, {A3, C4, E4, A4}};
const Chord kF{F1, {A3, C4, F4, A4}};
const Chord kC{C2, {G3, C4, E4, G4}};
const Chord kG{G1, {G3, B3, D4, G4}};
const Chord kEm{E1, {G3, B3, E4, G4}};
const Chord kDm{D2, {A3, D4, F4, A4}};
const Chord kE{E1, {Gs3, B3, E4, Gs4}};
const Chord kAmLow{A1, {E3, A3, C4, E4}};
const Chord kBbLow{As1, {F3, As3, D4, F4}};
const Chord kFmaj9{F1, {A3, C4, E4, G4}};
const Chord kEm7{E1, {G3, B3, D4, E4}};
const Chord kDm9{D2, {F3, A3, C4, E4}};
const Chord kAm9{A1, {G3, B3, C4, E4}};
}  // namespace

Progression hook() {
    return {kAm, kF, kC, kG};
}
Progression drive() {
    return {kAm, kF, kDm, kE};
}
Progression lift() {
    return {kF, kG, kEm, kAm};
}
Progression cave() {
    return {kAmLow, kAmLow, kBbLow, kBbLow};
}
Progression caveBuild() {
    return {kAmLow, kAmLow, kF, kE};
}
Progression temple() {
    return {kFmaj9, kFmaj9, kEm7, kEm7, kDm9, kDm9, kAm9, kAm9};
}

// The hook phrases ride a 3-3-2 pattern of 16ths inside each half bar.
Phrase hookMelody() {
    return {
        {0, 3, C6},   {3, 3, C6},   {6, 2, B5},   {8, 3, A5},   {11, 3, E5},  {14, 2, A5},   // Am
        {16, 3, C6},  {19, 3, C6},  {22, 2, B5},  {24, 3, A5},  {27, 3, F5},  {30, 2, A5},   // F
        {32, 3, E6},  {35, 3, D6},  {38, 2, C6},  {40, 3, G5},  {43, 3, E5},  {46, 2, G5},   // C
        {48, 3, D6},  {51, 3, C6},  {54, 2, B5},  {56, 6, G5},  {62, 2, B5},                 // G
        {64, 3, C6},  {67, 3, C6},  {70, 2, B5},  {72, 3, A5},  {75, 3, E5},  {78, 2, A5},   // Am
        {80, 3, C6},  {83, 3, C6},  {86, 2, B5},  {88, 3, A5},  {91, 3, F5},  {94, 2, A5},   // F
        {96, 3, E6},  {99, 3, D6},  {102, 2, C6}, {104, 3, D6}, {107, 3, E6}, {110, 2, G6},  // C
        {112, 3, D6}, {115, 3, E6}, {118, 2, D6}, {120, 6, B5}, {126, 2, D6},                // G
    };
}

Phrase answerMelody() {
    return {
        {0, 2, A5},  {2, 2, C6},  {4, 2, E6},  {6, 4, A6},  {10, 2, G6}, {12, 4, E6},  // Am
        {16, 2, A5}, {18, 2, C6}, {20, 2, F6}, {22, 4, A6}, {26, 2, G6}, {28, 4, F6},  // F
        {32, 2, G5}, {34, 2, C6}, {36, 2, E6}, {38, 4, G6}, {42, 2, F6}, {44, 4, E6},  // C
        {48, 2, G5}, {50, 2, B5}, {52, 2, D6}, {54, 4, G6}, {58, 2, F6}, {60, 4, D6},  // G
    };
}

Phrase liftMelody() {
    return {
        {0, 6, A5},    {6, 2, G5},   {8, 4, A5},   {12, 4, C6},   // F
        {16, 6, B5},   {22, 2, A5},  {24, 4, G5},  {28, 4, D6},   // G
        {32, 6, E6},   {38, 2, D6},  {40, 4, B5},  {44, 4, G5},   // Em
        {48, 12, A5},  {60, 2, B5},  {62, 2, C6},                 // Am
        {64, 6, A5},   {70, 2, G5},  {72, 4, A5},  {76, 4, F6},   // F
        {80, 6, D6},   {86, 2, C6},  {88, 4, B5},  {92, 4, G5},   // G
        {96, 6, B5},   {102, 2, C6}, {104, 4, B5}, {108, 4, E5},  // Em
        {112, 16, A5},                                            // Am
    };
}

Phrase variationMelody() {
    return {
        {0, 3, C6},   {3, 3, A5},   {6, 2, C6},   {8, 3, F6},   {11, 3, E6},  {14, 2, C6},   // F
        {16, 3, D6},  {19, 3, B5},  {22, 2, D6},  {24, 3, G6},  {27, 3, D6},  {30, 2, B5},   // G
        {32, 3, E6},  {35, 3, B5},  {38, 2, E6},  {40, 3, G6},  {43, 3, E6},  {46, 2, B5},   // Em
        {48, 3, C6},  {51, 3, A5},  {54, 2, C6},  {56, 6, E6},  {62, 2, D6},                 // Am
        {64, 3, C6},  {67, 3, A5},  {70, 2, C6},  {72, 3, F6},  {75, 3, E6},  {78, 2, C6},   // F
        {80, 3, D6},  {83, 3, B5},  {86, 2, D6},  {88, 3, G6},  {91, 3, D6},  {94, 2, B5},   // G
        {96, 3, E6},  {99, 3, B5},  {102, 2, E6}, {104, 3, G6}, {107, 3, E6}, {110, 2, B5},  // Em
        {112, 3, E6}, {115, 3, D6}, {118, 2, C6}, {120, 3, B5}, {123, 3, G5}, {126, 2, B5},  // Am
    };
}

Phrase templeMelody() {
    return {
        {0, 6, C6},  {6, 6, C6},   {12, 4, B5},  {16, 16, A5},                // Fmaj9
        {32, 6, B5}, {38, 6, B5},  {44, 4, A5},  {48, 16, G5},                // Em7
        {64, 6, A5}, {70, 6, A5},  {76, 4, G5},  {80, 8, F5},   {88, 8, E5},  // Dm9
        {96, 6, E5}, {102, 6, G5}, {108, 4, B5}, {112, 16, A5},               // Am9
    };
}

}  // namespace harmony
