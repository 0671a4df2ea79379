#pragma once

#include <cstddef>

namespace cva::vbs::engine {

// Procedure calls, Execute, ExecuteGlobal, Eval and the parser's descent into nested text
// all recurse on the machine stack. They share one budget, measured from the frame where
// the host's outermost call into the engine started, so that any mix of them ends in
// 28 Out of stack space long before the usual 8 MB stack runs out.
constexpr std::ptrdiff_t kStackBudget = 3 * 1024 * 1024;

// The calling frame lies deeper below base than the budget allows (no base: nothing is
// measured). The frame address, not a local's: sanitizers may move locals off the stack.
[[gnu::always_inline]] inline bool StackBudgetSpent(const char* base)
{
    if (!base)
        return false;
    const char* here = static_cast<const char*>(__builtin_frame_address(0));
    return base - here > kStackBudget;
}

} // namespace cva::vbs::engine
