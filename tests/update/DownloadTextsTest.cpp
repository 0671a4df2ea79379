#include "update/DownloadTexts.h"
#include "update/ProgressMeter.h"
#include "update/XHTMLStatic.h"
#include "update/XNamedColors.h"

#include <gtest/gtest.h>

namespace cva::update {
namespace {

TEST(DownloadTexts, RatesSizesAndTimes) {
    EXPECT_EQ(FormatRate(150), "150 KB/Sec");
    EXPECT_EQ(FormatRate(0.5), "512 Bytes/Sec");
    EXPECT_EQ(FormatRate(2.5), "2.50 KB/Sec");
    EXPECT_EQ(FormatSize(1023), "1023 Bytes");
    EXPECT_EQ(FormatSize(1048575), "1024.0 KB");
    EXPECT_EQ(FormatSize(1048576), "1.00 MB");
    EXPECT_EQ(FormatSeconds(59), "59 sec");
    EXPECT_EQ(FormatSeconds(120), "2 min");
    EXPECT_EQ(FormatSeconds(125), "2 min 5 sec");
    EXPECT_EQ(FormatTimeLeft(125, 1024, 1048576), "2 min 5 sec (1.0 KB of 1.00 MB copied)");
    EXPECT_EQ(FormatTitle("Corvanta", 42), "Update Corvanta ( 42% )");
    EXPECT_EQ(FormatMessage(IDS_ERR_HTTP_STATUS, "404"),
              "Failed to receive a valid HTTP response from the server, Response Code:404");
    EXPECT_EQ(RetrievingMarkup("2.1.<b>"), "Retrieving updated version (<font color=\"green\">2.1.b</font>)");
}

TEST(ProgressMeter, PercentOnChangeRateAndTimeLeftAboutOnceASecond) {
    CProgressMeter meter;
    meter.Start(1000, true, 10000);
    SProgressUpdate first = meter.Refresh(1100, 1024);
    EXPECT_EQ(first.m_percent, 10);
    EXPECT_FALSE(first.m_rate);
    EXPECT_FALSE(meter.Refresh(1200, 1030).m_percent);  // still 10%
    SProgressUpdate later = meter.Refresh(2000, 5000);  // 1000 ms on: not yet
    EXPECT_FALSE(later.m_rate);
    later = meter.Refresh(2001, 5000);
    ASSERT_TRUE(later.m_rate);
    EXPECT_NEAR(*later.m_rate, 5000.0 / 1001, 1e-9);
    ASSERT_TRUE(later.m_secondsLeft);
    EXPECT_EQ(*later.m_secondsLeft, 1u);  // 1001 ms for 5000 bytes, 5000 to go
    EXPECT_FALSE(meter.Refresh(3000, 6000).m_rate);  // counted from the last update
}

TEST(ProgressMeter, WithoutLengthOnlyTheRate) {
    CProgressMeter meter;
    meter.Start(0, false, 0);
    SProgressUpdate update = meter.Refresh(1500, 3000);
    EXPECT_FALSE(update.m_percent);
    EXPECT_FALSE(update.m_secondsLeft);
    ASSERT_TRUE(update.m_rate);
    EXPECT_DOUBLE_EQ(*update.m_rate, 2.0);
}

TEST(XHTMLStatic, MarkupBecomesRichTextAndStrayTextStaysText) {
    EXPECT_EQ(CXNamedColors::Lookup("AliceBlue"), 0xF0F8FFu);
    EXPECT_EQ(CXNamedColors::Lookup("YELLOWGREEN"), 0x9ACD32u);
    EXPECT_EQ(CXNamedColors::Lookup("#00ff7f"), 0x00FF7Fu);
    EXPECT_FALSE(CXNamedColors::Lookup("nocolour"));
    EXPECT_EQ(CXNamedColors::Count(), 147u);
    EXPECT_EQ(CXHTMLStatic::ToRichText("<B>a</b><strike>s</STRIKE><br>x < y & z"),
              "<b>a</b><s>s</s><br>x &lt; y &amp; z");
    EXPECT_EQ(CXHTMLStatic::ToRichText("<font color=\"red\" bgcolor=yellow face='Sans'>r</font><script>"),
              "<font color=\"#ff0000\" face=\"Sans\"><span style=\"background-color:#ffff00\">r</span></font>"
              "&lt;script&gt;");
    EXPECT_EQ(CXHTMLStatic::ToRichText(CheckFailedMarkup("https://m.example/")),
              "<font color=\"#ff0000\">Unable to retreive information from </font><a href=\"https://m.example/\">"
              "<font color=\"#0000ff\"><u>https://m.example/</u></font></a>.");
    EXPECT_TRUE(CXHTMLStatic::IsOpenableLink("https://m.example/"));
    EXPECT_FALSE(CXHTMLStatic::IsOpenableLink("file:///etc/passwd"));
    EXPECT_FALSE(CXHTMLStatic::IsOpenableLink("/usr/bin/xterm"));
}

} // namespace
} // namespace cva::update
