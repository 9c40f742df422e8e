#pragma once

// One note of the score. Positions and lengths are in bars (a 16th note is 0.0625).
struct NoteEvent {
    double bar = 0.0;
    double length = 0.0625;
    int pitch = 69;  // MIDI note number, 69 = A4
    float velocity = 1.0f;
};
