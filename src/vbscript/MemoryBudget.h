#pragma once

#include <cstddef>

namespace cva::vbs {

// What script strings and arrays hold together in this process. Each string and array
// has its own ceiling, but a script that keeps many of them (an array of long strings,
// a string doubled in a loop, several huge arrays) would otherwise grow until the system
// kills the whole program; with a ceiling on the sum the script gets 7 Out of memory
// and the program carries on.
class CMemoryBudget {
public:
    static constexpr size_t kDefaultLimit = size_t{1} << 30;

    // Tests: another limit; returns the one before.
    static size_t SetLimit(size_t bytes);

    // Counts the bytes in; false, counting nothing, when they would pass the limit.
    static bool Take(size_t bytes);
    // Counts the bytes in whatever the sum: storage the engine cannot refuse, such as a
    // copy of text that already exists.
    static void Force(size_t bytes);
    static void Give(size_t bytes);
    static size_t Available();
    // More is held than the limit allows (what was forced in went past it).
    static bool Exceeded();
};

} // namespace cva::vbs
