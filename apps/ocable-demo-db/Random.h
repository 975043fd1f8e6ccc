#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

namespace ocable::demo {

// xoshiro256** seeded through splitmix64. Our own generator and our own
// mappings to ranges, so that a seed gives the same network with any standard
// library (the std distributions differ between implementations).
class Random {
public:
    explicit Random(std::uint64_t seed) {
        for (auto& s : state_)
            s = splitmix(seed);
    }

    std::uint64_t next() {
        const std::uint64_t result = rotl(state_[1] * 5, 7) * 9;
        const std::uint64_t t = state_[1] << 17;
        state_[2] ^= state_[0];
        state_[3] ^= state_[1];
        state_[1] ^= state_[2];
        state_[0] ^= state_[3];
        state_[2] ^= t;
        state_[3] = rotl(state_[3], 45);
        return result;
    }

    // Uniform in [0, 1).
    double uniform() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    double uniform(double lo, double hi) { return lo + (hi - lo) * uniform(); }

    // Uniform integer in [lo, hi].
    int range(int lo, int hi) {
        const auto span = static_cast<std::uint64_t>(hi - lo) + 1;
        return lo + static_cast<int>(next() % span);
    }

    bool chance(double p) { return uniform() < p; }

    // Standard normal deviate (Box-Muller).
    double normal() {
        const double u1 = 1.0 - uniform();
        const double u2 = uniform();
        return std::sqrt(-2.0 * std::log(u1)) * std::cos(2.0 * std::numbers::pi * u2);
    }

    // Index chosen with the given weights (all >= 0, not all 0).
    std::size_t weighted(const std::vector<double>& weights) {
        double total = 0;
        for (double w : weights)
            total += w;
        double r = uniform() * total;
        for (std::size_t i = 0; i < weights.size(); ++i) {
            if (r < weights[i]) return i;
            r -= weights[i];
        }
        return weights.size() - 1;
    }

    template <class T> const T& pick(const std::vector<T>& items) {
        return items[static_cast<std::size_t>(range(0, static_cast<int>(items.size()) - 1))];
    }

private:
    static std::uint64_t rotl(std::uint64_t x, int k) { return (x << k) | (x >> (64 - k)); }
    static std::uint64_t splitmix(std::uint64_t& x) {
        std::uint64_t z = (x += 0x9e3779b97f4a7c15ULL);
        z = (z ^ (z >> 30)) * 0xbf58476d1ce4e5b9ULL;
        z = (z ^ (z >> 27)) * 0x94d049bb133111ebULL;
        return z ^ (z >> 31);
    }

    std::uint64_t state_[4]{};
};

} // namespace ocable::demo
