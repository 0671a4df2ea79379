#pragma once

#include "vbscript/Status.h"
#include "vbscript/Variant.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace cva::vbs::engine {

enum class Tok : uint8_t {
    End,       // end of text
    NewLine,   // end of a line
    Colon,     // statement separator on one line
    Name,      // identifier or keyword (see Keyword)
    Literal,   // number, string or date; value in Token::value
    Dot,       // '.' right after a name, ')' or ']' (member access)
    WithDot,   // '.' that starts a With member reference
    LParen,
    RParen,
    Comma,
    Plus,
    Minus,
    Star,
    Slash,
    Backslash,
    Caret,
    Amp,
    Eq,
    Ne,
    Lt,
    Gt,
    Le,
    Ge,
};

enum class Kw : uint8_t {
    None, And, ByRef, ByVal, Call, Case, Class, Const, Default, Dim, Do, Each, Else, ElseIf,
    Empty, End, Eqv, Erase, Error, Exit, Explicit, False, For, Function, Get, GoTo, If, Imp,
    In, Is, Let, Loop, Me, Mod, New, Next, Not, Nothing, Null, On, Option, Or, Preserve,
    Private, Property, Public, Randomize, ReDim, Resume, Select, Set, Step, Stop, Sub, Then,
    To, True, Until, Wend, While, With, Xor,
};

struct Token {
    Tok kind = Tok::End;
    Kw keyword = Kw::None;
    bool spaceBefore = false;
    bool bracketed = false; // [name]: never a keyword
    uint32_t line = 0;      // 0-based
    uint32_t column = 0;    // 0-based, in UTF-16 units
    std::u16string text;    // names: as written
    Variant value;          // literals
};

struct CompileError {
    int32_t number = 0;
    uint32_t line = 0;
    uint32_t column = 0;
};

// Splits script text into tokens. Line continuations and comments disappear here.
// Returns false with the error filled in on an invalid character, an unterminated
// string or a malformed number.
bool Tokenize(std::u16string_view text, std::vector<Token>& out, CompileError& error);

// Keywords that may still serve as ordinary names (VBScript lets scripts use them).
bool IsSoftKeyword(Kw k);

} // namespace cva::vbs::engine
