#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// A backtracking regular-expression engine over UTF-16 with the syntax of VBScript 5.5's
// RegExp object (the JavaScript regular expressions of ECMAScript 3): escapes \d \D \w \W
// \s \S \b \B \n \r \t \f \v \xHH \uHHHH \cX \0 and octal, "." (anything but a line break),
// classes with ranges and negation, ^ and $ (at line breaks too with multiline), greedy and
// lazy quantifiers * + ? {n} {n,} {n,m}, capturing and (?:) groups, lookahead (?=) (?!),
// backreferences \1..\99 and alternation. Case-insensitive matching uses the simple case
// mapping of text::ToUpper.
//
// Backtracking keeps its state on the heap, never on the C stack, so deep patterns and long
// subjects cannot overflow it. Each search has a step budget; a search that exceeds it
// (catastrophic backtracking such as (a+)+b over a long run of "a") ends as "no match" and
// sets BudgetExceeded(), so scripts see a failed match rather than a hang.
namespace cva::vbs::rt {

// Error numbers of a bad pattern (VBScript's own numbers and texts).
inline constexpr int kRegexSyntaxError = 5017;       // Syntax error in regular expression
inline constexpr int kRegexUnexpectedQuantifier = 5018; // Unexpected quantifier
inline constexpr int kRegexExpectedBracket = 5019;   // Expected ']' in regular expression
inline constexpr int kRegexExpectedParen = 5020;     // Expected ')' in regular expression
inline constexpr int kRegexInvalidRange = 5021;      // Invalid range in character set

// One match: 0-based position and length in the subject, and for each capturing group
// its position and length, or position -1 when the group took no part in the match
// (VBScript's SubMatches reports those as Empty).
struct RegexMatch {
    int32_t index = -1;
    int32_t length = 0;
    struct Group {
        int32_t index = -1;
        int32_t length = 0;
        bool Matched() const { return index >= 0; }
    };
    std::vector<Group> groups;
};

struct RegexProgram; // compiled form, private to the engine

// A compiled pattern. Searching does not change it except for the BudgetExceeded() flag, so
// one object serves one thread at a time.
class CRegex {
public:
    CRegex();
    ~CRegex();
    CRegex(CRegex&&) noexcept;
    CRegex& operator=(CRegex&&) noexcept;
    CRegex(const CRegex&) = delete;
    CRegex& operator=(const CRegex&) = delete;

    // Compiles the pattern; 0 on success, otherwise one of the kRegex* numbers and the
    // object stays unusable (IsCompiled() false).
    int Compile(std::u16string_view pattern, bool ignoreCase, bool multiline);
    bool IsCompiled() const;

    // Number of capturing groups of the compiled pattern.
    std::size_t GroupCount() const;

    // Finds the first match starting at or after the 0-based position start. False when
    // there is none (or the step budget ran out).
    bool Search(std::u16string_view subject, std::size_t start, RegexMatch& out) const;

    // Every match from the start of the subject, or only the first when global is false.
    // After an empty match the next search starts one code unit further, as RegExp.Execute
    // does, so empty matches cannot loop.
    std::vector<RegexMatch> FindAll(std::u16string_view subject, bool global) const;

    // RegExp.Replace: replaces the first match (or every match when global) with the
    // replacement, expanded by ExpandReplacement.
    std::u16string Replace(std::u16string_view subject, std::u16string_view replacement,
                           bool global) const;

    // Expands $1..$99 (a two-digit number is used only when that group exists), $& the
    // match, $` the text before it, $' the text after it and $$ a dollar sign; any other
    // "$" is kept literally. Groups that took no part expand to "".
    std::u16string ExpandReplacement(std::u16string_view replacement,
                                     std::u16string_view subject,
                                     const RegexMatch& match) const;

    // The number of backtracking steps one search may take (default 10,000,000), plus 100
    // per code unit of the subject so that large inputs are not cut short.
    void SetStepBudget(uint64_t steps);
    // True when the last Search / FindAll / Replace stopped on the budget.
    bool BudgetExceeded() const;

private:
    std::unique_ptr<RegexProgram> m_program;
    uint64_t m_stepBudget;
    mutable bool m_budgetExceeded = false;
};

} // namespace cva::vbs::rt
