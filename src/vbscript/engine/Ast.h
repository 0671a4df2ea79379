#pragma once

#include "vbscript/Variant.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace cva::vbs::engine {

struct ProcDef;
struct ClassDef;
struct Stmt;
class CClassInstance;

enum class BinOp : uint8_t {
    Add, Sub, Mul, Div, IntDiv, Mod, Pow, Concat,
    Eq, Ne, Lt, Gt, Le, Ge, Is,
    And, Or, Xor, Eqv, Imp,
};

enum class ExprKind : uint8_t {
    Const,      // value
    Name,       // a bare name (resolved: see NameRef)
    Member,     // object.name
    WithMember, // .name inside With
    Call,       // target(args): call, array index or default member
    Binary,
    Neg,
    Not,
    New,        // New ClassName
    Me,
};

// What a name stands for once resolved.
enum class NameRef : uint8_t {
    Unresolved,
    Local,      // slot in the frame
    RefParam,   // ByRef parameter: slot of the frame's reference table
    Global,     // variable of the global table (pointer is stable)
    Implicit,   // undeclared name in a procedure: the global (pointer, index in item) once
                // it exists (CInterpreter::m_globalLive), else the local in slot
    Field,      // field of Me
    Proc,       // global procedure (index into the procedure table)
    ClassProc,  // method or property of Me's class (member index)
    Builtin,    // built-in function (index)
    HostMember, // member of a named item that contributes global members
    NamedItem,  // the named item itself
    Dynamic,    // looked up at run time (names not known when compiling)
};

struct Expr {
    ExprKind kind = ExprKind::Const;
    BinOp op = BinOp::Add;
    bool parens = false;        // a call written with parentheses
    bool wrappedInParens = false; // (expr): never passed by reference
    bool missing = false;       // an argument left out: f(1, , 3)
    uint16_t depth = 1;         // height of the tree below, bounded by the parser
    uint32_t line = 0;
    uint32_t column = 0;
    Variant value;              // Const
    std::u16string name;        // Name, Member, WithMember, New
    std::unique_ptr<Expr> left; // Member/Call target, Binary left, Neg/Not operand
    std::unique_ptr<Expr> right;
    std::vector<std::unique_ptr<Expr>> args;

    // Resolution of a Name.
    NameRef ref = NameRef::Unresolved;
    int32_t slot = -1;
    Variant* global = nullptr;
    int32_t item = -1;          // HostMember / NamedItem; Implicit: the global's index
    bool isConst = false;       // a constant (assignment is illegal)
    // Member call-site cache for script classes.
    const ClassDef* cacheClass = nullptr;
    int32_t cacheMember = -1;
};
using ExprPtr = std::unique_ptr<Expr>;

enum class StmtKind : uint8_t {
    Assign,        // target = value / Set target = value
    Call,          // call statement (expr is the call)
    ReDim,
    Erase,
    If,
    Select,
    For,
    ForEach,
    Do,            // every loop form: Do, While/Wend
    With,
    Exit,
    OnErrorResume,
    OnErrorGoto0,
    Randomize,
    Const,         // a constant whose value is computed at run time
    Nop,
};

enum class ExitKind : uint8_t { Do, For, Sub, Function, Property };

enum class LoopTest : uint8_t { None, WhileBefore, UntilBefore, WhileAfter, UntilAfter };

struct CaseClause {
    struct Item {
        enum Kind : uint8_t { Value, Range, Is } kind = Value;
        BinOp op = BinOp::Eq; // for Is
        ExprPtr a;
        ExprPtr b;
    };
    std::vector<Item> items; // empty: Case Else
    std::vector<std::unique_ptr<Stmt>> body;
};

struct ReDimItem {
    ExprPtr target;             // a Name
    std::vector<ExprPtr> bounds; // upper bounds
};

using Block = std::vector<std::unique_ptr<Stmt>>;

struct Stmt {
    StmtKind kind = StmtKind::Nop;
    uint32_t line = 0;
    uint32_t column = 0;
    bool isSet = false;   // Set assignment
    bool preserve = false;
    ExitKind exitKind = ExitKind::Do;
    LoopTest loopTest = LoopTest::None;
    ExprPtr target;       // Assign target, For/ForEach variable, With object, Select subject
    ExprPtr expr;         // Assign value, Call, loop condition, For start, ForEach collection
    ExprPtr expr2;        // For end
    ExprPtr expr3;        // For step
    std::vector<ExprPtr> conds;   // If / ElseIf conditions
    std::vector<Block> blocks;    // If branches (+ Else), loop bodies
    std::vector<CaseClause> cases;
    std::vector<ReDimItem> redims;
    std::vector<ExprPtr> erases;
};
using StmtPtr = std::unique_ptr<Stmt>;

enum class ProcKind : uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct Param {
    std::u16string name;
    bool byRef = true;
    bool isArray = false; // name() in the list
};

// A local array declared with its size (Dim a(3)): created when the frame starts.
struct ArrayDecl {
    int32_t slot = -1;
    std::vector<int32_t> uppers; // empty: a dynamic array, Dim a()
};

// A Dim, Public/Private variable or Const as declared; the compiler gives it a slot.
struct Decl {
    std::u16string name;
    bool isArray = false;
    std::vector<int32_t> uppers; // sized array; empty with isArray: dynamic, Dim a()
    bool isConst = false;
    ExprPtr constValue;
    uint32_t line = 0;
    uint32_t column = 0;
};

struct ProcDef {
    std::u16string name;
    ProcKind kind = ProcKind::Sub;
    bool isPublic = true;
    bool isDefault = false;
    uint32_t line = 0;
    uint32_t column = 0;
    std::vector<Param> params;
    Block body;
    // Locals: params first, then the return slot (functions and Property Get), then Dims.
    std::vector<std::u16string> localNames;
    // Per local: the global an undeclared name stands for once it exists (-1: declared).
    std::vector<int32_t> localGlobals;
    int32_t returnSlot = -1;
    std::vector<ArrayDecl> arrays;
    std::vector<std::pair<int32_t, Expr*>> consts; // slot, value (owned by decls)
    ClassDef* owner = nullptr;
    std::vector<Decl> decls;
};

struct FieldDef {
    std::u16string name;
    bool isPublic = true;
    bool isArray = false;
    std::vector<int32_t> uppers;
};

// One name a class answers to: a field, a method, or up to three property accessors.
struct ClassMember {
    std::u16string name;
    bool isPublic = true;
    int32_t field = -1;
    ProcDef* method = nullptr;
    ProcDef* get = nullptr;
    ProcDef* let = nullptr;
    ProcDef* set = nullptr;
};

struct ClassDef {
    std::u16string name;
    uint32_t line = 0;
    std::vector<FieldDef> fields;
    std::vector<std::unique_ptr<ProcDef>> procs;
    std::vector<ClassMember> members;
    int32_t defaultMember = -1;
    ProcDef* initialize = nullptr;
    ProcDef* terminate = nullptr;

    int32_t FindMember(std::u16string_view name) const;
};

// One parsed and compiled piece of script text.
struct Unit {
    Block body; // top-level statements in order
    std::vector<std::unique_ptr<ProcDef>> procs;
    std::vector<std::unique_ptr<ClassDef>> classes;
    std::vector<Decl> decls; // top-level Dims and Consts
    // Set up before the top-level code runs.
    std::vector<std::pair<Variant*, std::vector<int32_t>>> globalArrays;
    std::vector<std::pair<Variant*, Expr*>> globalConsts;
    bool explicitVars = false;
    // A unit run by Execute/Eval inside a procedure sees that procedure's locals.
    ProcDef* scopeProc = nullptr;
};

} // namespace cva::vbs::engine
