#include "vbscript/engine/Lexer.h"

#include "platform/text/Unicode.h"
#include "vbscript/NumberText.h"

#include <cmath>
#include <cstdlib>

namespace cva::vbs::engine {

namespace {

struct KeywordName {
    const char16_t* name;
    Kw kw;
};

constexpr KeywordName kKeywords[] = {
    {u"AND", Kw::And}, {u"BYREF", Kw::ByRef}, {u"BYVAL", Kw::ByVal}, {u"CALL", Kw::Call},
    {u"CASE", Kw::Case}, {u"CLASS", Kw::Class}, {u"CONST", Kw::Const},
    {u"DEFAULT", Kw::Default}, {u"DIM", Kw::Dim}, {u"DO", Kw::Do}, {u"EACH", Kw::Each},
    {u"ELSE", Kw::Else}, {u"ELSEIF", Kw::ElseIf}, {u"EMPTY", Kw::Empty}, {u"END", Kw::End},
    {u"EQV", Kw::Eqv}, {u"ERASE", Kw::Erase}, {u"ERROR", Kw::Error}, {u"EXIT", Kw::Exit},
    {u"EXPLICIT", Kw::Explicit}, {u"FALSE", Kw::False}, {u"FOR", Kw::For},
    {u"FUNCTION", Kw::Function}, {u"GET", Kw::Get}, {u"GOTO", Kw::GoTo}, {u"IF", Kw::If},
    {u"IMP", Kw::Imp}, {u"IN", Kw::In}, {u"IS", Kw::Is}, {u"LET", Kw::Let},
    {u"LOOP", Kw::Loop}, {u"ME", Kw::Me}, {u"MOD", Kw::Mod}, {u"NEW", Kw::New},
    {u"NEXT", Kw::Next}, {u"NOT", Kw::Not}, {u"NOTHING", Kw::Nothing}, {u"NULL", Kw::Null},
    {u"ON", Kw::On}, {u"OPTION", Kw::Option}, {u"OR", Kw::Or}, {u"PRESERVE", Kw::Preserve},
    {u"PRIVATE", Kw::Private}, {u"PROPERTY", Kw::Property}, {u"PUBLIC", Kw::Public},
    {u"RANDOMIZE", Kw::Randomize}, {u"REDIM", Kw::ReDim}, {u"RESUME", Kw::Resume},
    {u"SELECT", Kw::Select}, {u"SET", Kw::Set}, {u"STEP", Kw::Step}, {u"STOP", Kw::Stop},
    {u"SUB", Kw::Sub}, {u"THEN", Kw::Then}, {u"TO", Kw::To}, {u"TRUE", Kw::True},
    {u"UNTIL", Kw::Until}, {u"WEND", Kw::Wend}, {u"WHILE", Kw::While}, {u"WITH", Kw::With},
    {u"XOR", Kw::Xor},
};

Kw LookupKeyword(std::u16string_view name)
{
    if (name.size() < 2 || name.size() > 9)
        return Kw::None;
    for (const auto& k : kKeywords)
        if (text::EqualsNoCase(name, k.name))
            return k.kw;
    return Kw::None;
}

bool IsNameStart(char16_t c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c >= 0xC0;
}

bool IsNameChar(char16_t c)
{
    return IsNameStart(c) || (c >= u'0' && c <= u'9') || c == u'_';
}

// The value of a hexadecimal digit, else -1.
int DigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if ((c | 0x20) >= u'a' && (c | 0x20) <= u'f')
        return (c | 0x20) - u'a' + 10;
    return -1;
}

bool IsDigitOfBase(char16_t c, int base)
{
    int d = DigitValue(c);
    return d >= 0 && d < base;
}

bool IsSpace(char16_t c)
{
    return c == u' ' || c == u'\t' || c == 0xA0 || c == 0xFEFF || c == u'\f' || c == u'\v';
}

class Scanner {
public:
    Scanner(std::u16string_view text, std::vector<Token>& out, CompileError& error)
        : m_t(text), m_out(out), m_error(error)
    {
    }

    bool Run();

private:
    bool Fail(int32_t number, size_t pos)
    {
        m_error.number = number;
        m_error.line = m_line;
        m_error.column = static_cast<uint32_t>(pos - m_lineStart);
        return false;
    }
    Token& Push(Tok kind, size_t start)
    {
        Token& t = m_out.emplace_back();
        t.kind = kind;
        t.line = m_line;
        t.column = static_cast<uint32_t>(start - m_lineStart);
        t.spaceBefore = m_space;
        m_space = false;
        m_continued = false;
        return t;
    }
    char16_t At(size_t i) const { return i < m_t.size() ? m_t[i] : 0; }
    void NewLine(size_t next)
    {
        ++m_line;
        m_lineStart = next;
    }
    bool Number(size_t start);
    bool String(size_t start);
    bool Date(size_t start);
    bool LastEndsOperand() const
    {
        if (m_out.empty() || m_space)
            return false;
        return EndsOperand(m_out.back());
    }
    static bool EndsOperand(const Token& t)
    {
        return (t.kind == Tok::Name && (t.keyword == Kw::None || t.bracketed || t.keyword == Kw::Me ||
                                        IsSoftKeyword(t.keyword))) ||
               t.kind == Tok::RParen;
    }

    std::u16string_view m_t;
    std::vector<Token>& m_out;
    CompileError& m_error;
    size_t m_pos = 0;
    uint32_t m_line = 0;
    size_t m_lineStart = 0;
    bool m_space = false;
    bool m_continued = false; // only a line continuation since the last token
};

bool Scanner::Number(size_t start)
{
    size_t i = start;
    if (m_t[i] == u'&') {
        char16_t k = At(i + 1) | 0x20;
        int base = 8;
        i += 1;
        if (k == u'h') {
            base = 16;
            i += 1;
        } else if (k == u'o') {
            i += 1;
        }
        uint64_t v = 0;
        size_t digitsStart = i;
        for (;; ++i) {
            int d = DigitValue(At(i));
            if (d < 0 || d >= base)
                break;
            v = v * base + d;
            if (v > 0xFFFFFFFFull)
                return Fail(kErrInvalidNumber, start);
        }
        if (i == digitsStart)
            return Fail(kErrSyntax, start);
        bool longSuffix = At(i) == u'&';
        if (longSuffix)
            ++i;
        Token& t = Push(Tok::Literal, start);
        if (!longSuffix && v <= 0xFFFF)
            t.value = Variant::FromInteger(static_cast<int16_t>(static_cast<uint16_t>(v)));
        else
            t.value = Variant(static_cast<int32_t>(static_cast<uint32_t>(v)));
        m_pos = i;
        return true;
    }
    std::string ascii;
    bool isFloat = false;
    while (At(i) >= u'0' && At(i) <= u'9')
        ascii.push_back(static_cast<char>(m_t[i++]));
    if (At(i) == u'.') {
        isFloat = true;
        ascii.push_back('.');
        ++i;
        while (At(i) >= u'0' && At(i) <= u'9')
            ascii.push_back(static_cast<char>(m_t[i++]));
    }
    if ((At(i) | 0x20) == u'e') {
        size_t j = i + 1;
        std::string e = "e";
        if (At(j) == u'+' || At(j) == u'-')
            e.push_back(static_cast<char>(m_t[j++]));
        if (At(j) >= u'0' && At(j) <= u'9') {
            while (At(j) >= u'0' && At(j) <= u'9')
                e.push_back(static_cast<char>(m_t[j++]));
            ascii += e;
            isFloat = true;
            i = j;
        } else {
            return Fail(kErrInvalidNumber, start);
        }
    }
    if (IsNameStart(At(i)))
        return Fail(kErrExpectedEndOfStatement, i);
    double d = std::strtod(ascii.c_str(), nullptr);
    Token& t = Push(Tok::Literal, start);
    if (!isFloat && d <= 32767)
        t.value = Variant::FromInteger(static_cast<int16_t>(d));
    else if (!isFloat && d <= 2147483647.0)
        t.value = Variant(static_cast<int32_t>(d));
    else if (!std::isfinite(d))
        return Fail(kErrInvalidNumber, start);
    else
        t.value = Variant(d);
    m_pos = i;
    return true;
}

bool Scanner::String(size_t start)
{
    std::u16string s;
    size_t i = start + 1;
    for (;;) {
        if (i >= m_t.size() || m_t[i] == u'\n' || m_t[i] == u'\r')
            return Fail(kErrUnterminatedString, start);
        if (m_t[i] == u'"') {
            if (At(i + 1) == u'"') {
                s.push_back(u'"');
                i += 2;
                continue;
            }
            ++i;
            break;
        }
        s.push_back(m_t[i++]);
    }
    Token& t = Push(Tok::Literal, start);
    t.value = Variant(VString(s));
    m_pos = i;
    return true;
}

bool Scanner::Date(size_t start)
{
    size_t i = start + 1;
    while (i < m_t.size() && m_t[i] != u'#' && m_t[i] != u'\n' && m_t[i] != u'\r')
        ++i;
    if (At(i) != u'#')
        return Fail(kErrSyntax, start);
    double d = 0;
    if (!ParseDateValue(m_t.substr(start + 1, i - start - 1), d))
        return Fail(kErrSyntax, start);
    Token& t = Push(Tok::Literal, start);
    t.value = Variant::FromDate(d);
    m_pos = i + 1;
    return true;
}

bool Scanner::Run()
{
    while (m_pos < m_t.size()) {
        size_t p = m_pos;
        char16_t c = m_t[p];
        if (IsSpace(c)) {
            m_space = true;
            ++m_pos;
            continue;
        }
        if (c == u'\r' || c == u'\n') {
            Push(Tok::NewLine, p);
            m_pos = p + ((c == u'\r' && At(p + 1) == u'\n') ? 2 : 1);
            NewLine(m_pos);
            continue;
        }
        if (c == u'\'') {
            while (m_pos < m_t.size() && m_t[m_pos] != u'\n' && m_t[m_pos] != u'\r')
                ++m_pos;
            continue;
        }
        if (c == u'_') {
            // A line continuation: '_' then blanks up to the end of the line. Names take
            // their own underscores, so one here may follow an operator directly: "x =_".
            size_t i = p + 1;
            while (i < m_t.size() && IsSpace(m_t[i]))
                ++i;
            if (i >= m_t.size() || m_t[i] == u'\r' || m_t[i] == u'\n') {
                if (i < m_t.size())
                    i += (m_t[i] == u'\r' && At(i + 1) == u'\n') ? 2 : 1;
                m_pos = i;
                NewLine(i);
                m_space = true;
                m_continued = !m_out.empty();
                continue;
            }
            return Fail(kErrInvalidCharacter, p);
        }
        if (IsNameStart(c)) {
            size_t i = p;
            while (i < m_t.size() && IsNameChar(m_t[i]))
                ++i;
            std::u16string_view name = m_t.substr(p, i - p);
            if (name.size() > 255)
                return Fail(kErrIdentifierTooLong, p);
            Kw kw = LookupKeyword(name);
            if (text::EqualsNoCase(name, u"rem")) {
                while (i < m_t.size() && m_t[i] != u'\n' && m_t[i] != u'\r')
                    ++i;
                m_pos = i;
                continue;
            }
            Token& t = Push(Tok::Name, p);
            t.keyword = kw;
            t.text = std::u16string(name);
            m_pos = i;
            continue;
        }
        if (c >= u'0' && c <= u'9') {
            if (!Number(p))
                return false;
            continue;
        }
        switch (c) {
        case u'"':
            if (!String(p))
                return false;
            continue;
        case u'#':
            if (!Date(p))
                return false;
            continue;
        case u'[': {
            size_t i = p + 1;
            while (i < m_t.size() && m_t[i] != u']' && m_t[i] != u'\n' && m_t[i] != u'\r')
                ++i;
            if (At(i) != u']')
                return Fail(kErrExpectedRBracket, i);
            Token& t = Push(Tok::Name, p);
            t.bracketed = true;
            t.text = std::u16string(m_t.substr(p + 1, i - p - 1));
            m_pos = i + 1;
            continue;
        }
        case u'.':
            if (At(p + 1) >= u'0' && At(p + 1) <= u'9' && !LastEndsOperand()) {
                if (!Number(p))
                    return false;
                continue;
            }
            // A call's result continued on the next line goes on with its member chain:
            // "o.Item(1) _" then ".Name". After a bare name a blank makes it a With member.
            Push(LastEndsOperand() || (m_continued && m_out.back().kind == Tok::RParen) ? Tok::Dot
                                                                                         : Tok::WithDot,
                 p);
            ++m_pos;
            continue;
        case u'&': {
            // &h and &o start a number only with a digit of the base after them: in
            // "s &hi" the operator joins s and the variable hi.
            char16_t k = At(p + 1) | 0x20;
            bool number = (k == u'h' && IsDigitOfBase(At(p + 2), 16)) ||
                          (k == u'o' && IsDigitOfBase(At(p + 2), 8)) ||
                          (IsDigitOfBase(At(p + 1), 8) && !LastEndsOperand());
            if (number) {
                if (!Number(p))
                    return false;
                continue;
            }
            Push(Tok::Amp, p);
            ++m_pos;
            continue;
        }
        case u'<':
            if (At(p + 1) == u'>') {
                Push(Tok::Ne, p);
                m_pos += 2;
            } else if (At(p + 1) == u'=') {
                Push(Tok::Le, p);
                m_pos += 2;
            } else {
                Push(Tok::Lt, p);
                ++m_pos;
            }
            continue;
        case u'>':
            if (At(p + 1) == u'=') {
                Push(Tok::Ge, p);
                m_pos += 2;
            } else {
                Push(Tok::Gt, p);
                ++m_pos;
            }
            continue;
        case u'=':
            if (At(p + 1) == u'<') {
                Push(Tok::Le, p);
                m_pos += 2;
            } else if (At(p + 1) == u'>') {
                Push(Tok::Ge, p);
                m_pos += 2;
            } else {
                Push(Tok::Eq, p);
                ++m_pos;
            }
            continue;
        default: break;
        }
        Tok k;
        switch (c) {
        case u':': k = Tok::Colon; break;
        case u'(': k = Tok::LParen; break;
        case u')': k = Tok::RParen; break;
        case u',': k = Tok::Comma; break;
        case u'+': k = Tok::Plus; break;
        case u'-': k = Tok::Minus; break;
        case u'*': k = Tok::Star; break;
        case u'/': k = Tok::Slash; break;
        case u'\\': k = Tok::Backslash; break;
        case u'^': k = Tok::Caret; break;
        case 0: k = Tok::NewLine; break; // an embedded NUL ends the line like cscript
        default: return Fail(kErrInvalidCharacter, p);
        }
        Push(k, p);
        ++m_pos;
    }
    Push(Tok::NewLine, m_pos);
    Push(Tok::End, m_pos);
    return true;
}

} // namespace

bool IsSoftKeyword(Kw k)
{
    switch (k) {
    case Kw::Default:
    case Kw::Error:
    case Kw::Explicit:
    case Kw::Get:
    case Kw::Preserve:
    case Kw::Property:
    case Kw::Step:
    case Kw::Resume:
        return true;
    default:
        return false;
    }
}

bool Tokenize(std::u16string_view text, std::vector<Token>& out, CompileError& error)
{
    out.clear();
    Scanner s(text, out, error);
    return s.Run();
}

} // namespace cva::vbs::engine
