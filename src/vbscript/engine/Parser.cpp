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

bool CParser::Parse(std::u16string_view text, Unit& unit, CompileError& error, bool expression)
{
    m_error = &error;
    m_unit = &unit;
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
    return m_singleLineIf > 0 && IsKw(Kw::Else);
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
        if (!IsTok(Tok::NewLine) && !IsTok(Tok::Colon) && !IsTok(Tok::End))
            return Fail(kErrExpectedEndOfStatement);
    }
}

bool CParser::ParseBlockUntil(Block& out)
{
    NestGuard g(m_nesting);
    if (m_nesting > kMaxNesting)
        return Fail(kErrOutOfStack);
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
                if (AcceptKw(Kw::Get))
                    return ParseProc(ProcKind::PropertyGet, isPublic, isDefault, m_class);
                if (AcceptKw(Kw::Let))
                    return ParseProc(ProcKind::PropertyLet, isPublic, isDefault, m_class);
                if (AcceptKw(Kw::Set))
                    return ParseProc(ProcKind::PropertySet, isPublic, isDefault, m_class);
                return Fail(kErrExpectedLetSetGet);
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
            if (AcceptKw(Kw::Get))
                return ParseProc(ProcKind::PropertyGet, true, false, m_class);
            if (AcceptKw(Kw::Let))
                return ParseProc(ProcKind::PropertyLet, true, false, m_class);
            if (AcceptKw(Kw::Set))
                return ParseProc(ProcKind::PropertySet, true, false, m_class);
            return Fail(kErrExpectedLetSetGet);
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
            auto st = std::make_unique<Stmt>();
            st->kind = StmtKind::Randomize;
            st->line = t.line;
            st->column = t.column;
            Next();
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

bool CParser::ParseDimBounds(std::vector<int32_t>& uppers, bool& isArray)
{
    isArray = false;
    if (!Accept(Tok::LParen))
        return true;
    isArray = true;
    if (Accept(Tok::RParen))
        return true;
    for (;;) {
        bool neg = Accept(Tok::Minus);
        if (!IsTok(Tok::Literal) || !Cur().value.IsNumberType())
            return Fail(kErrExpectedInteger);
        int32_t n = 0;
        if (ToLong(Cur().value, n).Failed())
            return Fail(kErrExpectedInteger);
        Next();
        uppers.push_back(neg ? -n : n);
        if (uppers.size() > 60)
            return Fail(kErrSubscript);
        if (Accept(Tok::RParen)) {
            uint64_t count = 1;
            for (int32_t u : uppers) {
                count *= static_cast<uint64_t>(u < 0 ? 0 : static_cast<int64_t>(u) + 1);
                if (count > SafeArray::kMaxElements)
                    return Fail(kErrOutOfMemory);
            }
            return true;
        }
        if (!Expect(Tok::Comma, kErrExpectedRParen))
            return false;
    }
}

bool CParser::ParseDim(bool isPublic, bool allowClassFields)
{
    (void)allowClassFields;
    for (;;) {
        const Token& at = Cur();
        std::u16string name;
        if (!ParseIdentifier(name))
            return false;
        std::vector<int32_t> uppers;
        bool isArray = false;
        if (!ParseDimBounds(uppers, isArray))
            return false;
        if (m_class && !m_proc) {
            for (const auto& f : m_class->fields)
                if (text::EqualsNoCase(f.name, name))
                    return FailAt(kErrNameRedefined, at);
            FieldDef f;
            f.name = name;
            f.isPublic = isPublic;
            f.isArray = isArray;
            f.uppers = std::move(uppers);
            m_class->fields.push_back(std::move(f));
        } else {
            std::vector<Decl>& decls = m_proc ? m_proc->decls : m_unit->decls;
            for (const auto& d : decls)
                if (text::EqualsNoCase(d.name, name))
                    return FailAt(kErrNameRedefined, at);
            if (m_proc)
                for (const auto& p : m_proc->params)
                    if (text::EqualsNoCase(p.name, name))
                        return FailAt(kErrNameRedefined, at);
            Decl d;
            d.name = name;
            d.isArray = isArray;
            d.uppers = std::move(uppers);
            d.line = at.line;
            d.column = at.column;
            decls.push_back(std::move(d));
        }
        if (!Accept(Tok::Comma))
            return true;
    }
}

bool CParser::ParseConst()
{
    for (;;) {
        const Token& at = Cur();
        std::u16string name;
        if (!ParseIdentifier(name))
            return false;
        if (!Expect(Tok::Eq, kErrExpectedEqual))
            return false;
        ExprPtr value;
        if (!ParseExpr(value))
            return false;
        std::vector<Decl>& decls = m_proc ? m_proc->decls : m_unit->decls;
        for (const auto& d : decls)
            if (text::EqualsNoCase(d.name, name))
                return FailAt(kErrNameRedefined, at);
        Decl d;
        d.name = name;
        d.isConst = true;
        d.constValue = std::move(value);
        d.line = at.line;
        d.column = at.column;
        decls.push_back(std::move(d));
        if (!Accept(Tok::Comma))
            return true;
    }
}

bool CParser::ParseReDim(Block& out)
{
    auto st = std::make_unique<Stmt>();
    st->kind = StmtKind::ReDim;
    st->line = m_toks[m_pos - 1].line;
    st->column = m_toks[m_pos - 1].column;
    st->preserve = AcceptKw(Kw::Preserve);
    for (;;) {
        ReDimItem item;
        const Token& at = Cur();
        item.target = NewExpr(ExprKind::Name, at);
        if (!ParseIdentifier(item.target->name))
            return false;
        if (!Expect(Tok::LParen, kErrExpectedLParen))
            return false;
        if (!ParseArgs(item.bounds, true))
            return false;
        if (item.bounds.empty())
            return Fail(kErrExpectedExpression);
        st->redims.push_back(std::move(item));
        if (!Accept(Tok::Comma))
            break;
    }
    out.push_back(std::move(st));
    return true;
}

bool CParser::ParseErase(Block& out)
{
    auto st = std::make_unique<Stmt>();
    st->kind = StmtKind::Erase;
    st->line = m_toks[m_pos - 1].line;
    st->column = m_toks[m_pos - 1].column;
    for (;;) {
        ExprPtr e = NewExpr(ExprKind::Name, Cur());
        if (!ParseIdentifier(e->name))
            return false;
        st->erases.push_back(std::move(e));
        if (!Accept(Tok::Comma))
            break;
    }
    out.push_back(std::move(st));
    return true;
}

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

bool CParser::ParseParams(std::vector<Param>& params)
{
    if (!Accept(Tok::LParen))
        return true;
    if (Accept(Tok::RParen))
        return true;
    for (;;) {
        Param p;
        if (AcceptKw(Kw::ByVal))
            p.byRef = false;
        else
            AcceptKw(Kw::ByRef);
        const Token& at = Cur();
        if (!ParseIdentifier(p.name))
            return false;
        for (const auto& q : params)
            if (text::EqualsNoCase(q.name, p.name))
                return FailAt(kErrNameRedefined, at);
        if (Accept(Tok::LParen)) {
            if (!Expect(Tok::RParen, kErrExpectedRParen))
                return false;
            p.isArray = true;
        }
        params.push_back(std::move(p));
        if (Accept(Tok::RParen))
            return true;
        if (!Expect(Tok::Comma, kErrExpectedRParen))
            return false;
    }
}

bool CParser::ParseProc(ProcKind kind, bool isPublic, bool isDefault, ClassDef* owner)
{
    const Token& at = Cur();
    auto proc = std::make_unique<ProcDef>();
    proc->kind = kind;
    proc->isPublic = isPublic;
    proc->isDefault = isDefault;
    proc->owner = owner;
    proc->line = at.line;
    proc->column = at.column;
    if (!ParseIdentifier(proc->name))
        return false;
    if (!ParseParams(proc->params))
        return false;
    if (!EndStatement())
        return false;
    if (owner && (text::EqualsNoCase(proc->name, u"Class_Initialize") ||
                  text::EqualsNoCase(proc->name, u"Class_Terminate")) &&
        !proc->params.empty())
        return FailAt(kErrClassInitNoArgs, at);
    if ((kind == ProcKind::PropertyLet || kind == ProcKind::PropertySet) && proc->params.empty())
        return FailAt(kErrPropertyLetSetNeedsArg, at);
    if (isDefault && kind != ProcKind::PropertyGet && kind != ProcKind::Function &&
        kind != ProcKind::Sub)
        return FailAt(kErrDefaultOnlyPropertyGet, at);
    ProcDef* saved = m_proc;
    m_proc = proc.get();
    uint32_t savedDo = m_doDepth, savedFor = m_forDepth;
    m_doDepth = m_forDepth = 0;
    bool ok = ParseBlockUntil(proc->body);
    m_doDepth = savedDo;
    m_forDepth = savedFor;
    m_proc = saved;
    if (!ok)
        return false;
    if (!ExpectKw(Kw::End, kErrExpectedEnd))
        return false;
    switch (kind) {
    case ProcKind::Sub:
        if (!ExpectKw(Kw::Sub, kErrExpectedSub))
            return false;
        break;
    case ProcKind::Function:
        if (!ExpectKw(Kw::Function, kErrExpectedFunction))
            return false;
        break;
    default:
        if (!ExpectKw(Kw::Property, kErrExpectedProperty))
            return false;
        break;
    }
    if (owner)
        owner->procs.push_back(std::move(proc));
    else
        m_unit->procs.push_back(std::move(proc));
    return true;
}

bool CParser::ParseClass()
{
    const Token& at = Cur();
    auto cls = std::make_unique<ClassDef>();
    cls->line = at.line;
    if (!ParseIdentifier(cls->name))
        return false;
    if (!EndStatement())
        return false;
    m_class = cls.get();
    Block dummy;
    bool ok = ParseBlockUntil(dummy);
    m_class = nullptr;
    if (!ok)
        return false;
    if (!dummy.empty())
        return Fail(kErrExpectedStatement);
    if (!ExpectKw(Kw::End, kErrExpectedEnd) || !ExpectKw(Kw::Class, kErrExpectedClass))
        return false;
    for (const auto& c : m_unit->classes)
        if (text::EqualsNoCase(c->name, cls->name))
            return FailAt(kErrNameRedefined, at);
    m_unit->classes.push_back(std::move(cls));
    return true;
}

} // namespace cva::vbs::engine
