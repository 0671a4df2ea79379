// The matcher of the regular-expression engine: a backtracking machine whose choice points
// live on a heap-allocated stack, plus the search, replace and replacement-expansion loops.
#include "vbscript/runtime/Regex.h"

#include "platform/text/Unicode.h"
#include "vbscript/runtime/RegexProgram.h"

#include <algorithm>

namespace cva::vbs::rt {

namespace {

// Beyond this many saved choice points (about 100 MB) the search gives up as on the step
// budget.
constexpr std::size_t kMaxStack = 6'000'000;
// Steps allowed per code unit of the subject on top of the fixed budget, so that ordinary
// patterns over large subjects are not cut short.
constexpr uint64_t kStepsPerCodeUnit = 100;

enum class EntryKind : uint8_t { Branch, Restore, LookPositive, LookNegative, GiveBack };

struct Entry {
    EntryKind kind;
    int32_t a;     // Branch, GiveBack: pc; Restore: slot; LookNegative: pc to continue at
    int32_t b;     // position, or the slot's previous value
    int32_t c = 0; // GiveBack: the position the run may shrink to
};

bool IsLineBreak(char16_t c) { return c == u'\n' || c == u'\r'; }

class CMachine {
public:
    CMachine(const RegexProgram& program, std::u16string_view subject, uint64_t budget)
        : m_prog(program), m_s(subject), m_budget(budget),
          m_slots(3 * (program.groupCount + 1), -1), m_regs(program.registers, -1) {}

    enum class Result { Match, NoMatch, Aborted };

    // Tries to match at exactly position start. Slots hold start/end/open position of
    // every group (group 0 is the whole match).
    Result Run(int32_t start) {
        std::fill(m_slots.begin(), m_slots.end(), -1);
        m_stack.clear();
        const auto& code = m_prog.code;
        const int32_t n = static_cast<int32_t>(m_s.size());
        int32_t pc = 0;
        int32_t pos = start;
        for (;;) {
            if (++m_steps > m_budget) return Result::Aborted;
            const RegexInst& in = code[pc];
            bool ok = true;
            switch (in.op) {
            case RegexOp::Char:
            case RegexOp::Any:
            case RegexOp::Class:
                ok = pos < n && MatchOne(in, m_s[pos]);
                if (ok) ++pos, ++pc;
                break;
            case RegexOp::RepeatChar: {
                const RegexInst& test = code[pc + 1];
                const int32_t room = n - pos;
                const int32_t limit = in.b < 0 ? room : std::min(in.b, room);
                int32_t count = 0;
                while (count < limit && MatchOne(test, m_s[pos + count])) ++count;
                m_steps += static_cast<uint64_t>(count);
                ok = count >= in.a;
                if (!ok) break;
                if (count > in.a) m_stack.push_back({EntryKind::GiveBack, pc + 2, pos + count, pos + in.a});
                pos += count;
                pc += 2;
                break;
            }
            case RegexOp::Split:
                m_stack.push_back({EntryKind::Branch, in.b, pos});
                pc = in.a;
                break;
            case RegexOp::Jump: pc = in.a; break;
            case RegexOp::GroupOpen:
                Set(3 * in.a + 2, pos);
                ++pc;
                break;
            case RegexOp::GroupClose:
                Set(3 * in.a, m_slots[3 * in.a + 2]);
                Set(3 * in.a + 1, pos);
                ++pc;
                break;
            case RegexOp::ResetGroups:
                for (int32_t g = in.a; g <= in.b; ++g) {
                    if (m_slots[3 * g] != -1) Set(3 * g, -1);
                    if (m_slots[3 * g + 1] != -1) Set(3 * g + 1, -1);
                }
                ++pc;
                break;
            case RegexOp::LineStart:
                ok = pos == 0 || (m_prog.multiline && IsLineBreak(m_s[pos - 1]));
                ++pc;
                break;
            case RegexOp::LineEnd:
                ok = pos == n || (m_prog.multiline && IsLineBreak(m_s[pos]));
                ++pc;
                break;
            case RegexOp::WordBoundary:
            case RegexOp::NotWordBoundary: {
                const bool before = pos > 0 && RegexIsWordChar(m_s[pos - 1]);
                const bool after = pos < n && RegexIsWordChar(m_s[pos]);
                ok = (before != after) == (in.op == RegexOp::WordBoundary);
                ++pc;
                break;
            }
            case RegexOp::Backref: {
                const int32_t gs = m_slots[3 * in.a];
                const int32_t ge = m_slots[3 * in.a + 1];
                if (gs >= 0 && ge >= gs) {
                    const int32_t len = ge - gs;
                    ok = pos + len <= n;
                    for (int32_t k = 0; ok && k < len; ++k) {
                        const char16_t x = m_s[gs + k];
                        const char16_t y = m_s[pos + k];
                        ok = x == y || (m_prog.ignoreCase && text::ToUpper(x) == text::ToUpper(y));
                    }
                    if (ok) pos += len;
                }
                ++pc;
                break;
            }
            case RegexOp::LookStart:
                m_stack.push_back({in.a == 0 ? EntryKind::LookPositive : EntryKind::LookNegative,
                                   in.b, pos});
                ++pc;
                break;
            case RegexOp::LookEnd: {
                std::size_t barrier = m_stack.size();
                while (barrier-- > 0 && m_stack[barrier].kind != EntryKind::LookPositive &&
                       m_stack[barrier].kind != EntryKind::LookNegative) {
                }
                const Entry look = m_stack[barrier];
                if (look.kind == EntryKind::LookPositive) {
                    // The lookahead matched: no backtracking into it, but the captures it set
                    // must still be undone if the match backtracks past it.
                    std::size_t out = barrier;
                    for (std::size_t k = barrier + 1; k < m_stack.size(); ++k)
                        if (m_stack[k].kind == EntryKind::Restore) m_stack[out++] = m_stack[k];
                    m_stack.resize(out);
                    pos = look.b;
                    ++pc;
                } else {
                    // The negative lookahead's body matched, so the assertion fails.
                    while (m_stack.size() > barrier + 1) {
                        const Entry e = m_stack.back();
                        m_stack.pop_back();
                        if (e.kind == EntryKind::Restore) Undo(e);
                    }
                    m_stack.pop_back();
                    ok = false;
                }
                break;
            }
            case RegexOp::Mark:
                SetRegister(in.a, pos);
                ++pc;
                break;
            case RegexOp::Progress:
                ok = m_regs[in.a] != pos;
                ++pc;
                break;
            case RegexOp::Match:
                m_slots[0] = start;
                m_slots[1] = pos;
                return Result::Match;
            }
            if (m_stack.size() > kMaxStack) return Result::Aborted;
            if (ok) continue;
            if (!Backtrack(pc, pos)) return Result::NoMatch;
        }
    }

    const std::vector<int32_t>& Slots() const { return m_slots; }
    bool Exhausted() const { return m_steps > m_budget; }

private:
    void Set(int32_t slot, int32_t value) {
        m_stack.push_back({EntryKind::Restore, slot, m_slots[slot]});
        m_slots[slot] = value;
    }

    // Registers are saved in the slot stack too, under slot numbers past the groups.
    void SetRegister(int32_t reg, int32_t value) {
        m_stack.push_back({EntryKind::Restore, -1 - reg, m_regs[reg]});
        m_regs[reg] = value;
    }

    bool MatchOne(const RegexInst& in, char16_t c) const {
        switch (in.op) {
        case RegexOp::Char: return (m_prog.ignoreCase ? text::ToUpper(c) : c) == in.a;
        case RegexOp::Any: return c != u'\n';
        case RegexOp::Class: return RegexClassContains(m_prog.classes[in.a], c, m_prog.ignoreCase);
        default: return false;
        }
    }

    void Undo(const Entry& e) {
        if (e.a >= 0) m_slots[e.a] = e.b;
        else m_regs[-1 - e.a] = e.b;
    }

    bool Backtrack(int32_t& pc, int32_t& pos) {
        while (!m_stack.empty()) {
            const Entry e = m_stack.back();
            m_stack.pop_back();
            switch (e.kind) {
            case EntryKind::Restore: Undo(e); break;
            case EntryKind::Branch:
                pc = e.a;
                pos = e.b;
                return true;
            case EntryKind::GiveBack:
                // Shorten the run by one and retry what follows it.
                pc = e.a;
                pos = e.b - 1;
                if (pos > e.c) m_stack.push_back({EntryKind::GiveBack, e.a, pos, e.c});
                return true;
            case EntryKind::LookPositive: break; // its body failed: so does the assertion
            case EntryKind::LookNegative:        // its body failed: the assertion holds
                pc = e.a;
                pos = e.b;
                return true;
            }
        }
        return false;
    }

    const RegexProgram& m_prog;
    std::u16string_view m_s;
    uint64_t m_budget;
    uint64_t m_steps = 0;
    std::vector<int32_t> m_slots;
    std::vector<int32_t> m_regs;
    std::vector<Entry> m_stack;
};

} // namespace

bool CRegex::Search(std::u16string_view subject, std::size_t start, RegexMatch& out) const {
    m_budgetExceeded = false;
    out = RegexMatch{};
    if (!m_program || start > subject.size() || subject.size() > 0x7FFFFFF0u) return false;
    CMachine machine(*m_program, subject, m_stepBudget + kStepsPerCodeUnit * subject.size());
    // A pattern that starts with a plain character only needs to be tried where it occurs.
    const RegexInst& first = m_program->code[0];
    const bool literalStart = first.op == RegexOp::Char && !m_program->ignoreCase;
    for (std::size_t at = start; at <= subject.size(); ++at) {
        if (literalStart) {
            at = subject.find(static_cast<char16_t>(first.a), at);
            if (at == std::u16string_view::npos) return false;
        }
        const auto result = machine.Run(static_cast<int32_t>(at));
        if (result == CMachine::Result::Aborted) {
            m_budgetExceeded = true;
            return false;
        }
        if (result == CMachine::Result::Match) {
            const auto& slots = machine.Slots();
            out.index = slots[0];
            out.length = slots[1] - slots[0];
            out.groups.resize(m_program->groupCount);
            for (std::size_t g = 1; g <= m_program->groupCount; ++g) {
                const int32_t s = slots[3 * g];
                const int32_t e = slots[3 * g + 1];
                if (s >= 0 && e >= s) out.groups[g - 1] = {s, e - s};
            }
            return true;
        }
    }
    return false;
}

std::vector<RegexMatch> CRegex::FindAll(std::u16string_view subject, bool global) const {
    std::vector<RegexMatch> matches;
    std::size_t at = 0;
    bool exceeded = false;
    while (at <= subject.size()) {
        RegexMatch m;
        if (!Search(subject, at, m)) {
            exceeded = m_budgetExceeded;
            break;
        }
        at = static_cast<std::size_t>(m.index) + (m.length == 0 ? 1 : m.length);
        matches.push_back(std::move(m));
        if (!global) break;
    }
    m_budgetExceeded = exceeded;
    return matches;
}

std::u16string CRegex::Replace(std::u16string_view subject, std::u16string_view replacement,
                               bool global) const {
    const std::vector<RegexMatch> matches = FindAll(subject, global);
    std::u16string out;
    out.reserve(subject.size());
    std::size_t copied = 0;
    for (const RegexMatch& m : matches) {
        out.append(subject.substr(copied, static_cast<std::size_t>(m.index) - copied));
        out.append(ExpandReplacement(replacement, subject, m));
        copied = static_cast<std::size_t>(m.index + m.length);
    }
    out.append(subject.substr(copied));
    return out;
}

std::u16string CRegex::ExpandReplacement(std::u16string_view replacement,
                                         std::u16string_view subject,
                                         const RegexMatch& match) const {
    std::u16string out;
    const std::size_t groups = match.groups.size();
    auto group = [&](std::size_t g) {
        const RegexMatch::Group& gr = match.groups[g - 1];
        if (gr.Matched()) out.append(subject.substr(gr.index, gr.length));
    };
    for (std::size_t i = 0; i < replacement.size(); ++i) {
        const char16_t c = replacement[i];
        if (c != u'$' || i + 1 >= replacement.size()) {
            out.push_back(c);
            continue;
        }
        const char16_t next = replacement[i + 1];
        if (next == u'$') {
            out.push_back(u'$');
            ++i;
        } else if (next == u'&') {
            out.append(subject.substr(match.index, match.length));
            ++i;
        } else if (next == u'`') {
            out.append(subject.substr(0, match.index));
            ++i;
        } else if (next == u'\'') {
            out.append(subject.substr(static_cast<std::size_t>(match.index + match.length)));
            ++i;
        } else if (next >= u'0' && next <= u'9') {
            const std::size_t one = next - u'0';
            const bool twoDigits = i + 2 < replacement.size() && replacement[i + 2] >= u'0' &&
                                   replacement[i + 2] <= u'9';
            const std::size_t two = twoDigits ? one * 10 + (replacement[i + 2] - u'0') : 0;
            if (twoDigits && two >= 1 && two <= groups) {
                group(two);
                i += 2;
            } else if (one >= 1 && one <= groups) {
                group(one);
                ++i;
            } else {
                out.push_back(c);
            }
        } else {
            out.push_back(c);
        }
    }
    return out;
}

} // namespace cva::vbs::rt
