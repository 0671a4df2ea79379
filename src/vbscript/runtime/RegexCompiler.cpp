// Code generation for the regular-expression engine: counted repetitions are expanded,
// loops whose body can match nothing get a progress check, and groups inside a repetition
// are cleared at each pass as ECMAScript requires.
#include "vbscript/runtime/RegexTree.h"

#include "platform/text/Unicode.h"

#include <algorithm>

namespace cva::vbs::rt::regex {

namespace {

constexpr std::size_t kMaxProgram = 2'000'000;

bool Nullable(const Node& n) {
    switch (n.kind) {
    case Node::Kind::Char:
    case Node::Kind::Any:
    case Node::Kind::Class: return false;
    case Node::Kind::Seq:
        return std::all_of(n.kids.begin(), n.kids.end(), [](const NodePtr& k) { return Nullable(*k); });
    case Node::Kind::Alt:
        return std::any_of(n.kids.begin(), n.kids.end(), [](const NodePtr& k) { return Nullable(*k); });
    case Node::Kind::Group: return Nullable(*n.kids[0]);
    case Node::Kind::Repeat: return n.min == 0 || Nullable(*n.kids[0]);
    default: return true;
    }
}

class CCompiler {
public:
    explicit CCompiler(RegexProgram& program) : m_program(program), m_code(program.code) {}

    bool Compile(const Node& root) {
        Emit(root);
        Add(RegexOp::Match);
        return m_code.size() <= kMaxProgram;
    }

private:
    std::size_t Add(RegexOp op, int32_t a = 0, int32_t b = 0) {
        m_code.push_back({op, a, b});
        return m_code.size() - 1;
    }
    int32_t Here() const { return static_cast<int32_t>(m_code.size()); }

    void Emit(const Node& n) {
        if (m_code.size() > kMaxProgram) return;
        switch (n.kind) {
        case Node::Kind::Empty: break;
        case Node::Kind::Char:
            Add(RegexOp::Char,
                m_program.ignoreCase ? text::ToUpper(static_cast<char16_t>(n.value)) : n.value);
            break;
        case Node::Kind::Any: Add(RegexOp::Any); break;
        case Node::Kind::Class: Add(RegexOp::Class, n.value); break;
        case Node::Kind::Seq:
            for (const auto& k : n.kids) Emit(*k);
            break;
        case Node::Kind::Alt: {
            std::vector<std::size_t> exits;
            for (std::size_t k = 0; k < n.kids.size(); ++k) {
                if (k + 1 < n.kids.size()) {
                    const std::size_t split = Add(RegexOp::Split, Here() + 1);
                    Emit(*n.kids[k]);
                    exits.push_back(Add(RegexOp::Jump));
                    m_code[split].b = Here();
                } else {
                    Emit(*n.kids[k]);
                }
            }
            for (std::size_t e : exits) m_code[e].a = Here();
            break;
        }
        case Node::Kind::Group:
            if (n.value > 0) Add(RegexOp::GroupOpen, n.value);
            Emit(*n.kids[0]);
            if (n.value > 0) Add(RegexOp::GroupClose, n.value);
            break;
        case Node::Kind::Look: {
            const std::size_t start = Add(RegexOp::LookStart, n.flag ? 1 : 0);
            Emit(*n.kids[0]);
            Add(RegexOp::LookEnd);
            m_code[start].b = Here();
            break;
        }
        case Node::Kind::Backref: Add(RegexOp::Backref, n.value); break;
        case Node::Kind::Assert: Add(static_cast<RegexOp>(n.value)); break;
        case Node::Kind::Repeat: EmitRepeat(n); break;
        }
    }

    void EmitPass(const Node& n, int32_t reg) {
        if (reg >= 0) Add(RegexOp::Mark, reg);
        if (n.lastGroup >= n.firstGroup) Add(RegexOp::ResetGroups, n.firstGroup, n.lastGroup);
        Emit(*n.kids[0]);
        if (reg >= 0) Add(RegexOp::Progress, reg);
    }

    void EmitRepeat(const Node& n) {
        const Node& body = *n.kids[0];
        // ".*", "\\s+", "[^,]*": one choice point for the whole run instead of one per
        // character keeps long subjects cheap in both steps and memory.
        if (n.flag && (body.kind == Node::Kind::Char || body.kind == Node::Kind::Any ||
                       body.kind == Node::Kind::Class)) {
            Add(RegexOp::RepeatChar, n.min, n.max);
            Emit(body);
            return;
        }
        for (int32_t k = 0; k < n.min && m_code.size() <= kMaxProgram; ++k) {
            if (n.lastGroup >= n.firstGroup) Add(RegexOp::ResetGroups, n.firstGroup, n.lastGroup);
            Emit(body);
        }
        // A pass that matches nothing may not repeat, or "(a*)*" would loop for ever.
        const int32_t reg = Nullable(body) ? m_program.registers++ : -1;
        if (n.max == -1) {
            const std::size_t split = Add(RegexOp::Split);
            const int32_t bodyStart = Here();
            EmitPass(n, reg);
            Add(RegexOp::Jump, static_cast<int32_t>(split));
            SetSplit(split, bodyStart, Here(), n.flag);
            return;
        }
        std::vector<std::size_t> splits;
        for (int32_t k = n.min; k < n.max && m_code.size() <= kMaxProgram; ++k) {
            splits.push_back(Add(RegexOp::Split));
            EmitPass(n, reg);
        }
        for (std::size_t s : splits) SetSplit(s, static_cast<int32_t>(s + 1), Here(), n.flag);
    }

    void SetSplit(std::size_t at, int32_t body, int32_t exit, bool greedy) {
        m_code[at].a = greedy ? body : exit;
        m_code[at].b = greedy ? exit : body;
    }

    RegexProgram& m_program;
    std::vector<RegexInst>& m_code;
};

} // namespace

bool CompileRegexTree(const Node& root, RegexProgram& program) {
    CCompiler compiler(program);
    return compiler.Compile(root);
}

} // namespace cva::vbs::rt::regex
