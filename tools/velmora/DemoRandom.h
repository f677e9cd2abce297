#pragma once
// The demo's own pseudo-random generator. It is written out here (SplitMix64) rather than taken
// from <random>, whose distributions may give other numbers with another standard library:
// one seed has to give the same demo database everywhere.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace velmora::demo {

class DemoRandom {
  public:
    explicit DemoRandom(uint64_t seed) : state_(seed) {}

    uint64_t Next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }

    // A number in [0, bound); 0 when bound is 0. The slight bias of the modulo does not matter
    // for demo data, and it keeps one draw per call.
    uint32_t Below(uint32_t bound) { return bound ? static_cast<uint32_t>(Next() % bound) : 0; }

    // A number in [low, high].
    int Between(int low, int high) {
        return low + static_cast<int>(Below(static_cast<uint32_t>(high - low + 1)));
    }

    // True with the given chance in percent.
    bool Percent(uint32_t chance) { return Below(100) < chance; }

    // An index into weights, each chosen in proportion to its weight.
    size_t Weighted(const std::vector<int>& weights) {
        int total = 0;
        for (int weight : weights)
            total += weight;
        int draw = static_cast<int>(Below(static_cast<uint32_t>(total)));
        for (size_t i = 0; i < weights.size(); ++i) {
            if (draw < weights[i]) return i;
            draw -= weights[i];
        }
        return weights.size() - 1;
    }

    template <class T> const T& Pick(const std::vector<T>& items) {
        return items[Below(static_cast<uint32_t>(items.size()))];
    }

  private:
    uint64_t state_;
};

} // namespace velmora::demo
