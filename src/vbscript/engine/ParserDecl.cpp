// Declarations: Dim, Const, ReDim, Erase, procedures and classes.
#include "vbscript/engine/Parser.h"

#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"
#include "vbscript/SafeArray.h"

namespace cva::vbs::engine {

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
    // The body may start on the same line: "Sub S() x = 1 End Sub".
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
