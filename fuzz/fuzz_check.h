#pragma once

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

// A broken property is a finding: say which, and abort so that libFuzzer saves the input.
inline void fuzzCheck(bool holds, const char *property)
{
    if (!holds) {
        std::fprintf(stderr, "fuzz property broken: %s\n", property);
        std::abort();
    }
}

inline void fuzzCheckSameBits(double actual, double expected, const char *property)
{
    if (std::bit_cast<std::uint64_t>(actual) != std::bit_cast<std::uint64_t>(expected)) {
        std::fprintf(stderr, "got %.17g, expected %.17g\n", actual, expected);
        fuzzCheck(false, property);
    }
}
