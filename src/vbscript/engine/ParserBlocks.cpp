// Compound statements: If, Select Case, the loops, With, Exit and On Error.
#include "vbscript/engine/Parser.h"

#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"
#include "vbscript/SafeArray.h"

namespace cva::vbs::engine {

bool CParser::ParseBody(Stmt& st)
{
    CMultiLineScope multiLine(*this);
    st.blocks.emplace_back();
    return ParseBlockUntil(st.blocks.back());
}

bool CParser::ParseLoopBody(Stmt& st, uint32_t& loopDepth)
{
    CDepthGuard loop(loopDepth);
    return ParseBody(st);
}

bool CParser::ParseSingleLineBody(Block& out)
{
    // Statements separated by ':' up to the end of the line or the Else.
    for (;;) {
        if (IsTok(Tok::NewLine) || IsTok(Tok::End) || IsKw(Kw::Else) || IsKw(Kw::End))
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
    CDepthGuard g(m_nesting);
    if (!CheckNesting(m_nesting))
        return false;
    StmtPtr st = StartStmt(StmtKind::If);
    ExprPtr cond;
    if (!ParseExpr(cond))
        return false;
    if (!ExpectKw(Kw::Then, kErrExpectedThen))
        return false;
    st->conds.push_back(std::move(cond));
    if (!IsTok(Tok::NewLine) && !(IsTok(Tok::Colon) && false)) {
        // Single-line form.
        {
            CDepthGuard single(m_singleLineIf);
            st->blocks.emplace_back();
            if (!ParseSingleLineBody(st->blocks.back()))
                return false;
            if (AcceptKw(Kw::Else)) {
                st->blocks.emplace_back();
                if (!ParseSingleLineBody(st->blocks.back()))
                    return false;
            }
        }
        if (IsKw(Kw::End) && Peek().keyword == Kw::If) {
            Next();
            Next();
        }
        out.push_back(std::move(st));
        return true;
    }
    st->blocks.emplace_back();
    CMultiLineScope multiLine(*this);
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
                CDepthGuard single(m_singleLineIf);
                if (!ParseSingleLineBody(st->blocks.back()))
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
    if (!ExpectKw(Kw::End, kErrExpectedEnd) || !ExpectKw(Kw::If, kErrExpectedIf))
        return false;
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseSelect(Block& out)
{
    CDepthGuard g(m_nesting);
    if (!CheckNesting(m_nesting))
        return false;
    StmtPtr st = StartStmt(StmtKind::Select);
    if (!ExpectKw(Kw::Case, kErrExpectedCase))
        return false;
    if (!ParseExpr(st->target))
        return false;
    if (!EndStatement())
        return false;
    CMultiLineScope multiLine(*this);
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
        // The clause's first statement may follow on the same line: "Case 1 x = 2".
        if (!ParseBlockUntil(clause.body))
            return false;
        st->cases.push_back(std::move(clause));
    }
    if (!ExpectKw(Kw::End, kErrExpectedEnd) || !ExpectKw(Kw::Select, kErrExpectedSelect))
        return false;
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseFor(Block& out)
{
    CDepthGuard g(m_nesting);
    if (!CheckNesting(m_nesting))
        return false;
    StmtPtr st = StartStmt(StmtKind::For);
    bool each = AcceptKw(Kw::Each);
    if (each)
        st->kind = StmtKind::ForEach;
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
    if (!ParseLoopBody(*st, m_forDepth))
        return false;
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
    CDepthGuard g(m_nesting);
    if (!CheckNesting(m_nesting))
        return false;
    StmtPtr st = StartStmt(StmtKind::Do);
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
    if (!ParseLoopBody(*st, m_doDepth))
        return false;
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
    CDepthGuard g(m_nesting);
    if (!CheckNesting(m_nesting))
        return false;
    StmtPtr st = StartStmt(StmtKind::Do);
    st->loopTest = LoopTest::WhileBefore;
    if (!ParseExpr(st->expr))
        return false;
    if (!EndStatement())
        return false;
    // Exit Do is not valid inside While...Wend; keep the depth counters as they are.
    if (!ParseBody(*st))
        return false;
    if (!ExpectKw(Kw::Wend, kErrExpectedWend))
        return false;
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseWith(Block& out)
{
    CDepthGuard g(m_nesting);
    if (!CheckNesting(m_nesting))
        return false;
    StmtPtr st = StartStmt(StmtKind::With);
    if (!ParseExpr(st->target))
        return false;
    if (!EndStatement())
        return false;
    if (!ParseBody(*st))
        return false;
    if (!ExpectKw(Kw::End, kErrExpectedEnd) || !ExpectKw(Kw::With, kErrExpectedWith))
        return false;
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseExit(Block& out)
{
    const Token& at = Cur();
    StmtPtr st = StartStmt(StmtKind::Exit);
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
    StmtPtr st = StartStmt(StmtKind::OnErrorResume);
    if (!ExpectKw(Kw::Error, kErrSyntax))
        return false;
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
