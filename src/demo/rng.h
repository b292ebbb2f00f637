// A small deterministic random source. The demo must come out the same for
// the same seed on every machine, so it uses no standard distributions
// (their results differ between libraries) and derives a stream for each
// report from the seed and the report's key.
#pragma once

#include <cmath>
#include <cstdint>
#include <initializer_list>

namespace tavir::demo {

inline uint64_t mix64(uint64_t x) {
    x += 0x9E3779B97F4A7C15ull;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ull;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBull;
    return x ^ (x >> 31);
}

// A hash of the parts, for seeding the stream of one report or one facility.
inline uint64_t keyOf(std::initializer_list<int64_t> parts) {
    uint64_t h = 0x5DEECE66Dull;
    for (int64_t p : parts) h = mix64(h ^ static_cast<uint64_t>(p));
    return h;
}

class Rng {
public:
    explicit Rng(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        state_ += 0x9E3779B97F4A7C15ull;
        return mix64(state_);
    }
    // Uniform in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double uniform(double lo, double hi) { return lo + (hi - lo) * unit(); }
    // Uniform integer from lo to hi inclusive.
    int64_t between(int64_t lo, int64_t hi) { return lo + static_cast<int64_t>(next() % static_cast<uint64_t>(hi - lo + 1)); }
    bool chance(double p) { return unit() < p; }
    // A whole multiple of `step` whose expected value is x (x >= 0).
    int64_t roundRandom(double x, int64_t step) {
        if (x <= 0) return 0;
        const double units = x / static_cast<double>(step);
        return (static_cast<int64_t>(std::floor(units + unit()))) * step;
    }

private:
    uint64_t state_;
};

}  // namespace tavir::demo
