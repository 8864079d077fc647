#pragma once

#include <cstdio>
#include <cstdlib>

namespace renpin::fuzz {

// Stops the run on a broken property; libFuzzer then saves the input that broke it.
inline void require(bool holds, const char* what) {
    if (!holds) {
        std::fprintf(stderr, "broken: %s\n", what);
        std::abort();
    }
}

}  // namespace renpin::fuzz
