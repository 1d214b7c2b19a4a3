#pragma once

#include <cstdlib>

// A property that fails ends the run, for libFuzzer to keep the input.
inline void check(bool ok)
{
    if (!ok)
        std::abort();
}
