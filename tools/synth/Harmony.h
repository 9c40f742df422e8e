#pragma once

#include <array>
#include <vector>

// A chord as the bass plays it (its root, low) and as the pads voice it (four notes around
// middle C, chosen so that neighbouring chords move by small steps).
struct Chord {
    int root;
    std::array<int, 4> voicing;

    Chord transposed(int semitones) const;
};

// One chord per bar.
using Progression = std::vector<Chord>;

// A note of a phrase, in 16ths from the start of the phrase.
struct PhraseNote {
    int step;
    int length;
    int pitch;
};
using Phrase = std::vector<PhraseNote>;

namespace harmony {

// A minor: i - VI - III - VII, the song's home progression.
Progression hook();
// i - VI - iv - V: the driving section's turn to the dominant.
Progression drive();
// VI - VII - v - i: the melodic section and the variation of the big drop.
Progression lift();
// i - bII in the low register: the cave.
Progression cave();
// Out of the cave: i - i - VI - V, the major dominant pulling into the big drop.
Progression caveBuild();
// Sevenths and ninths, two bars each: the temple.
Progression temple();

// The eight-bar lead hook over hook(): "C C B, A E A".
Phrase hookMelody();
// The answer after the first drop's change of pattern, four bars over hook().
Phrase answerMelody();
// The theme of the melodic section, eight bars over lift().
Phrase liftMelody();
// The hook's rhythm over lift(), eight bars: the big drop's variation.
Phrase variationMelody();
// The hook slowed down for the temple, eight bars over temple().
Phrase templeMelody();

}  // namespace harmony
