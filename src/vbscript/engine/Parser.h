#pragma once

#include "vbscript/engine/Ast.h"
#include "vbscript/engine/Lexer.h"

#include <string_view>
#include <vector>

namespace cva::vbs::engine {

// Deepest nesting of blocks and expressions the parser accepts; deeper text is
// rejected with 28 Out of stack space instead of exhausting the machine stack later.
constexpr uint32_t kMaxNesting = 256;
constexpr uint16_t kMaxExprDepth = 1500;

// Holds a parser counter one higher for as long as the current construct is parsed.
class CDepthGuard {
public:
    explicit CDepthGuard(uint32_t& n) : m_n(n) { ++m_n; }
    ~CDepthGuard() { --m_n; }
    CDepthGuard(const CDepthGuard&) = delete;
    CDepthGuard& operator=(const CDepthGuard&) = delete;

private:
    uint32_t& m_n;
};

// Builds the syntax tree of one piece of script text.
class CParser {
public:
    // expression: parse a single expression (Eval) instead of statements. stackBase:
    // the frame the interpreter measures its stack budget from (StackBudget.h), so that
    // text compiled deep in a recursion cannot exhaust the stack either.
    bool Parse(std::u16string_view text, Unit& unit, CompileError& error, bool expression = false,
               const char* stackBase = nullptr);

private:
    // Tokens
    const Token& Cur() const { return m_toks[m_pos]; }
    const Token& Peek(size_t n = 1) const
    {
        return m_toks[m_pos + n < m_toks.size() ? m_pos + n : m_toks.size() - 1];
    }
    bool IsKw(Kw k) const { return Cur().kind == Tok::Name && !Cur().bracketed && Cur().keyword == k; }
    bool IsTok(Tok t) const { return Cur().kind == t; }
    void Next() { if (m_pos + 1 < m_toks.size()) ++m_pos; }
    bool Accept(Tok t);
    bool AcceptKw(Kw k);
    bool Fail(int32_t number);
    // The nesting counter n, already raised for the construct being parsed, is within
    // the limit and the stack budget is not spent; else 28 Out of stack space.
    bool CheckNesting(uint32_t n);
    bool FailAt(int32_t number, const Token& t);
    bool ExpectKw(Kw k, int32_t number);
    bool Expect(Tok t, int32_t number);
    bool IsNameToken() const; // a name usable as an identifier
    bool ParseIdentifier(std::u16string& out);
    bool AtEndOfStatement() const;
    bool EndStatement();
    void SkipNewLines();

    // Statements
    StmtPtr StartStmt(StmtKind kind);
    bool ParseStatements(Block& out, bool topLevel);
    bool AtBlockEnd() const;
    bool ParseBlockUntil(Block& out);
    bool ParseStatement(Block& out, bool topLevel);
    bool ParseSimpleStatement(Block& out);
    bool ParseDim(bool isPublic, bool allowClassFields);
    bool ParseConst();
    bool ParseReDim(Block& out);
    bool ParseErase(Block& out);
    bool ParseIf(Block& out);
    bool ParseSingleLineBody(Block& out);
    bool ParseBody(Stmt& st);  // appends one multi-line block to st
    bool ParseLoopBody(Stmt& st, uint32_t& loopDepth);
    bool ParseSelect(Block& out);
    bool ParseFor(Block& out);
    bool ParseDo(Block& out);
    bool ParseWhile(Block& out);
    bool ParseWith(Block& out);
    bool ParseExit(Block& out);
    bool ParseOnError(Block& out);
    bool ParseCallOrAssign(Block& out, bool isSet, bool callKeyword);
    bool ParseProperty(bool isPublic, bool isDefault);
    bool ParseProc(ProcKind kind, bool isPublic, bool isDefault, ClassDef* owner);
    bool ParseParams(std::vector<Param>& params);
    bool ParseClass();
    bool ParseDimBounds(std::vector<int32_t>& uppers, bool& isArray);

    // Expressions
    bool ParseExpr(ExprPtr& out);
    bool ParseImp(ExprPtr& out);
    bool ParseEqv(ExprPtr& out);
    bool ParseXor(ExprPtr& out);
    bool ParseOr(ExprPtr& out);
    bool ParseAnd(ExprPtr& out);
    bool ParseNot(ExprPtr& out);
    bool ParseCompare(ExprPtr& out);
    bool ParseConcat(ExprPtr& out);
    bool ParseAdd(ExprPtr& out);
    bool ParseMod(ExprPtr& out);
    bool ParseIntDiv(ExprPtr& out);
    bool ParseMul(ExprPtr& out);
    bool ParseUnary(ExprPtr& out);
    bool ParsePow(ExprPtr& out);
    bool ParsePrimary(ExprPtr& out);
    bool ParsePostfix(ExprPtr& out, size_t* lastParen, bool statementHead);
    bool ParseArgs(std::vector<ExprPtr>& args, bool inParens);
    ExprPtr MakeBinary(BinOp op, ExprPtr l, ExprPtr r, const Token& at);
    ExprPtr NewExpr(ExprKind kind, const Token& at);
    bool CheckDepth(const ExprPtr& e);

    std::vector<Token> m_toks;
    size_t m_pos = 0;
    CompileError* m_error = nullptr;
    Unit* m_unit = nullptr;
    ProcDef* m_proc = nullptr;
    ClassDef* m_class = nullptr;
    const char* m_stackBase = nullptr;
    uint32_t m_nesting = 0;
    uint32_t m_exprNesting = 0;
    // Number of single-line If bodies being parsed; while non-zero, Else ends a statement.
    uint32_t m_singleLineIf = 0;
    uint32_t m_loopDepth = 0; // Do/For nesting within the procedure, for Exit checks
    uint32_t m_doDepth = 0;
    uint32_t m_forDepth = 0;
    bool m_sawStatement = false;

    // A block statement's body spans lines, so an enclosing single-line If no longer
    // lets Else end its statements until the block is closed.
    class CMultiLineScope {
    public:
        explicit CMultiLineScope(CParser& p) : m_p(p), m_saved(p.m_singleLineIf) { p.m_singleLineIf = 0; }
        ~CMultiLineScope() { m_p.m_singleLineIf = m_saved; }
        CMultiLineScope(const CMultiLineScope&) = delete;
        CMultiLineScope& operator=(const CMultiLineScope&) = delete;

    private:
        CParser& m_p;
        uint32_t m_saved;
    };
};

} // namespace cva::vbs::engine
