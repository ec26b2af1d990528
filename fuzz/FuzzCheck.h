#pragma once
// An invariant a fuzz target checks on every input: a broken one stops the run with its name,
// so that libFuzzer keeps the input that broke it.

#include <cstdio>
#include <cstdlib>

inline void Check(bool Condition, const char* What)
{
    if (!Condition) {
        std::fprintf(stderr, "broken: %s\n", What);
        std::abort();
    }
}
