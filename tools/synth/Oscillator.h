#pragma once

// One band-limited oscillator. Saw, square and pulse use polynomial band-limited steps at their
// discontinuities, so high notes do not fold back into audible aliasing.
class Oscillator {
public:
    enum class Shape { Sine, Saw, Square, Pulse, Triangle };

    Oscillator(Shape shape, double startPhase = 0.0, double pulseWidth = 0.5);

    // Advances by one sample at `frequency` Hz and returns the next value in [-1, 1].
    float next(double frequency);

    void setPulseWidth(double width);

private:
    Shape shape_;
    double phase_;
    double pulseWidth_;
};
