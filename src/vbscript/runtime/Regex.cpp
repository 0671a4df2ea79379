// The pattern compiler of the regular-expression engine: parses VBScript RegExp syntax
// into a tree and lowers it to instructions for the matcher in RegexMatch.cpp.
#include "vbscript/runtime/Regex.h"

#include "platform/text/HexDigit.h"
#include "platform/text/Unicode.h"
#include "vbscript/runtime/RegexProgram.h"
#include "vbscript/runtime/RegexTree.h"

#include <algorithm>

namespace cva::vbs::rt {

using regex::MakeNode;
using regex::Node;
using regex::NodePtr;

namespace {

// Deeper nesting than this is refused rather than risking the parser's own stack.
constexpr int kMaxNesting = 400;
using Ranges = std::vector<std::pair<char16_t, char16_t>>;

void Normalize(Ranges& ranges) {
    std::sort(ranges.begin(), ranges.end());
    Ranges merged;
    for (const auto& r : ranges) {
        if (!merged.empty() && static_cast<int>(r.first) <= static_cast<int>(merged.back().second) + 1)
            merged.back().second = std::max(merged.back().second, r.second);
        else
            merged.push_back(r);
    }
    ranges.swap(merged);
}

Ranges Complement(Ranges ranges) {
    Normalize(ranges);
    Ranges out;
    int next = 0;
    for (const auto& r : ranges) {
        if (r.first > next) out.push_back({static_cast<char16_t>(next), static_cast<char16_t>(r.first - 1)});
        next = r.second + 1;
    }
    if (next <= 0xFFFF) out.push_back({static_cast<char16_t>(next), u'\xFFFF'});
    return out;
}

// \d \w \s as VBScript documents them; upper-case letters are the complements.
bool ClassEscape(char16_t c, Ranges& out) {
    Ranges base;
    switch (c) {
    case u'd': case u'D': base = {{u'0', u'9'}}; break;
    case u'w': case u'W': base = {{u'0', u'9'}, {u'A', u'Z'}, {u'_', u'_'}, {u'a', u'z'}}; break;
    case u's': case u'S': base = {{u'\t', u'\r'}, {u' ', u' '}}; break;
    default: return false;
    }
    out = (c == u'D' || c == u'W' || c == u'S') ? Complement(base) : base;
    return true;
}

class CParser {
public:
    CParser(std::u16string_view pattern, RegexProgram& program)
        : m_p(pattern), m_program(program) {
        m_totalGroups = CountGroups();
    }

    int Parse(NodePtr& out) {
        out = ParseAlternation(0);
        if (m_error == 0 && m_i < m_p.size()) m_error = kRegexSyntaxError; // a stray ')'
        m_program.groupCount = static_cast<std::size_t>(m_groups);
        return m_error;
    }

private:
    bool AtEnd() const { return m_i >= m_p.size(); }
    char16_t Peek(std::size_t ahead = 0) const {
        return m_i + ahead < m_p.size() ? m_p[m_i + ahead] : u'\0';
    }

    // Capturing groups of the whole pattern, needed before parsing to tell a backreference
    // from an octal escape.
    int CountGroups() const {
        int count = 0;
        bool inClass = false;
        for (std::size_t k = 0; k < m_p.size(); ++k) {
            const char16_t c = m_p[k];
            if (c == u'\\') ++k;
            else if (inClass) inClass = c != u']';
            else if (c == u'[') inClass = true;
            else if (c == u'(' && (k + 1 >= m_p.size() || m_p[k + 1] != u'?')) ++count;
        }
        return count;
    }

    NodePtr ParseAlternation(int depth) {
        if (depth > kMaxNesting) {
            m_error = kRegexSyntaxError;
            return MakeNode(Node::Kind::Empty);
        }
        NodePtr first = ParseSequence(depth);
        if (Peek() != u'|' || AtEnd()) return first;
        NodePtr alt = MakeNode(Node::Kind::Alt);
        alt->kids.push_back(std::move(first));
        while (m_error == 0 && !AtEnd() && Peek() == u'|') {
            ++m_i;
            alt->kids.push_back(ParseSequence(depth));
        }
        return alt;
    }

    NodePtr ParseSequence(int depth) {
        NodePtr seq = MakeNode(Node::Kind::Seq);
        while (m_error == 0 && !AtEnd() && Peek() != u'|' && Peek() != u')')
            seq->kids.push_back(ParseTerm(depth));
        return seq;
    }

    // Reads "{n}", "{n,}" or "{n,m}" at the current position without consuming it when it
    // is not one (a "{" that does not start a quantifier is a literal).
    bool ReadBraces(int32_t& min, int32_t& max, std::size_t& length) const {
        std::size_t k = m_i;
        if (k >= m_p.size() || m_p[k] != u'{') return false;
        ++k;
        auto number = [&](int32_t& value) {
            const std::size_t begin = k;
            int64_t v = 0;
            while (k < m_p.size() && m_p[k] >= u'0' && m_p[k] <= u'9') {
                if (v < 100'000'000) v = v * 10 + (m_p[k] - u'0');
                ++k;
            }
            value = static_cast<int32_t>(v);
            return k > begin;
        };
        if (!number(min)) return false;
        max = min;
        if (k < m_p.size() && m_p[k] == u',') {
            ++k;
            if (!number(max)) max = -1;
        }
        if (k >= m_p.size() || m_p[k] != u'}') return false;
        length = k + 1 - m_i;
        return true;
    }

    bool AtQuantifier() const {
        const char16_t c = Peek();
        if (AtEnd()) return false;
        if (c == u'*' || c == u'+' || c == u'?') return true;
        int32_t a, b;
        std::size_t len;
        return ReadBraces(a, b, len);
    }

    NodePtr ParseTerm(int depth) {
        const int groupsBefore = m_groups;
        bool assertion = false;
        NodePtr atom = ParseAtom(depth, assertion);
        if (m_error != 0 || !AtQuantifier()) return atom;
        if (assertion) {
            m_error = kRegexUnexpectedQuantifier;
            return atom;
        }
        int32_t min = 0, max = -1;
        const char16_t c = Peek();
        if (c == u'*') {
            ++m_i;
        } else if (c == u'+') {
            min = 1;
            ++m_i;
        } else if (c == u'?') {
            max = 1;
            ++m_i;
        } else {
            std::size_t len = 0;
            ReadBraces(min, max, len);
            m_i += len;
            if (max != -1 && max < min) {
                m_error = kRegexSyntaxError;
                return atom;
            }
        }
        bool greedy = true;
        if (!AtEnd() && Peek() == u'?') {
            greedy = false;
            ++m_i;
        }
        if (AtQuantifier()) {
            m_error = kRegexUnexpectedQuantifier;
            return atom;
        }
        NodePtr rep = MakeNode(Node::Kind::Repeat);
        rep->min = min;
        rep->max = max;
        rep->flag = greedy;
        rep->firstGroup = groupsBefore + 1;
        rep->lastGroup = m_groups;
        rep->kids.push_back(std::move(atom));
        return rep;
    }

    NodePtr ParseAtom(int depth, bool& assertion) {
        const char16_t c = Peek();
        switch (c) {
        case u'^':
            ++m_i;
            assertion = true;
            return MakeNode(Node::Kind::Assert, static_cast<int32_t>(RegexOp::LineStart));
        case u'$':
            ++m_i;
            assertion = true;
            return MakeNode(Node::Kind::Assert, static_cast<int32_t>(RegexOp::LineEnd));
        case u'.': ++m_i; return MakeNode(Node::Kind::Any);
        case u'(': return ParseGroup(depth);
        case u'[': return ParseClass();
        case u'*':
        case u'+':
        case u'?': m_error = kRegexUnexpectedQuantifier; return MakeNode(Node::Kind::Empty);
        case u'{':
            if (AtQuantifier()) {
                m_error = kRegexUnexpectedQuantifier;
                return MakeNode(Node::Kind::Empty);
            }
            ++m_i;
            return MakeNode(Node::Kind::Char, u'{');
        case u'\\': return ParseEscape(assertion);
        default: ++m_i; return MakeNode(Node::Kind::Char, c);
        }
    }

    NodePtr ParseGroup(int depth) {
        ++m_i; // (
        NodePtr node;
        if (Peek() == u'?') {
            const char16_t kind = Peek(1);
            if (kind == u':') {
                m_i += 2;
                node = MakeNode(Node::Kind::Group, -1);
            } else if (kind == u'=' || kind == u'!') {
                m_i += 2;
                node = MakeNode(Node::Kind::Look);
                node->flag = kind == u'!';
            } else {
                m_error = kRegexSyntaxError;
                return MakeNode(Node::Kind::Empty);
            }
        } else {
            node = MakeNode(Node::Kind::Group, ++m_groups);
        }
        node->kids.push_back(ParseAlternation(depth + 1));
        if (m_error != 0) return node;
        if (AtEnd() || Peek() != u')') {
            m_error = kRegexExpectedParen;
            return node;
        }
        ++m_i;
        return node;
    }

    // Escapes that stand for one code unit, shared by atoms and classes. The backslash is
    // already consumed; returns false when the escape is not of this kind.
    bool CharacterEscape(char16_t& out) {
        const char16_t c = Peek();
        switch (c) {
        case u'n': out = u'\n'; ++m_i; return true;
        case u'r': out = u'\r'; ++m_i; return true;
        case u't': out = u'\t'; ++m_i; return true;
        case u'f': out = u'\f'; ++m_i; return true;
        case u'v': out = u'\v'; ++m_i; return true;
        case u'x':
            if (text::HexDigitValue(Peek(1)) >= 0 && text::HexDigitValue(Peek(2)) >= 0) {
                out = static_cast<char16_t>(text::HexDigitValue(Peek(1)) * 16 +
                                            text::HexDigitValue(Peek(2)));
                m_i += 3;
            } else {
                out = u'x';
                ++m_i;
            }
            return true;
        case u'u': {
            int v = 0;
            for (int k = 1; k <= 4; ++k) {
                const int h = text::HexDigitValue(Peek(k));
                if (h < 0) {
                    out = u'u';
                    ++m_i;
                    return true;
                }
                v = v * 16 + h;
            }
            out = static_cast<char16_t>(v);
            m_i += 5;
            return true;
        }
        case u'c': {
            const char16_t letter = Peek(1);
            if ((letter >= u'a' && letter <= u'z') || (letter >= u'A' && letter <= u'Z')) {
                out = static_cast<char16_t>(letter % 32);
                m_i += 2;
            } else {
                out = u'\\'; // "\c" without a letter stands for itself
            }
            return true;
        }
        default: break;
        }
        if (c >= u'0' && c <= u'7') {
            int v = 0, count = 0;
            while (count < 3 && Peek() >= u'0' && Peek() <= u'7' && v * 8 + (Peek() - u'0') <= 0377) {
                v = v * 8 + (Peek() - u'0');
                ++m_i;
                ++count;
            }
            out = static_cast<char16_t>(v);
            return true;
        }
        return false;
    }

    NodePtr ParseEscape(bool& assertion) {
        ++m_i; // backslash
        if (AtEnd()) {
            m_error = kRegexSyntaxError;
            return MakeNode(Node::Kind::Empty);
        }
        const char16_t c = Peek();
        if (c == u'b' || c == u'B') {
            ++m_i;
            assertion = true;
            return MakeNode(Node::Kind::Assert, static_cast<int32_t>(
                                                    c == u'b' ? RegexOp::WordBoundary
                                                              : RegexOp::NotWordBoundary));
        }
        Ranges ranges;
        if (ClassEscape(c, ranges)) {
            ++m_i;
            return MakeClass(std::move(ranges), false);
        }
        if (c >= u'1' && c <= u'9') {
            // A number up to the group count is a backreference; otherwise octal, or the
            // digit itself for 8 and 9.
            std::size_t k = m_i;
            int v = 0;
            while (k < m_p.size() && m_p[k] >= u'0' && m_p[k] <= u'9' && v * 10 + (m_p[k] - u'0') <= m_totalGroups) {
                v = v * 10 + (m_p[k] - u'0');
                ++k;
            }
            if (v >= 1) {
                m_i = k;
                return MakeNode(Node::Kind::Backref, v);
            }
            if (c >= u'8') {
                ++m_i;
                return MakeNode(Node::Kind::Char, c);
            }
        }
        char16_t ch = 0;
        if (CharacterEscape(ch)) return MakeNode(Node::Kind::Char, ch);
        ++m_i;
        return MakeNode(Node::Kind::Char, c);
    }

    NodePtr MakeClass(Ranges ranges, bool negated) {
        Normalize(ranges);
        RegexClass cls;
        cls.ranges = std::move(ranges);
        cls.negated = negated;
        m_program.classes.push_back(std::move(cls));
        return MakeNode(Node::Kind::Class, static_cast<int32_t>(m_program.classes.size() - 1));
    }

    // One member of a class: a code unit (isSet false) or a \d-like set.
    bool ClassAtom(char16_t& ch, Ranges& set, bool& isSet) {
        isSet = false;
        if (AtEnd()) return false;
        const char16_t c = Peek();
        if (c != u'\\') {
            ch = c;
            ++m_i;
            return true;
        }
        ++m_i;
        if (AtEnd()) return false;
        const char16_t e = Peek();
        if (ClassEscape(e, set)) {
            ++m_i;
            isSet = true;
            return true;
        }
        if (e == u'b') {
            ch = u'\b';
            ++m_i;
            return true;
        }
        if (CharacterEscape(ch)) return true;
        ch = e;
        ++m_i;
        return true;
    }

    NodePtr ParseClass() {
        ++m_i; // [
        bool negated = false;
        if (Peek() == u'^' && !AtEnd()) {
            negated = true;
            ++m_i;
        }
        Ranges ranges;
        while (!AtEnd() && Peek() != u']') {
            char16_t lo = 0;
            Ranges loSet;
            bool loIsSet = false;
            if (!ClassAtom(lo, loSet, loIsSet)) break;
            if (Peek() == u'-' && m_i + 1 < m_p.size() && Peek(1) != u']') {
                ++m_i;
                char16_t hi = 0;
                Ranges hiSet;
                bool hiIsSet = false;
                if (!ClassAtom(hi, hiSet, hiIsSet)) break;
                if (loIsSet || hiIsSet) {
                    // A set cannot bound a range: the "-" is taken literally.
                    ranges.insert(ranges.end(), loSet.begin(), loSet.end());
                    ranges.insert(ranges.end(), hiSet.begin(), hiSet.end());
                    if (!loIsSet) ranges.push_back({lo, lo});
                    if (!hiIsSet) ranges.push_back({hi, hi});
                    ranges.push_back({u'-', u'-'});
                    continue;
                }
                if (lo > hi) {
                    m_error = kRegexInvalidRange;
                    return MakeNode(Node::Kind::Empty);
                }
                ranges.push_back({lo, hi});
                continue;
            }
            if (loIsSet) ranges.insert(ranges.end(), loSet.begin(), loSet.end());
            else ranges.push_back({lo, lo});
        }
        if (AtEnd() || Peek() != u']') {
            m_error = kRegexExpectedBracket;
            return MakeNode(Node::Kind::Empty);
        }
        ++m_i;
        return MakeClass(std::move(ranges), negated);
    }

    std::u16string_view m_p;
    RegexProgram& m_program;
    std::size_t m_i = 0;
    int m_groups = 0;
    int m_totalGroups = 0;
    int m_error = 0;
};

} // namespace

bool RegexIsWordChar(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') ||
           c == u'_';
}

bool RegexClassContains(const RegexClass& cls, char16_t c, bool ignoreCase) {
    auto in = [&](char16_t x) {
        auto it = std::upper_bound(cls.ranges.begin(), cls.ranges.end(), x,
                                   [](char16_t v, const std::pair<char16_t, char16_t>& r) {
                                       return v < r.first;
                                   });
        return it != cls.ranges.begin() && std::prev(it)->second >= x;
    };
    bool found = in(c);
    if (!found && ignoreCase) found = in(text::ToUpper(c)) || in(text::ToLower(c));
    return found != cls.negated;
}

CRegex::CRegex() : m_stepBudget(10'000'000) {}
CRegex::~CRegex() = default;
CRegex::CRegex(CRegex&&) noexcept = default;
CRegex& CRegex::operator=(CRegex&&) noexcept = default;

int CRegex::Compile(std::u16string_view pattern, bool ignoreCase, bool multiline) {
    m_program.reset();
    auto program = std::make_unique<RegexProgram>();
    program->ignoreCase = ignoreCase;
    program->multiline = multiline;
    NodePtr root;
    CParser parser(pattern, *program);
    const int error = parser.Parse(root);
    if (error != 0) return error;
    if (!CompileRegexTree(*root, *program)) return kRegexSyntaxError;
    m_program = std::move(program);
    return 0;
}

bool CRegex::IsCompiled() const { return m_program != nullptr; }

std::size_t CRegex::GroupCount() const { return m_program ? m_program->groupCount : 0; }

void CRegex::SetStepBudget(uint64_t steps) { m_stepBudget = steps; }

bool CRegex::BudgetExceeded() const { return m_budgetExceeded; }

} // namespace cva::vbs::rt
