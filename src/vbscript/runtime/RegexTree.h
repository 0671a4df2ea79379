#pragma once

#include "vbscript/runtime/RegexProgram.h"

#include <cstdint>
#include <memory>
#include <vector>

// The parsed form of a pattern, between the parser in Regex.cpp and the code generator in
// RegexCompiler.cpp. Private to the regular-expression engine.
namespace cva::vbs::rt::regex {

struct Node {
    enum class Kind { Empty, Char, Any, Class, Seq, Alt, Group, Look, Backref, Assert, Repeat };
    Kind kind = Kind::Empty;
    int32_t value = 0; // code unit, class index, group number, assertion op
    bool flag = false; // negative lookahead / greedy repetition
    int32_t min = 0, max = 0;
    int32_t firstGroup = 0, lastGroup = -1; // capturing groups inside (for Repeat)
    std::vector<std::unique_ptr<Node>> kids;
};

using NodePtr = std::unique_ptr<Node>;

inline NodePtr MakeNode(Node::Kind kind, int32_t value = 0) {
    auto node = std::make_unique<Node>();
    node->kind = kind;
    node->value = value;
    return node;
}

// Lowers the tree to instructions (appended to program.code). False when the expanded
// program would be unreasonably large (huge counted repetitions).
bool CompileRegexTree(const Node& root, RegexProgram& program);

} // namespace cva::vbs::rt::regex
