#pragma once

#include <cstdint>
#include <string_view>

namespace zarvex::reportgen {

// Stateless randomness: every number is a hash of the seed and of what it is for, so any day
// of any contract can be generated on its own and comes out the same every time, on every
// platform (no std:: distributions, whose results differ between libraries).

constexpr std::uint64_t Mix(std::uint64_t x) {
    // splitmix64 finaliser
    x += 0x9E3779B97F4A7C15ULL;
    x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
    x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
    return x ^ (x >> 31);
}

constexpr std::uint64_t Combine(std::uint64_t hash, std::uint64_t value) {
    return Mix(hash ^ Mix(value));
}

constexpr std::uint64_t Combine(std::uint64_t hash, std::string_view text) {
    std::uint64_t h = 0xCBF29CE484222325ULL;  // FNV-1a over the text, then mixed in
    for (const char c : text) {
        h = (h ^ static_cast<unsigned char>(c)) * 0x100000001B3ULL;
    }
    return Combine(hash, h);
}

template <typename... Parts>
constexpr std::uint64_t Hash(std::uint64_t seed, Parts... parts) {
    std::uint64_t h = Mix(seed);
    ((h = Combine(h, parts)), ...);
    return h;
}

// A number in [0, 1) from a hash.
constexpr double Unit(std::uint64_t hash) {
    return static_cast<double>(hash >> 11) * (1.0 / 9007199254740992.0);
}

// A whole number in [0, bound) from a hash; bound > 0.
constexpr std::uint64_t Below(std::uint64_t hash, std::uint64_t bound) {
    return hash % bound;
}

}  // namespace zarvex::reportgen
