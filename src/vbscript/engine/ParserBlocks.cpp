// Compound statements: If, Select Case, the loops, With, Exit and On Error.
#include "vbscript/engine/Parser.h"

#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"
#include "vbscript/SafeArray.h"

namespace cva::vbs::engine {

namespace {

struct NestGuard {
    explicit NestGuard(uint32_t& n) : m_n(n) { ++m_n; }
    ~NestGuard() { --m_n; }
    uint32_t& m_n;
};

} // namespace

bool CParser::ParseSingleLineBody(Block& out)
{
    // Statements separated by ':' up to the end of the line or the Else.
    for (;;) {
        if (IsTok(Tok::NewLine) || IsTok(Tok::End) || IsKw(Kw::Else))
            return true;
        if (IsTok(Tok::Colon)) {
            Next();
            continue;
        }
        if (!ParseSimpleStatement(out))
            return false;
        if (!AtEndOfStatement())
            return Fail(kErrExpectedEndOfStatement);
    }
}

bool CParser::ParseIf(Block& out)
{
    NestGuard g(m_nesting);
    if (m_nesting > kMaxNesting)
        return Fail(kErrOutOfStack);
    const Token& at = Cur();
    Next();
    auto st = std::make_unique<Stmt>();
    st->kind = StmtKind::If;
    st->line = at.line;
    st->column = at.column;
    ExprPtr cond;
    if (!ParseExpr(cond))
        return false;
    if (!ExpectKw(Kw::Then, kErrExpectedThen))
        return false;
    st->conds.push_back(std::move(cond));
    if (!IsTok(Tok::NewLine) && !(IsTok(Tok::Colon) && false)) {
        // Single-line form.
        ++m_singleLineIf;
        st->blocks.emplace_back();
        bool ok = ParseSingleLineBody(st->blocks.back());
        if (ok && AcceptKw(Kw::Else)) {
            st->blocks.emplace_back();
            ok = ParseSingleLineBody(st->blocks.back());
        }
        --m_singleLineIf;
        if (!ok)
            return false;
        if (IsKw(Kw::End) && Peek().keyword == Kw::If) {
            Next();
            Next();
        }
        out.push_back(std::move(st));
        return true;
    }
    st->blocks.emplace_back();
    uint32_t savedSingle = m_singleLineIf;
    m_singleLineIf = 0;
    if (!ParseBlockUntil(st->blocks.back()))
        return false;
    for (;;) {
        if (IsKw(Kw::ElseIf)) {
            Next();
            ExprPtr c;
            if (!ParseExpr(c))
                return false;
            if (!ExpectKw(Kw::Then, kErrExpectedThen))
                return false;
            st->conds.push_back(std::move(c));
            st->blocks.emplace_back();
            if (!IsTok(Tok::NewLine) && !IsTok(Tok::Colon)) {
                ++m_singleLineIf;
                bool ok = ParseSingleLineBody(st->blocks.back());
                --m_singleLineIf;
                if (!ok)
                    return false;
            }
            if (!ParseBlockUntil(st->blocks.back()))
                return false;
            continue;
        }
        if (IsKw(Kw::Else)) {
            Next();
            st->blocks.emplace_back();
            if (!ParseBlockUntil(st->blocks.back()))
                return false;
            continue;
        }
        break;
    }
    m_singleLineIf = savedSingle;
    if (!ExpectKw(Kw::End, kErrExpectedEnd) || !ExpectKw(Kw::If, kErrExpectedIf))
        return false;
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseSelect(Block& out)
{
    NestGuard g(m_nesting);
    if (m_nesting > kMaxNesting)
        return Fail(kErrOutOfStack);
    const Token& at = Cur();
    Next();
    if (!ExpectKw(Kw::Case, kErrExpectedCase))
        return false;
    auto st = std::make_unique<Stmt>();
    st->kind = StmtKind::Select;
    st->line = at.line;
    st->column = at.column;
    if (!ParseExpr(st->target))
        return false;
    if (!EndStatement())
        return false;
    uint32_t savedSingle = m_singleLineIf;
    m_singleLineIf = 0;
    SkipNewLines();
    if (!IsKw(Kw::Case) && !IsKw(Kw::End))
        return Fail(kErrExpectedCase);
    bool sawElse = false;
    while (IsKw(Kw::Case)) {
        Next();
        CaseClause clause;
        if (AcceptKw(Kw::Else)) {
            sawElse = true;
        } else {
            if (sawElse)
                return Fail(kErrExpectedEnd);
            for (;;) {
                CaseClause::Item item;
                if (AcceptKw(Kw::Is)) {
                    item.kind = CaseClause::Item::Is;
                    switch (Cur().kind) {
                    case Tok::Eq: item.op = BinOp::Eq; break;
                    case Tok::Ne: item.op = BinOp::Ne; break;
                    case Tok::Lt: item.op = BinOp::Lt; break;
                    case Tok::Gt: item.op = BinOp::Gt; break;
                    case Tok::Le: item.op = BinOp::Le; break;
                    case Tok::Ge: item.op = BinOp::Ge; break;
                    default: return Fail(kErrSyntax);
                    }
                    Next();
                    if (!ParseConcat(item.a))
                        return false;
                } else {
                    if (!ParseExpr(item.a))
                        return false;
                    if (AcceptKw(Kw::To)) {
                        item.kind = CaseClause::Item::Range;
                        if (!ParseExpr(item.b))
                            return false;
                    }
                }
                clause.items.push_back(std::move(item));
                if (!Accept(Tok::Comma))
                    break;
            }
        }
        if (!AtEndOfStatement())
            return Fail(kErrExpectedEndOfStatement);
        if (!ParseBlockUntil(clause.body))
            return false;
        st->cases.push_back(std::move(clause));
    }
    m_singleLineIf = savedSingle;
    if (!ExpectKw(Kw::End, kErrExpectedEnd) || !ExpectKw(Kw::Select, kErrExpectedSelect))
        return false;
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseFor(Block& out)
{
    NestGuard g(m_nesting);
    if (m_nesting > kMaxNesting)
        return Fail(kErrOutOfStack);
    const Token& at = Cur();
    Next();
    auto st = std::make_unique<Stmt>();
    st->line = at.line;
    st->column = at.column;
    bool each = AcceptKw(Kw::Each);
    st->kind = each ? StmtKind::ForEach : StmtKind::For;
    st->target = NewExpr(ExprKind::Name, Cur());
    if (!IsNameToken())
        return Fail(kErrExpectedIdentifier);
    st->target->name = Cur().text;
    Next();
    if (each) {
        if (!ExpectKw(Kw::In, kErrExpectedIn))
            return false;
        if (!ParseExpr(st->expr))
            return false;
    } else {
        if (!Expect(Tok::Eq, kErrExpectedEqual))
            return false;
        if (!ParseExpr(st->expr))
            return false;
        if (!ExpectKw(Kw::To, kErrExpectedTo))
            return false;
        if (!ParseExpr(st->expr2))
            return false;
        if (AcceptKw(Kw::Step) && !ParseExpr(st->expr3))
            return false;
    }
    if (!EndStatement())
        return false;
    uint32_t savedSingle = m_singleLineIf;
    m_singleLineIf = 0;
    st->blocks.emplace_back();
    ++m_forDepth;
    bool ok = ParseBlockUntil(st->blocks.back());
    --m_forDepth;
    if (!ok)
        return false;
    m_singleLineIf = savedSingle;
    if (!ExpectKw(Kw::Next, kErrExpectedNext))
        return false;
    if (IsNameToken()) {
        if (!text::EqualsNoCase(Cur().text, st->target->name))
            return Fail(kErrInvalidForControl);
        Next();
    }
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseDo(Block& out)
{
    NestGuard g(m_nesting);
    if (m_nesting > kMaxNesting)
        return Fail(kErrOutOfStack);
    const Token& at = Cur();
    Next();
    auto st = std::make_unique<Stmt>();
    st->kind = StmtKind::Do;
    st->line = at.line;
    st->column = at.column;
    if (AcceptKw(Kw::While)) {
        st->loopTest = LoopTest::WhileBefore;
        if (!ParseExpr(st->expr))
            return false;
    } else if (AcceptKw(Kw::Until)) {
        st->loopTest = LoopTest::UntilBefore;
        if (!ParseExpr(st->expr))
            return false;
    }
    if (!AtEndOfStatement())
        return Fail(kErrExpectedWhileUntilOrEnd);
    uint32_t savedSingle = m_singleLineIf;
    m_singleLineIf = 0;
    st->blocks.emplace_back();
    ++m_doDepth;
    bool ok = ParseBlockUntil(st->blocks.back());
    --m_doDepth;
    if (!ok)
        return false;
    m_singleLineIf = savedSingle;
    if (!ExpectKw(Kw::Loop, kErrExpectedLoop))
        return false;
    if (st->loopTest == LoopTest::None) {
        if (AcceptKw(Kw::While)) {
            st->loopTest = LoopTest::WhileAfter;
            if (!ParseExpr(st->expr))
                return false;
        } else if (AcceptKw(Kw::Until)) {
            st->loopTest = LoopTest::UntilAfter;
            if (!ParseExpr(st->expr))
                return false;
        }
    }
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseWhile(Block& out)
{
    NestGuard g(m_nesting);
    if (m_nesting > kMaxNesting)
        return Fail(kErrOutOfStack);
    const Token& at = Cur();
    Next();
    auto st = std::make_unique<Stmt>();
    st->kind = StmtKind::Do;
    st->loopTest = LoopTest::WhileBefore;
    st->line = at.line;
    st->column = at.column;
    if (!ParseExpr(st->expr))
        return false;
    if (!EndStatement())
        return false;
    uint32_t savedSingle = m_singleLineIf;
    m_singleLineIf = 0;
    st->blocks.emplace_back();
    // Exit Do is not valid inside While...Wend; keep the depth counters as they are.
    if (!ParseBlockUntil(st->blocks.back()))
        return false;
    m_singleLineIf = savedSingle;
    if (!ExpectKw(Kw::Wend, kErrExpectedWend))
        return false;
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseWith(Block& out)
{
    NestGuard g(m_nesting);
    if (m_nesting > kMaxNesting)
        return Fail(kErrOutOfStack);
    const Token& at = Cur();
    Next();
    auto st = std::make_unique<Stmt>();
    st->kind = StmtKind::With;
    st->line = at.line;
    st->column = at.column;
    if (!ParseExpr(st->target))
        return false;
    if (!EndStatement())
        return false;
    uint32_t savedSingle = m_singleLineIf;
    m_singleLineIf = 0;
    st->blocks.emplace_back();
    if (!ParseBlockUntil(st->blocks.back()))
        return false;
    m_singleLineIf = savedSingle;
    if (!ExpectKw(Kw::End, kErrExpectedEnd) || !ExpectKw(Kw::With, kErrExpectedWith))
        return false;
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseExit(Block& out)
{
    const Token& at = Cur();
    Next();
    auto st = std::make_unique<Stmt>();
    st->kind = StmtKind::Exit;
    st->line = at.line;
    st->column = at.column;
    if (AcceptKw(Kw::Do)) {
        if (m_doDepth == 0)
            return FailAt(kErrInvalidExit, at);
        st->exitKind = ExitKind::Do;
    } else if (AcceptKw(Kw::For)) {
        if (m_forDepth == 0)
            return FailAt(kErrInvalidExit, at);
        st->exitKind = ExitKind::For;
    } else if (AcceptKw(Kw::Sub)) {
        if (!m_proc || m_proc->kind != ProcKind::Sub)
            return FailAt(kErrInvalidExit, at);
        st->exitKind = ExitKind::Sub;
    } else if (AcceptKw(Kw::Function)) {
        if (!m_proc || m_proc->kind != ProcKind::Function)
            return FailAt(kErrInvalidExit, at);
        st->exitKind = ExitKind::Function;
    } else if (AcceptKw(Kw::Property)) {
        if (!m_proc || m_proc->kind < ProcKind::PropertyGet)
            return FailAt(kErrInvalidExit, at);
        st->exitKind = ExitKind::Property;
    } else {
        return Fail(kErrSyntax);
    }
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseOnError(Block& out)
{
    const Token& at = Cur();
    Next();
    if (!ExpectKw(Kw::Error, kErrSyntax))
        return false;
    auto st = std::make_unique<Stmt>();
    st->line = at.line;
    st->column = at.column;
    if (AcceptKw(Kw::Resume)) {
        if (!ExpectKw(Kw::Next, kErrSyntax))
            return false;
        st->kind = StmtKind::OnErrorResume;
    } else if (AcceptKw(Kw::GoTo)) {
        if (!IsTok(Tok::Literal) || !Cur().value.IsNumberType())
            return Fail(kErrSyntax);
        int32_t n = 0;
        if (ToLong(Cur().value, n).Failed() || n != 0)
            return Fail(kErrSyntax);
        Next();
        st->kind = StmtKind::OnErrorGoto0;
    } else {
        return Fail(kErrSyntax);
    }
    out.push_back(std::move(st));
    return true;
}

} // namespace cva::vbs::engine
