#include "vbscript/engine/Parser.h"

namespace cva::vbs::engine {

ExprPtr CParser::NewExpr(ExprKind kind, const Token& at)
{
    auto e = std::make_unique<Expr>();
    e->kind = kind;
    e->line = at.line;
    e->column = at.column;
    return e;
}

bool CParser::CheckDepth(const ExprPtr& e)
{
    uint16_t d = 0;
    if (e->left)
        d = std::max(d, e->left->depth);
    if (e->right)
        d = std::max(d, e->right->depth);
    for (const auto& a : e->args)
        d = std::max(d, a->depth);
    if (d >= kMaxExprDepth)
        return Fail(kErrOutOfStack);
    e->depth = static_cast<uint16_t>(d + 1);
    return true;
}

ExprPtr CParser::MakeBinary(BinOp op, ExprPtr l, ExprPtr r, const Token& at)
{
    auto e = NewExpr(ExprKind::Binary, at);
    e->op = op;
    e->line = l->line;
    e->column = l->column;
    e->left = std::move(l);
    e->right = std::move(r);
    (void)at;
    return e;
}

bool CParser::ParseExpr(ExprPtr& out)
{
    CDepthGuard g(m_exprNesting);
    if (!CheckNesting(m_exprNesting))
        return false;
    return ParseImp(out);
}

#define CVA_BINARY_LEVEL(NAME, NEXT, TEST, OP)                                                   \
    bool CParser::NAME(ExprPtr& out)                                                             \
    {                                                                                            \
        if (!NEXT(out))                                                                          \
            return false;                                                                        \
        while (TEST) {                                                                           \
            const Token& at = Cur();                                                             \
            BinOp op = OP;                                                                       \
            Next();                                                                              \
            ExprPtr r;                                                                           \
            if (!NEXT(r))                                                                        \
                return false;                                                                    \
            out = MakeBinary(op, std::move(out), std::move(r), at);                              \
            if (!CheckDepth(out))                                                                \
                return false;                                                                    \
        }                                                                                        \
        return true;                                                                             \
    }

CVA_BINARY_LEVEL(ParseImp, ParseEqv, IsKw(Kw::Imp), BinOp::Imp)
CVA_BINARY_LEVEL(ParseEqv, ParseXor, IsKw(Kw::Eqv), BinOp::Eqv)
CVA_BINARY_LEVEL(ParseXor, ParseOr, IsKw(Kw::Xor), BinOp::Xor)
CVA_BINARY_LEVEL(ParseOr, ParseAnd, IsKw(Kw::Or), BinOp::Or)
CVA_BINARY_LEVEL(ParseAnd, ParseNot, IsKw(Kw::And), BinOp::And)
CVA_BINARY_LEVEL(ParseConcat, ParseAdd, IsTok(Tok::Amp), BinOp::Concat)
CVA_BINARY_LEVEL(ParseAdd, ParseMod, IsTok(Tok::Plus) || IsTok(Tok::Minus),
                 IsTok(Tok::Plus) ? BinOp::Add : BinOp::Sub)
CVA_BINARY_LEVEL(ParseMod, ParseIntDiv, IsKw(Kw::Mod), BinOp::Mod)
CVA_BINARY_LEVEL(ParseIntDiv, ParseMul, IsTok(Tok::Backslash), BinOp::IntDiv)
CVA_BINARY_LEVEL(ParseMul, ParseUnary, IsTok(Tok::Star) || IsTok(Tok::Slash),
                 IsTok(Tok::Star) ? BinOp::Mul : BinOp::Div)

#undef CVA_BINARY_LEVEL

bool CParser::ParseNot(ExprPtr& out)
{
    if (IsKw(Kw::Not)) {
        CDepthGuard g(m_exprNesting);
        if (!CheckNesting(m_exprNesting))
            return false;
        const Token& at = Cur();
        Next();
        ExprPtr operand;
        if (!ParseNot(operand))
            return false;
        out = NewExpr(ExprKind::Not, at);
        out->left = std::move(operand);
        return CheckDepth(out);
    }
    return ParseCompare(out);
}

bool CParser::ParseCompare(ExprPtr& out)
{
    if (!ParseConcat(out))
        return false;
    for (;;) {
        BinOp op;
        switch (Cur().kind) {
        case Tok::Eq: op = BinOp::Eq; break;
        case Tok::Ne: op = BinOp::Ne; break;
        case Tok::Lt: op = BinOp::Lt; break;
        case Tok::Gt: op = BinOp::Gt; break;
        case Tok::Le: op = BinOp::Le; break;
        case Tok::Ge: op = BinOp::Ge; break;
        default:
            if (!IsKw(Kw::Is))
                return true;
            op = BinOp::Is;
            break;
        }
        const Token& at = Cur();
        Next();
        ExprPtr r;
        // "a <> Not b": Not applies to the comparison that follows it.
        if (!(IsKw(Kw::Not) ? ParseNot(r) : ParseConcat(r)))
            return false;
        out = MakeBinary(op, std::move(out), std::move(r), at);
        if (!CheckDepth(out))
            return false;
    }
}

bool CParser::ParseUnary(ExprPtr& out)
{
    if (IsTok(Tok::Minus) || IsTok(Tok::Plus)) {
        CDepthGuard g(m_exprNesting);
        if (!CheckNesting(m_exprNesting))
            return false;
        const Token& at = Cur();
        bool neg = IsTok(Tok::Minus);
        Next();
        ExprPtr operand;
        if (!ParseUnary(operand))
            return false;
        if (!neg) {
            out = std::move(operand);
            return true;
        }
        out = NewExpr(ExprKind::Neg, at);
        out->left = std::move(operand);
        return CheckDepth(out);
    }
    return ParsePow(out);
}

bool CParser::ParsePow(ExprPtr& out)
{
    if (!ParsePrimary(out))
        return false;
    while (IsTok(Tok::Caret)) {
        const Token& at = Cur();
        Next();
        ExprPtr r;
        if (IsTok(Tok::Minus) || IsTok(Tok::Plus)) {
            // 2 ^ -1: a sign is allowed on the exponent.
            const Token& signTok = Cur();
            bool neg = IsTok(Tok::Minus);
            Next();
            ExprPtr operand;
            if (!ParsePrimary(operand))
                return false;
            if (neg) {
                r = NewExpr(ExprKind::Neg, signTok);
                r->left = std::move(operand);
                if (!CheckDepth(r))
                    return false;
            } else {
                r = std::move(operand);
            }
        } else if (!ParsePrimary(r)) {
            return false;
        }
        out = MakeBinary(BinOp::Pow, std::move(out), std::move(r), at);
        if (!CheckDepth(out))
            return false;
    }
    return true;
}

bool CParser::ParsePrimary(ExprPtr& out)
{
    const Token& t = Cur();
    switch (t.kind) {
    case Tok::Literal:
        out = NewExpr(ExprKind::Const, t);
        out->value = t.value;
        Next();
        return true;
    case Tok::LParen: {
        CDepthGuard g(m_exprNesting);
        if (!CheckNesting(m_exprNesting))
            return false;
        Next();
        if (!ParseExpr(out))
            return false;
        if (!Expect(Tok::RParen, kErrExpectedRParen))
            return false;
        out->wrappedInParens = true;
        return true;
    }
    case Tok::Name:
        if (!t.bracketed) {
            switch (t.keyword) {
            case Kw::True:
            case Kw::False:
                out = NewExpr(ExprKind::Const, t);
                out->value = Variant(t.keyword == Kw::True);
                Next();
                return true;
            case Kw::Empty:
                out = NewExpr(ExprKind::Const, t);
                Next();
                return true;
            case Kw::Null:
                out = NewExpr(ExprKind::Const, t);
                out->value = Variant::Null();
                Next();
                return true;
            case Kw::Nothing:
                out = NewExpr(ExprKind::Const, t);
                out->value = Variant::Nothing();
                Next();
                return true;
            case Kw::New: {
                Next();
                out = NewExpr(ExprKind::New, t);
                if (!IsNameToken())
                    return Fail(kErrExpectedIdentifier);
                out->name = Cur().text;
                Next();
                return true;
            }
            case Kw::Me:
                return ParsePostfix(out, nullptr, false);
            default:
                if (!IsNameToken())
                    return Fail(kErrExpectedExpression);
                break;
            }
        }
        return ParsePostfix(out, nullptr, false);
    case Tok::WithDot:
        return ParsePostfix(out, nullptr, false);
    default:
        return Fail(kErrExpectedExpression);
    }
}

bool CParser::ParsePostfix(ExprPtr& out, size_t* lastParen, bool statementHead)
{
    (void)statementHead;
    const Token& t = Cur();
    if (t.kind == Tok::WithDot) {
        Next();
        if (Cur().kind != Tok::Name)
            return Fail(kErrExpectedIdentifier);
        out = NewExpr(ExprKind::WithMember, t);
        out->name = Cur().text;
        Next();
    } else if (t.kind == Tok::Name && !t.bracketed && t.keyword == Kw::Me) {
        out = NewExpr(ExprKind::Me, t);
        Next();
    } else if (t.kind == Tok::Name && (t.bracketed || t.keyword == Kw::None || IsSoftKeyword(t.keyword))) {
        out = NewExpr(ExprKind::Name, t);
        out->name = t.text;
        Next();
    } else {
        return Fail(kErrExpectedStatement);
    }
    for (;;) {
        if (IsTok(Tok::Dot)) {
            const Token& dot = Cur();
            Next();
            if (Cur().kind != Tok::Name)
                return Fail(kErrExpectedIdentifier);
            auto m = NewExpr(ExprKind::Member, dot);
            m->name = Cur().text;
            m->line = out->line;
            m->column = out->column;
            Next();
            m->left = std::move(out);
            out = std::move(m);
            if (!CheckDepth(out))
                return false;
            continue;
        }
        if (IsTok(Tok::LParen)) {
            if (lastParen)
                *lastParen = m_pos;
            Next();
            auto c = NewExpr(ExprKind::Call, Cur());
            c->line = out->line;
            c->column = out->column;
            c->parens = true;
            if (!ParseArgs(c->args, true))
                return false;
            c->left = std::move(out);
            out = std::move(c);
            if (!CheckDepth(out))
                return false;
            continue;
        }
        return true;
    }
}

bool CParser::ParseArgs(std::vector<ExprPtr>& args, bool inParens)
{
    CDepthGuard g(m_exprNesting);
    if (!CheckNesting(m_exprNesting))
        return false;
    if (inParens && Accept(Tok::RParen))
        return true;
    for (;;) {
        bool atEnd = inParens ? (IsTok(Tok::Comma) || IsTok(Tok::RParen))
                              : (IsTok(Tok::Comma) || AtEndOfStatement());
        if (atEnd) {
            auto m = NewExpr(ExprKind::Const, Cur());
            m->missing = true;
            m->value = Variant::FromError(static_cast<int32_t>(0x80020004u));
            args.push_back(std::move(m));
        } else {
            ExprPtr e;
            if (!ParseExpr(e))
                return false;
            args.push_back(std::move(e));
        }
        if (Accept(Tok::Comma))
            continue;
        if (inParens)
            return Expect(Tok::RParen, kErrExpectedRParen);
        if (!AtEndOfStatement())
            return Fail(kErrExpectedEndOfStatement);
        return true;
    }
}

} // namespace cva::vbs::engine
