#include "vbscript/engine/Lexer.h"

#include <gtest/gtest.h>

namespace {

using namespace cva::vbs;
using namespace cva::vbs::engine;

std::vector<Token> Lex(std::u16string_view text)
{
    std::vector<Token> toks;
    CompileError err;
    EXPECT_TRUE(Tokenize(text, toks, err)) << err.number;
    return toks;
}

CompileError LexError(std::u16string_view text)
{
    std::vector<Token> toks;
    CompileError err;
    EXPECT_FALSE(Tokenize(text, toks, err));
    return err;
}

TEST(Lexer, KeywordsAreCaseInsensitiveAndBracketedNamesAreNot)
{
    auto t = Lex(u"dIm [dim] eLsEiF");
    ASSERT_GE(t.size(), 3u);
    EXPECT_EQ(t[0].keyword, Kw::Dim);
    EXPECT_EQ(t[1].keyword, Kw::None);
    EXPECT_TRUE(t[1].bracketed);
    EXPECT_EQ(t[1].text, u"dim");
    EXPECT_EQ(t[2].keyword, Kw::ElseIf);
}

TEST(Lexer, IntegerLiteralsTakeTheSmallestType)
{
    auto t = Lex(u"32767 32768 2147483648 &HFFFF &HFFFF& &H10000 &O17 1.5 1E3");
    EXPECT_EQ(t[0].value.Type(), VarType::Integer);
    EXPECT_EQ(t[1].value.Type(), VarType::Long);
    EXPECT_EQ(t[2].value.Type(), VarType::Double);
    EXPECT_EQ(t[3].value.AsInteger(), -1);
    EXPECT_EQ(t[4].value.AsLong(), 65535);
    EXPECT_EQ(t[5].value.AsLong(), 65536);
    EXPECT_EQ(t[6].value.AsInteger(), 15);
    EXPECT_EQ(t[7].value.AsDouble(), 1.5);
    EXPECT_EQ(t[8].value.AsDouble(), 1000.0);
}

TEST(Lexer, StringsDoubleTheirQuotes)
{
    auto t = Lex(u"\"a\"\"b\" \"\"");
    EXPECT_EQ(t[0].value.AsString().View(), u"a\"b");
    EXPECT_EQ(t[1].value.AsString().View(), u"");
}

TEST(Lexer, ContinuationAndCommentsDisappear)
{
    auto t = Lex(u"a = 1 + _\n  2 ' note\nRem whole line\nb");
    std::vector<Tok> kinds;
    for (const auto& x : t)
        kinds.push_back(x.kind);
    std::vector<Tok> want = {Tok::Name, Tok::Eq, Tok::Literal, Tok::Plus, Tok::Literal, Tok::NewLine,
                             Tok::NewLine, Tok::Name, Tok::NewLine, Tok::End};
    EXPECT_EQ(kinds, want);
    EXPECT_EQ(t[4].line, 1u);
    EXPECT_EQ(t[7].line, 3u);
}

TEST(Lexer, DotAfterANameIsMemberAccessOtherwiseWith)
{
    auto t = Lex(u"a.b .c x(1).d .5");
    EXPECT_EQ(t[1].kind, Tok::Dot);
    EXPECT_EQ(t[3].kind, Tok::WithDot);
    EXPECT_EQ(t[9].kind, Tok::Dot);
    EXPECT_EQ(t[11].kind, Tok::Literal);
    EXPECT_EQ(t[11].value.AsDouble(), 0.5);
}

TEST(Lexer, DateLiterals)
{
    auto t = Lex(u"#1/2/2003# #12:30:00 PM#");
    EXPECT_EQ(t[0].value.Type(), VarType::Date);
    EXPECT_EQ(t[0].value.AsDate(), 37623.0);
    EXPECT_DOUBLE_EQ(t[1].value.AsDate(), 0.5208333333333334);
}

TEST(Lexer, ErrorsCarryNumberAndPosition)
{
    CompileError e = LexError(u"x = 1\ny = \"open");
    EXPECT_EQ(e.number, kErrUnterminatedString);
    EXPECT_EQ(e.line, 1u);
    EXPECT_EQ(e.column, 4u);
    EXPECT_EQ(LexError(u"x = 1 $").number, kErrInvalidCharacter);
    EXPECT_EQ(LexError(u"x = [abc").number, kErrExpectedRBracket);
    EXPECT_EQ(LexError(u"x = #not a date#").number, kErrSyntax);
}

TEST(Lexer, OperatorsOfTwoCharacters)
{
    auto t = Lex(u"<> <= >= =< =>");
    EXPECT_EQ(t[0].kind, Tok::Ne);
    EXPECT_EQ(t[1].kind, Tok::Le);
    EXPECT_EQ(t[2].kind, Tok::Ge);
    EXPECT_EQ(t[3].kind, Tok::Le);
    EXPECT_EQ(t[4].kind, Tok::Ge);
}

} // namespace
