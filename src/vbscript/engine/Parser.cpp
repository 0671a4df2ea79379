#include "vbscript/engine/Parser.h"

#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"
#include "vbscript/SafeArray.h"
#include "vbscript/engine/StackBudget.h"

namespace cva::vbs::engine {

bool CParser::Parse(std::u16string_view text, Unit& unit, CompileError& error, bool expression,
                    const char* stackBase)
{
    m_error = &error;
    m_unit = &unit;
    m_stackBase = stackBase;
    if (!Tokenize(text, m_toks, error))
        return false;
    m_pos = 0;
    if (expression) {
        SkipNewLines();
        ExprPtr e;
        if (!ParseExpr(e))
            return false;
        SkipNewLines();
        if (!IsTok(Tok::End))
            return Fail(kErrExpectedEndOfStatement);
        auto st = std::make_unique<Stmt>();
        st->kind = StmtKind::Call;
        st->line = e->line;
        st->column = e->column;
        st->expr = std::move(e);
        unit.body.push_back(std::move(st));
        return true;
    }
    return ParseStatements(unit.body, true);
}

// Opens a statement at the current token, which is consumed.
StmtPtr CParser::StartStmt(StmtKind kind)
{
    auto st = std::make_unique<Stmt>();
    st->kind = kind;
    st->line = Cur().line;
    st->column = Cur().column;
    Next();
    return st;
}

bool CParser::Fail(int32_t number)
{
    return FailAt(number, Cur());
}

bool CParser::FailAt(int32_t number, const Token& t)
{
    if (m_error->number == 0) {
        m_error->number = number;
        m_error->line = t.line;
        m_error->column = t.column;
    }
    return false;
}

bool CParser::CheckNesting(uint32_t n)
{
    if (n > kMaxNesting || StackBudgetSpent(m_stackBase))
        return Fail(kErrOutOfStack);
    return true;
}

bool CParser::Accept(Tok t)
{
    if (!IsTok(t))
        return false;
    Next();
    return true;
}

bool CParser::AcceptKw(Kw k)
{
    if (!IsKw(k))
        return false;
    Next();
    return true;
}

bool CParser::ExpectKw(Kw k, int32_t number)
{
    return AcceptKw(k) || Fail(number);
}

bool CParser::Expect(Tok t, int32_t number)
{
    return Accept(t) || Fail(number);
}

bool CParser::IsNameToken() const
{
    const Token& t = Cur();
    return t.kind == Tok::Name && (t.bracketed || t.keyword == Kw::None || IsSoftKeyword(t.keyword));
}

bool CParser::ParseIdentifier(std::u16string& out)
{
    if (!IsNameToken())
        return Fail(kErrExpectedIdentifier);
    out = Cur().text;
    Next();
    return true;
}

bool CParser::AtEndOfStatement() const
{
    Tok k = Cur().kind;
    if (k == Tok::NewLine || k == Tok::Colon || k == Tok::End)
        return true;
    // "End ..." also closes the block around a statement on its own line, as in
    // "Sub S() x = 1 End Sub" or a single-line If with "End If"; Else ends the
    // statements of a single-line If.
    return IsKw(Kw::End) || (m_singleLineIf > 0 && IsKw(Kw::Else));
}

bool CParser::EndStatement()
{
    if (!AtEndOfStatement())
        return Fail(kErrExpectedEndOfStatement);
    return true;
}

void CParser::SkipNewLines()
{
    while (IsTok(Tok::NewLine) || IsTok(Tok::Colon))
        Next();
}

bool CParser::AtBlockEnd() const
{
    if (IsTok(Tok::End))
        return true;
    if (Cur().kind != Tok::Name || Cur().bracketed)
        return false;
    switch (Cur().keyword) {
    case Kw::End:
    case Kw::Next:
    case Kw::Loop:
    case Kw::Wend:
    case Kw::Else:
    case Kw::ElseIf:
    case Kw::Case:
        return true;
    default:
        return false;
    }
}

bool CParser::ParseStatements(Block& out, bool topLevel)
{
    for (;;) {
        SkipNewLines();
        if (IsTok(Tok::End))
            return true;
        if (AtBlockEnd()) {
            if (!topLevel)
                return true;
            if (IsKw(Kw::Next))
                return Fail(kErrUnexpectedNext);
            if (IsKw(Kw::Loop))
                return Fail(kErrLoopWithoutDo);
            return Fail(kErrExpectedStatement);
        }
        if (!ParseStatement(out, topLevel))
            return false;
        m_sawStatement = true;
        if (!AtEndOfStatement())
            return Fail(kErrExpectedEndOfStatement);
    }
}

bool CParser::ParseBlockUntil(Block& out)
{
    CDepthGuard g(m_nesting);
    if (!CheckNesting(m_nesting))
        return false;
    return ParseStatements(out, false);
}

bool CParser::ParseStatement(Block& out, bool topLevel)
{
    const Token& t = Cur();
    bool declScope = (topLevel || m_class) && !m_proc;
    if (t.kind == Tok::Name && !t.bracketed) {
        switch (t.keyword) {
        case Kw::Option:
            Next();
            if (!AcceptKw(Kw::Explicit))
                return Fail(kErrExpectedIdentifier);
            if (m_sawStatement || !topLevel || m_proc)
                return FailAt(kErrMustBeFirstStatement, t);
            m_unit->explicitVars = true;
            return true;
        case Kw::Public:
        case Kw::Private: {
            bool isPublic = t.keyword == Kw::Public;
            if (!declScope)
                return Fail(kErrExpectedStatement);
            Next();
            bool isDefault = false;
            if (AcceptKw(Kw::Default)) {
                if (!isPublic)
                    return Fail(kErrDefaultOnlyPublic);
                isDefault = true;
            }
            if (AcceptKw(Kw::Sub))
                return ParseProc(ProcKind::Sub, isPublic, isDefault, m_class);
            if (AcceptKw(Kw::Function))
                return ParseProc(ProcKind::Function, isPublic, isDefault, m_class);
            if (AcceptKw(Kw::Property)) {
                if (!m_class)
                    return Fail(kErrMustBeInsideClass);
                return ParseProperty(isPublic, isDefault);
            }
            if (isDefault)
                return Fail(kErrExpectedFunction);
            if (IsKw(Kw::Const)) {
                Next();
                return ParseConst();
            }
            return ParseDim(isPublic, true);
        }
        case Kw::Dim:
            Next();
            return ParseDim(true, true);
        case Kw::Const:
            Next();
            return ParseConst();
        case Kw::ReDim:
            Next();
            return ParseReDim(out);
        case Kw::Erase:
            Next();
            return ParseErase(out);
        case Kw::Sub:
            if (!declScope)
                return Fail(kErrExpectedStatement);
            Next();
            return ParseProc(ProcKind::Sub, true, false, m_class);
        case Kw::Function:
            if (!declScope)
                return Fail(kErrExpectedStatement);
            Next();
            return ParseProc(ProcKind::Function, true, false, m_class);
        case Kw::Property:
            if (!declScope)
                return Fail(kErrExpectedStatement);
            if (!m_class)
                return Fail(kErrMustBeInsideClass);
            Next();
            return ParseProperty(true, false);
        case Kw::Class:
            if (!topLevel || m_proc || m_class)
                return Fail(kErrExpectedStatement);
            Next();
            return ParseClass();
        default:
            break;
        }
    }
    if (m_class && !m_proc)
        return Fail(kErrExpectedStatement);
    return ParseSimpleStatement(out);
}

// After "Property": which of the three property procedures follows.
bool CParser::ParseProperty(bool isPublic, bool isDefault)
{
    if (AcceptKw(Kw::Get))
        return ParseProc(ProcKind::PropertyGet, isPublic, isDefault, m_class);
    if (AcceptKw(Kw::Let))
        return ParseProc(ProcKind::PropertyLet, isPublic, isDefault, m_class);
    if (AcceptKw(Kw::Set))
        return ParseProc(ProcKind::PropertySet, isPublic, isDefault, m_class);
    return Fail(kErrExpectedLetSetGet);
}

// Statements that may appear anywhere code runs, including inside a single-line If.
bool CParser::ParseSimpleStatement(Block& out)
{
    const Token& t = Cur();
    if (t.kind == Tok::WithDot)
        return ParseCallOrAssign(out, false, false);
    if (t.kind != Tok::Name)
        return Fail(kErrExpectedStatement);
    if (!t.bracketed) {
        switch (t.keyword) {
        case Kw::Dim:
            Next();
            return ParseDim(true, false);
        case Kw::Const:
            Next();
            return ParseConst();
        case Kw::ReDim:
            Next();
            return ParseReDim(out);
        case Kw::Erase:
            Next();
            return ParseErase(out);
        case Kw::If:
            return ParseIf(out);
        case Kw::Select:
            return ParseSelect(out);
        case Kw::For:
            return ParseFor(out);
        case Kw::Do:
            return ParseDo(out);
        case Kw::While:
            return ParseWhile(out);
        case Kw::With:
            return ParseWith(out);
        case Kw::Exit:
            return ParseExit(out);
        case Kw::On:
            return ParseOnError(out);
        case Kw::Randomize: {
            StmtPtr st = StartStmt(StmtKind::Randomize);
            if (!AtEndOfStatement() && !ParseExpr(st->expr))
                return false;
            out.push_back(std::move(st));
            return true;
        }
        case Kw::Stop:
            Next();
            return true;
        case Kw::Call:
            Next();
            return ParseCallOrAssign(out, false, true);
        case Kw::Set:
            Next();
            return ParseCallOrAssign(out, true, false);
        case Kw::Let:
            Next();
            return ParseCallOrAssign(out, false, false);
        case Kw::Me:
            return ParseCallOrAssign(out, false, false);
        case Kw::Next:
            return Fail(kErrUnexpectedNext);
        case Kw::Loop:
            return Fail(kErrLoopWithoutDo);
        case Kw::Sub:
        case Kw::Function:
        case Kw::Class:
        case Kw::Property:
        case Kw::Public:
        case Kw::Private:
        case Kw::Option:
            return Fail(kErrSyntax);
        default:
            if (!IsNameToken())
                return Fail(kErrExpectedStatement);
            break;
        }
    }
    return ParseCallOrAssign(out, false, false);
}

bool CParser::ParseCallOrAssign(Block& out, bool isSet, bool callKeyword)
{
    const Token& at = Cur();
    auto st = std::make_unique<Stmt>();
    st->line = at.line;
    st->column = at.column;
    size_t lastParen = 0;
    ExprPtr head;
    if (!ParsePostfix(head, &lastParen, true))
        return false;
    if (!callKeyword && IsTok(Tok::Eq)) {
        if (head->kind != ExprKind::Name && head->kind != ExprKind::Member &&
            head->kind != ExprKind::WithMember && head->kind != ExprKind::Call)
            return Fail(kErrExpectedStatement);
        Next();
        st->kind = StmtKind::Assign;
        st->isSet = isSet;
        st->target = std::move(head);
        if (!ParseExpr(st->expr))
            return false;
        out.push_back(std::move(st));
        return true;
    }
    if (isSet)
        return Fail(kErrExpectedEqual);
    if (head->kind == ExprKind::Me || head->kind == ExprKind::Const)
        return Fail(kErrExpectedStatement);
    st->kind = StmtKind::Call;
    if (AtEndOfStatement()) {
        if (head->kind == ExprKind::Call && head->parens && !callKeyword) {
            if (head->args.size() > 1)
                return FailAt(kErrCantUseParensCallingSub, m_toks[lastParen]);
            // foo(x) as a statement passes the parenthesised expression x by value.
            if (head->args.size() == 1)
                head->args[0]->wrappedInParens = true;
        }
        st->expr = std::move(head);
        out.push_back(std::move(st));
        return true;
    }
    if (callKeyword)
        return Fail(kErrExpectedEndOfStatement);
    // Arguments without parentheses. When the head ended in "(...)" that group was
    // really the start of the first argument: parse again from there.
    ExprPtr target;
    if (head->kind == ExprKind::Call && head->parens && lastParen) {
        target = std::move(head->left);
        m_pos = lastParen;
    } else {
        target = std::move(head);
    }
    auto call = NewExpr(ExprKind::Call, at);
    call->left = std::move(target);
    call->parens = false;
    if (!ParseArgs(call->args, false))
        return false;
    st->expr = std::move(call);
    out.push_back(std::move(st));
    return true;
}

} // namespace cva::vbs::engine
