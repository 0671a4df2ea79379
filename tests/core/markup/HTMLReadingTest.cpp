#include "FixedMeasurer.h"

#include "core/markup/HTMLDrawer.h"
#include "core/markup/HTMLLink.h"

#include <gtest/gtest.h>

using namespace cva::markup;
using cva::test::CFixedMeasurer;

namespace {

std::vector<CHTMLAtom> Read(std::string_view markup) {
    CFixedMeasurer measurer;
    return CHTMLDrawer(measurer).Layout(markup, 100000).m_atoms;
}

std::vector<std::string> Texts(std::string_view markup) {
    std::vector<std::string> texts;
    for (const CHTMLAtom& atom : Read(markup))
        texts.push_back(atom.m_strText);
    return texts;
}

CHTMLFont FontOf(std::string_view markup) {
    auto atoms = Read(markup);
    return atoms.empty() ? CHTMLFont() : atoms.back().m_font;
}

std::uint32_t ColorOf(std::string_view value) {
    CHTMLFont font;
    font.m_nColor = 0x123456;
    font.SetColor(value);
    return font.m_nColor;
}

using Texts_t = std::vector<std::string>;

} // namespace

TEST(HTMLReading, NothingIsRejected) {
    EXPECT_EQ(Texts("a < b"), (Texts_t{"a < b"})) << "a '<' without '>' stays text";
    EXPECT_EQ(Texts("1 < 2 and 3 > 2"), (Texts_t{"1 ", " 2"}));
    EXPECT_EQ(Texts("<blink>x</blink><>y<b"), (Texts_t{"x", "y<b"}));
    EXPECT_EQ(Texts("<b><i>"), Texts_t{});
    EXPECT_EQ(Texts("</font></b></a>plain"), (Texts_t{"plain"}));
    EXPECT_EQ(FontOf("</font></font>x"), CHTMLFont()) << "an unmatched /font changes nothing";
}

TEST(HTMLReading, FourEntitiesOthersDropped) {
    EXPECT_EQ(Texts("&quot;x&quot; &copy;&LT;b&Gt;&AMP;lt;"), (Texts_t{"'x' <b>&lt;"}));
    EXPECT_EQ(Texts("AT&T"), (Texts_t{"AT&T"})) << "no semicolon: the rest stays as it is";
    EXPECT_EQ(Texts("a &b c; d&lt;e&f"), (Texts_t{"a  d<e&f"}));
    EXPECT_EQ(Texts("&nbsp;"), Texts_t{}) << "a piece that decodes to nothing is no run";
}

TEST(HTMLReading, StyleTagsByExactName) {
    auto atoms = Read("<B>b</b><strong>s</STRONG><i>i</i><em>e</em><u>u</u>"
                      "<b class=x>c<b >d");
    ASSERT_EQ(atoms.size(), 7u);
    EXPECT_TRUE(atoms[0].m_font.m_bBold);
    EXPECT_TRUE(atoms[1].m_font.m_bBold);
    EXPECT_TRUE(atoms[2].m_font.m_bItalic && !atoms[2].m_font.m_bBold);
    EXPECT_TRUE(atoms[3].m_font.m_bItalic);
    EXPECT_TRUE(atoms[4].m_font.m_bUnderline && !atoms[4].m_font.m_bItalic);
    EXPECT_FALSE(atoms[5].m_font.m_bBold || atoms[5].m_font.m_bUnderline) << "<b class=x> is not b";
    EXPECT_TRUE(atoms[6].m_font.m_bBold) << "the tag text is trimmed";
}

TEST(HTMLReading, TagsKnownByTheirStart) {
    auto atoms = Read("x<pre>y<para align=right>z<abbr href='q'>l</abbreviation>m"
                      "<fontish color=red>r</fontish>n");
    ASSERT_EQ(atoms.size(), 7u);
    EXPECT_EQ(atoms[1].m_nLine, 1) << "any tag beginning with p is a paragraph";
    EXPECT_EQ(atoms[2].m_nAlign, ALIGN_RIGHT);
    EXPECT_EQ(atoms[3].m_strLink, "'q'") << "any tag beginning with a is an anchor";
    EXPECT_EQ(atoms[4].m_strLink, "") << "and any beginning with /a ends it";
    EXPECT_EQ(atoms[5].m_font.m_nColor, 0xFF0000u);
    EXPECT_EQ(atoms[6].m_font.m_nColor, 0u) << "popped by /fontish";
}

TEST(HTMLReading, Attributes) {
    CHTMLFont font = FontOf("<FONT COLOR = \"Red\"  size=+1 face=\"Courier New\">x");
    EXPECT_EQ(font.m_nColor, 0xFF0000u);
    EXPECT_EQ(font.m_nSizeIndex, 10);
    EXPECT_EQ(font.m_strFace, "Courier New");
    EXPECT_EQ(FontOf("<font face=Courier New>x").m_strFace, "Courier")
        << "unquoted ends at a blank";
    EXPECT_EQ(Read("<a href=\"cva:1>x")[0].m_strLink, "") << "a quote never closed gives nothing";
    EXPECT_EQ(Read("<a name=top href = 'x' href=y>x")[0].m_strLink, "y");
    EXPECT_EQ(Read("<a>x")[0].m_strLink, "");
    EXPECT_EQ(Read("<a href=z>x</a>y")[1].m_strLink, "");
    EXPECT_EQ(Read("<p align=\"CENTER\">x")[0].m_nAlign, ALIGN_CENTER);
    EXPECT_EQ(Read("<p align=right>a<p align=middle>b")[1].m_nAlign, ALIGN_RIGHT);
    EXPECT_EQ(FontOf("<font color=\"red\" bold size=4>x").m_nSizeIndex, 9)
        << "a name is all the text before '='";
}

TEST(HTMLReading, FontStackNests) {
    auto atoms = Read("<font color=red>r<font color=blue>b</font>r2</font>k</font>k2");
    ASSERT_EQ(atoms.size(), 5u);
    EXPECT_EQ(atoms[1].m_font.m_nColor, 0x0000FFu);
    EXPECT_EQ(atoms[2].m_font.m_nColor, 0xFF0000u);
    EXPECT_EQ(atoms[3].m_font, CHTMLFont());
    EXPECT_EQ(atoms[4].m_font, CHTMLFont());
}

TEST(HTMLReading, Colors) {
    EXPECT_EQ(ColorOf("darkBLUE"), 0x00008Bu);
    EXPECT_EQ(ColorOf("Mocassin"), 0xFFE4B5u);
    EXPECT_EQ(ColorOf("Moccasin"), 0x123456u) << "not a name of ours";
    EXPECT_EQ(ColorOf("khaki"), 0xF0E86Cu);
    EXPECT_EQ(ColorOf("#F00"), 0x000F00u) << "padded on the left";
    EXPECT_EQ(ColorOf("#ff8000"), 0xFF8000u);
    EXPECT_EQ(ColorOf("#12345678"), 0x123456u);
    EXPECT_EQ(ColorOf("#"), 0u);
    EXPECT_EQ(ColorOf("#1g2h3i"), 0x010203u) << "each pair read up to its first non-digit";
    EXPECT_EQ(ColorOf("0000FF"), 0x123456u) << "digits need the '#'";
    EXPECT_EQ(ColorOf(""), 0x123456u);
}

TEST(HTMLReading, SizeIndexScalesThePointSize) {
    const double expected[] = {1.0, 0.625, 0.8, 1.0, 1.125, 1.5, 2.0, 3.0, 24.0 / 7};
    for (int index = 0; index <= 8; ++index)
        EXPECT_DOUBLE_EQ(CHTMLFont::SizeFactor(index), expected[index]);
    EXPECT_DOUBLE_EQ(CHTMLFont::SizeFactor(-4), 1.0);
    EXPECT_DOUBLE_EQ(CHTMLFont::SizeFactor(14), 6.0);

    EXPECT_NEAR(FontOf("<font size=3>x").m_dPointSize, 9.0 * 7 / 27, 1e-9) << "the base is index 9";
    EXPECT_DOUBLE_EQ(FontOf("<font size=+1>x").m_dPointSize, 10.0);
    EXPECT_DOUBLE_EQ(FontOf("<font size=-2>x").m_dPointSize, 7.0);
    CHTMLFont nested = FontOf("<font size=3><font size=+2>x");
    EXPECT_EQ(nested.m_nSizeIndex, 5);
    EXPECT_NEAR(nested.m_dPointSize, 9.0 * 7 / 27 * 1.5, 1e-9);
    EXPECT_EQ(FontOf("<font size=big>x").m_nSizeIndex, 0);
    EXPECT_EQ(FontOf("<font size=+99999999999999999999>x").m_nSizeIndex, 2147483647);
}

TEST(HTMLLinks, InternalNumbersAndErrorTexts) {
    EXPECT_EQ(InternalLinkNumber("cva:7"), 7);
    EXPECT_EQ(InternalLinkNumber("Cva:"), 0);
    EXPECT_EQ(InternalLinkNumber("https://cva:7"), std::nullopt);
    EXPECT_EQ(HyperlinkErrorMessage(2),
              "Unable to open hyperlink:\r\nThe specified file was not found.");
    EXPECT_EQ(HyperlinkErrorMessage(26),
              "Unable to open hyperlink:\r\nA sharing violation occurred. ");
    EXPECT_EQ(HyperlinkErrorMessage(31), "Unable to open hyperlink:\r\nThere is no application "
                                         "associated\nwith the given filename extension.");
    EXPECT_EQ(HyperlinkErrorMessage(1), "Unable to open hyperlink:\r\nUnknown Error (1) occurred.");
}
