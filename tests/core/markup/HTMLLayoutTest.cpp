#include "FixedMeasurer.h"

#include "core/markup/HTMLDrawer.h"
#include "core/markup/HTMLFrame.h"
#include "core/pages/PropertyPageHtml.h"
#include "core/pages/PropertyPageMain.h"

#include <gtest/gtest.h>

using namespace cva::markup;
using cva::test::CFixedMeasurer;

namespace {

// One run a line: line, alignment, rectangle, text, link target.
std::string Describe(const SHTMLLayout& layout) {
    std::string out;
    for (const CHTMLAtom& atom : layout.m_atoms) {
        const SHTMLRect& r = atom.m_rect;
        out += std::to_string(atom.m_nLine) + " " + "LCR"[atom.m_nAlign] + " " +
               std::to_string(r.m_nLeft) + "," + std::to_string(r.m_nTop) + "," +
               std::to_string(r.m_nRight) + "," + std::to_string(r.m_nBottom) + " |" +
               atom.m_strText + "|";
        if (!atom.m_strLink.empty()) out += " -> " + atom.m_strLink;
        out += "\n";
    }
    return out;
}

SHTMLLayout Lay(const std::string& markup, int width, int margin = 0) {
    CFixedMeasurer measurer;
    CHTMLDrawer drawer(measurer);
    drawer.SetMargin(margin);
    return drawer.Layout(markup, width);
}

std::string GuideLink(int n, const std::string& text) {
    return "<a href=\"cva:" + std::to_string(n) + "\"><font color=\"blue\"><u>" + text +
           "</u></font></a>";
}

struct SGolden {
    const char* m_name;
    std::string m_markup;
    int m_nWidth;
    int m_nMargin;
    const char* m_expected;
};

} // namespace

TEST(HTMLLayout, GoldenRuns) {
    const std::string guideMenu =
        "<br><br>" + GuideLink(1, "Pages") + "   " + GuideLink(2, "Risk levels") + "   " +
        GuideLink(3, "Current state") + "   " + GuideLink(4, "When changes take effect");
    const SGolden cases[] = {
        {"html page introduction", cva::pages::CPropertyPageHtml::kIntroduction, 440, 0, R"(
0 L 0,0,56,12 |Corvanta|
0 L 56,0,392,12 | is a tool to tweak settings that are hidden in Windows.|
1 L 0,12,372,24 |The "tweaks" in CVA can be used to customize Windows and other|
2 L 0,24,84,36 |applications. |
3 L 0,36,432,48 |Select a folder from the tree on the left, to see the tweak-pages in it.|
)"},
        {"start page header", cva::pages::CPropertyPageMain::BuildHeader("0.1", 57), 433,
         SHTMLFrame::StartHeader().m_nMargin, R"(
0 L 50,0,106,12 |Corvanta|
0 L 106,0,292,12 | "hidden settings within reach"|
1 L 50,12,110,24 |Version : |
1 L 110,12,131,24 |0.1|
1 L 131,12,227,24 |     Plug-ins : |
1 L 227,12,241,24 |57|
2 L 50,24,140,36 |Visit website..| -> https://www.meridot.example/corvanta/
2 L 140,24,158,36 |   |
2 L 158,24,206,36 |Get Help| -> https://www.meridot.example/corvanta/help/
3 L 50,36,146,48 |Made by Meridot.|
)"},
        {"start page header, count not known, narrow",
         cva::pages::CPropertyPageMain::BuildHeader("", 0), 300,
         SHTMLFrame::StartHeader().m_nMargin, R"(
0 L 50,0,106,12 |Corvanta|
0 L 106,0,250,12 | "hidden settings within|
1 L 50,12,86,24 |reach"|
2 L 50,24,110,36 |Version : |
2 L 110,24,206,36 |     Plug-ins : |
2 L 206,24,227,36 | ? |
3 L 50,36,140,48 |Visit website..| -> https://www.meridot.example/corvanta/
3 L 140,36,158,48 |   |
3 L 158,36,206,48 |Get Help| -> https://www.meridot.example/corvanta/help/
4 L 50,48,146,60 |Made by Meridot.|
)"},
        {"catalogue guide",
         "<b>Risk levels</b> (shown in the status bar)<br><b>Safe</b>: changes only how "
         "things look or feel; easy to undo.<br><b>Critical</b>: settings that can stop Windows "
         "from starting; always with a warning." +
             guideMenu,
         440, 0, R"(
0 L 0,0,77,12 |Risk levels|
0 L 77,0,233,12 | (shown in the status bar)|
1 L 0,12,28,24 |Safe|
1 L 28,12,346,24 |: changes only how things look or feel; easy to undo.|
2 L 0,24,56,36 |Critical|
2 L 56,24,422,36 |: settings that can stop Windows from starting; always with a|
3 L 0,36,48,48 |warning.|
5 L 0,60,30,72 |Pages| -> cva:1
5 L 30,60,48,72 |   |
5 L 48,60,114,72 |Risk levels| -> cva:2
5 L 114,60,132,72 |   |
5 L 132,60,210,72 |Current state| -> cva:3
5 L 210,60,228,72 |   |
5 L 228,60,372,72 |When changes take effect| -> cva:4
)"},
        {"centre block then default", "<center>first</center>second", 100, 0, R"(
0 C 35,0,65,12 |first|
1 L 0,12,36,24 |second|
)"},
        {"paragraph alignments", "<p align=center>Title</p>Body text<p align=right>signed</p>end",
         101, 0,
         R"(
0 C 35,0,65,12 |Title|
1 L 0,12,54,24 |Body text|
2 R 64,24,100,36 |signed|
3 L 0,36,18,48 |end|
)"},
        {"right aligned wrap", "<p align=right>one two three four five six</p>", 100, 0, R"(
0 R 21,0,99,12 |one two three|
1 R 21,12,99,24 |four five six|
)"},
        {"sizes share a bottom", "small <font size=+3>BIG <b>bold</b></font> small", 300, 0, R"(
0 L 0,4,36,16 |small |
0 L 36,0,68,16 |BIG |
0 L 68,0,104,16 |bold|
0 L 104,4,140,16 | small|
)"},
        {"empty lines take the current font's height", "a<br><br><font size=+5>b<br><br>c</font>",
         300, 0,
         R"(
0 L 0,0,6,12 |a|
2 L 0,24,9,43 |b|
4 L 0,62,9,81 |c|
)"},
        {"description with line breaks", "First line\r\n\r\nThird line, after an empty one\r\n",
         300, 0,
         R"(
0 L 0,0,60,12 |First line|
2 L 0,24,180,36 |Third line, after an empty one|
)"},
        {"long words cut where they stop fitting",
         "Path: C:\\Documents\\AllUsers\\StartMenu\\Programs", 60, 0,
         R"(
0 L 0,0,30,12 |Path:|
1 L 0,12,60,24 |C:\Documen|
2 L 0,24,60,36 |ts\AllUser|
3 L 0,36,60,48 |s\StartMen|
4 L 0,48,60,60 |u\Programs|
)"},
        {"malformed", "Unclosed <b>bold & <i>italic <a href=cva:3>link &copy; 2 < 3", 200, 0, R"(
0 L 0,0,54,12 |Unclosed |
0 L 54,0,103,12 |bold & |
0 L 103,0,152,12 |italic |
0 L 152,0,187,12 |link | -> cva:3
1 L 0,12,35,24 |2 < 3| -> cva:3
)"},
    };
    for (const SGolden& c : cases)
        EXPECT_EQ("\n" + Describe(Lay(c.m_markup, c.m_nWidth, c.m_nMargin)), c.m_expected)
            << c.m_name;
}

TEST(HTMLLayout, HeaderLinksAndIcon) {
    const SHTMLFrame frame = SHTMLFrame::StartHeader();
    EXPECT_EQ(frame.m_icon, (SHTMLRect{2, 6, 50, 54}));
    SHTMLLayout header =
        Lay(cva::pages::CPropertyPageMain::BuildHeader("0.1", 57), 433, frame.m_nMargin);
    EXPECT_EQ(header.m_atoms.front().m_rect.m_nLeft, frame.m_icon->m_nRight)
        << "the text starts beside the icon";
    EXPECT_EQ(header.m_nHeight, 48);
    EXPECT_EQ(header.LinkAt(50, 24), "https://www.meridot.example/corvanta/");
    EXPECT_EQ(header.LinkAt(205, 35), "https://www.meridot.example/corvanta/help/");
    EXPECT_EQ(header.LinkAt(145, 30), "") << "the blanks between the links";
    EXPECT_EQ(header.LinkAt(206, 30), "");
    EXPECT_EQ(header.LinkAt(60, 5), "");
}

TEST(HTMLLayout, DefaultAlignmentIsTheControls) {
    CFixedMeasurer measurer;
    CHTMLDrawer drawer(measurer);
    drawer.SetDefaultAlignment(ALIGN_RIGHT);
    SHTMLLayout layout = drawer.Layout("a<center>b</center>c<p align=left>d</p>e", 100);
    std::vector<int> aligns;
    for (const CHTMLAtom& atom : layout.m_atoms)
        aligns.push_back(atom.m_nAlign);
    EXPECT_EQ(aligns,
              (std::vector<int>{ALIGN_RIGHT, ALIGN_CENTER, ALIGN_RIGHT, ALIGN_LEFT, ALIGN_RIGHT}));
}
