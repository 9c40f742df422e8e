#include "Adsr.h"

#include <cmath>

namespace {

double heldLevel(const Adsr& env, double t) {
    if (t < 0.0) return 0.0;
    if (t < env.attack) return t / env.attack;
    const double sinceAttack = t - env.attack;
    if (env.decay <= 0.0) return env.sustain;
    return env.sustain + (1.0 - env.sustain) * std::exp(-sinceAttack / env.decay);
}

}  // namespace

double Adsr::level(double t, double gate) const {
    if (t < gate) return heldLevel(*this, t);
    const double r = release > 0.0 ? (t - gate) / release : 1.0;
    if (r >= 1.0) return 0.0;
    // Quadratic fall: steep at first like an exponential, but it lands on zero.
    const double fall = (1.0 - r) * (1.0 - r);
    return heldLevel(*this, gate) * fall;
}
