#include "gui/controls/HTMLStatic.h"
#include "core/markup/HTMLFont.h"
#include "core/pages/PageDoubles.h"
#include "gui/controls/QtTextMeasurer.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QDesktopServices>
#include <QFontDatabase>
#include <QImage>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using cva::gui::CHTMLStatic;
using namespace cva::markup;

namespace {

// Stands in for the desktop's web browser.
class CUrlCatcher : public QObject {
    Q_OBJECT
public slots:
    void Open(const QUrl& url) { m_urls.push_back(url.toString()); }

public:
    QStringList m_urls;
};

QPoint CentreOf(const CHTMLStatic& html, const std::string& text) {
    for (const CHTMLAtom& atom : html.Layout().m_atoms)
        if (atom.m_strText == text)
            return {(atom.m_rect.m_nLeft + atom.m_rect.m_nRight) / 2,
                    (atom.m_rect.m_nTop + atom.m_rect.m_nBottom) / 2};
    ADD_FAILURE() << "no run " << text;
    return {};
}

// Pixels of the run's rectangle in which one channel (0 red, 1 green, 2 blue) stands out.
int PixelsOf(CHTMLStatic& html, const std::string& text, int channel) {
    const QImage image = html.grab().toImage();
    int count = 0;
    for (const CHTMLAtom& atom : html.Layout().m_atoms) {
        if (atom.m_strText != text) continue;
        for (int y = atom.m_rect.m_nTop; y < atom.m_rect.m_nBottom; ++y)
            for (int x = atom.m_rect.m_nLeft; x < atom.m_rect.m_nRight; ++x) {
                const QRgb pixel = image.pixel(x, y);
                const int c[3] = {qRed(pixel), qGreen(pixel), qBlue(pixel)};
                if (c[channel] - std::max(c[(channel + 1) % 3], c[(channel + 2) % 3]) > 100)
                    ++count;
            }
    }
    return count;
}

class HTMLStaticTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_html.resize(400, 120);
        m_html.SetPrompts(&m_prompts);
        m_html.SetText(
            "<b>Title</b> <font color=red>warm</font><br>"
            "<a href=\"cva:7\">seven</a> <a href=\"CVA:\">zero</a> "
            "<a href=\"https://example.org/x\">site</a> <a href=\"file:///etc/passwd\">file</a>");
        m_html.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&m_html));
    }
    void Click(const std::string& text) {
        QTest::mouseClick(&m_html, Qt::LeftButton, {}, CentreOf(m_html, text));
    }

    cva::test::CPromptsDouble m_prompts;
    CHTMLStatic m_html;
};

} // namespace

TEST_F(HTMLStaticTest, PaintsRunsInTheirColoursAndHotLinksBlue) {
    EXPECT_GT(PixelsOf(m_html, "warm", 0), 0);
    EXPECT_EQ(PixelsOf(m_html, "site", 2), 0) << "a link keeps its own colour until hot";
    EXPECT_EQ(m_html.cursor().shape(), Qt::ArrowCursor);

    QTest::mouseMove(&m_html, CentreOf(m_html, "site"));
    EXPECT_EQ(m_html.HotLink(), "https://example.org/x");
    EXPECT_EQ(m_html.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_GT(PixelsOf(m_html, "site", 2), 0);

    QTest::mouseMove(&m_html, CentreOf(m_html, "warm"));
    EXPECT_EQ(m_html.HotLink(), "");
    EXPECT_EQ(m_html.cursor().shape(), Qt::ArrowCursor);
}

TEST_F(HTMLStaticTest, InternalLinksGoToTheListener) {
    QSignalSpy spy(&m_html, &CHTMLStatic::LinkMessage);
    Click("seven");
    Click("zero");
    Click("Title");
    ASSERT_EQ(spy.count(), 2);
    EXPECT_EQ(spy.at(0).at(0).toInt(), 7);
    EXPECT_EQ(spy.at(1).at(0).toInt(), 0);
    EXPECT_TRUE(m_prompts.m_messages.empty());
}

TEST_F(HTMLStaticTest, OtherLinksOpenOnTheDesktopOrSayWhyNot) {
    CUrlCatcher browser;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &browser, "Open");
    Click("site");
    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    EXPECT_EQ(browser.m_urls, QStringList{QStringLiteral("https://example.org/x")});
    EXPECT_TRUE(m_prompts.m_messages.empty());

    Click("file");
    std::vector<std::string> opened;
    m_html.SetLinkOpener([&](const std::string& target) {
        opened.push_back(target);
        return 31;
    });
    Click("site");
    EXPECT_EQ(opened, std::vector<std::string>{"https://example.org/x"});
    EXPECT_EQ(m_prompts.m_messages,
              (std::vector<std::string>{
                  "Unable to open hyperlink:\r\nThe operating system denied\naccess to the "
                  "specified file.",
                  "Unable to open hyperlink:\r\nThere is no application associated\nwith the given "
                  "filename extension."}));
}

TEST_F(HTMLStaticTest, RelaysOutForItsWidthAndFrame) {
    const int oneLine = m_html.heightForWidth(400);
    EXPECT_GT(m_html.heightForWidth(60), oneLine) << "narrower wraps onto more lines";
    m_html.SetFrame(SHTMLFrame::StartHeader(), QIcon());
    EXPECT_EQ(m_html.Layout().m_atoms.front().m_rect.m_nLeft, 50);
    m_html.resize(200, 120);
    for (const CHTMLAtom& atom : m_html.Layout().m_atoms)
        EXPECT_LE(atom.m_rect.m_nRight, 150) << atom.m_strText;
}

TEST(QtTextMeasurer, UnknownFacesFallBackToTheDesktopFont) {
    CHTMLFont font;
    font.m_bBold = true;
    const QFont qfont = cva::gui::CQtTextMeasurer::ToQFont(font);
    EXPECT_EQ(qfont.family(), QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    EXPECT_DOUBLE_EQ(qfont.pointSizeF(), 9.0);
    EXPECT_TRUE(qfont.bold());
}

// Our colour names against Qt's copy of the web's colour keywords: the same names and
// values, less the "grey" spellings and with our two differences.
TEST(HTMLColorNames, AreTheWebKeywords) {
    int known = 0;
    for (const QString& name : QColor::colorNames()) {
        const std::string key = name.toStdString();
        const auto ours = CHTMLFont::NamedColor(key);
        if (name.contains(QLatin1String("grey")) || name == QLatin1String("transparent") ||
            name == QLatin1String("moccasin") || name == QLatin1String("rebeccapurple")) {
            EXPECT_FALSE(ours) << key;
            continue;
        }
        ASSERT_TRUE(ours) << key;
        ++known;
        const QString expected = name == QLatin1String("khaki")
                                     ? QStringLiteral("F0E86C")
                                     : QColor(name).name().mid(1).toUpper();
        EXPECT_EQ(QString::fromLatin1(ours->data(), ours->size()), expected) << key;
    }
    EXPECT_EQ(known, 139) << "and Mocassin";
    EXPECT_TRUE(CHTMLFont::NamedColor("mocassin"));
}

#include "HTMLStaticTest.moc"
