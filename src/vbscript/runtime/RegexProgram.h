#pragma once

#include "vbscript/runtime/Regex.h"

#include <cstdint>
#include <utility>
#include <vector>

// The compiled form of a pattern: instructions for the backtracking machine in
// RegexMatch.cpp. Private to the regular-expression engine.
namespace cva::vbs::rt {

enum class RegexOp : uint8_t {
    Char,        // a = code unit
    Any,         // any code unit but "\n"
    Class,       // a = index into classes
    Split,       // try a first, then b
    Jump,        // a = target
    GroupOpen,   // a = group; remembers where the group starts
    GroupClose,  // a = group; records the group's text
    ResetGroups, // a..b = groups cleared at the start of a repetition
    LineStart,   // ^
    LineEnd,     // $
    WordBoundary,
    NotWordBoundary,
    Backref,     // a = group
    LookStart,   // a = 0 positive / 1 negative, b = instruction after the LookEnd
    LookEnd,
    Mark,        // a = register; remembers the position at the start of a loop pass
    Progress,    // a = register; fails when the loop pass matched nothing
    RepeatChar,  // a = min, b = max (-1 unbounded): greedy run of the one-character test
                 // at the next instruction, given back one at a time on backtracking
    Match,
};

struct RegexInst {
    RegexOp op;
    int32_t a = 0;
    int32_t b = 0;
};

struct RegexClass {
    std::vector<std::pair<char16_t, char16_t>> ranges; // sorted, merged
    bool negated = false;
};

struct RegexProgram {
    std::vector<RegexInst> code;
    std::vector<RegexClass> classes;
    std::size_t groupCount = 0; // capturing groups, not counting the whole match
    int32_t registers = 0;
    bool ignoreCase = false;
    bool multiline = false;
};

// Shared by the compiler (for class construction) and the matcher.
bool RegexClassContains(const RegexClass& cls, char16_t c, bool ignoreCase);
bool RegexIsWordChar(char16_t c);

} // namespace cva::vbs::rt
