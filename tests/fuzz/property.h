#ifndef PROPERTY_H
#define PROPERTY_H

#include <cstdio>
#include <cstdlib>

// A property a fuzz target checks: when it does not hold, the run ends with
// its name and libFuzzer keeps the input that broke it.
inline void require(bool holds, const char *property)
{
    if (holds)
        return;
    std::fprintf(stderr, "Property broken: %s\n", property);
    std::abort();
}

#endif
