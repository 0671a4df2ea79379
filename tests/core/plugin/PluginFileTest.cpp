#include "core/plugin/PluginFile.h"
#include "vbscript/Engine.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace cva::plugin {
namespace {

// The inverse of the program's unscrambling, as the tool that writes encrypted plugins
// would apply it.
std::string Scramble(std::string_view plain) {
    std::string out;
    for (char c : plain) {
        auto b = static_cast<uint8_t>(c);
        auto rotated = static_cast<uint8_t>((b >> 2) | (b << 6));
        out += static_cast<char>(static_cast<uint8_t>(~rotated));
    }
    return out;
}

TEST(PluginPrelude, HasTheFixedSizeAndShape) {
    std::string_view prelude = ScriptPrelude();
    EXPECT_EQ(prelude.size(), 1063u);
    size_t lines = 0;
    for (char c : prelude)
        lines += c == '\n';
    EXPECT_EQ(lines, 44u);
    EXPECT_EQ(prelude.back(), '\n');
    EXPECT_TRUE(prelude.starts_with("Const Win95"));
    EXPECT_NE(prelude.find("\nfunction iif(psdStr, trueStr, falseStr)\n if psdStr <> 0 then\n\tiif "
                           "= trueStr\n else \n"
                           "\tiif = falseStr\n end if\nend function\n"),
              std::string_view::npos);
}

class RecordingSite : public vbs::IScriptSite {
public:
    void OnScriptError(const vbs::ScriptErrorInfo& error) override { errors.push_back(error); }
    std::vector<vbs::ScriptErrorInfo> errors;
};

TEST(PluginPrelude, ConstantsAndIifWorkUnderOptionExplicit) {
    vbs::CScriptEngine engine;
    RecordingSite site;
    engine.SetSite(&site);
    std::u16string text = ComposeScript("function Probe()\n"
                                        " Probe = WinXP & \",\" & bit10 & \",\" & reg_multi_sz & "
                                        "\",\" & MB_ICONINFORMATION & \",\" & IDNO & \",\" & "
                                        "iif(0, \"t\", \"f\") & iif(-1, \"t\", \"f\")\n"
                                        "end function\n",
                                        true);
    ASSERT_TRUE(engine.ParseScript(text));
    vbs::Variant result;
    ASSERT_EQ(engine.CallRoutine(u"Probe", {}, &result).status, vbs::CallStatus::Ok);
    EXPECT_EQ(result.AsString().Str(), u"6,512,5,64,7,ft");
    EXPECT_TRUE(site.errors.empty());
}

TEST(PluginScript, BlockCommentsAreCutOutAndUnterminatedOnesStay) {
    EXPECT_EQ(RemoveBlockComments("a = 1 /* one */+ 2\n"), "a = 1 + 2\n");
    EXPECT_EQ(RemoveBlockComments("a/*x\ny*/b/*z*/c\n"), "abc\n");
    EXPECT_EQ(RemoveBlockComments("a /*/ b */ c"), "a  c");
    EXPECT_EQ(RemoveBlockComments("a */ b /* c"), "a */ b /* c");
}

TEST(PluginScript, LinesKeepTheirPlaceInTheFile) {
    std::vector<uint32_t> lines{3, 4, 5, 7, 8};
    EXPECT_EQ(RemoveBlockComments("a/*x\ny\n*/b\nc/**/\nd\n", &lines), "ab\nc\nd\n");
    EXPECT_EQ(lines, (std::vector<uint32_t>{3, 7, 8}));
    for (bool optionExplicit : {true, false}) {
        std::u16string text = ComposeScript("first\n", optionExplicit);
        size_t at = 0;
        for (uint32_t n = ComposedScriptFirstLine(optionExplicit); n > 0; --n)
            at = text.find(u'\n', at) + 1;
        EXPECT_EQ(text.substr(at), u"first\n");
    }
}

TEST(PluginScript, UnscramblingEndsAtAZeroByte) {
    EXPECT_EQ(UnscrambleLine(Scramble("RegWriteValueS \"HKCU\\x\", \"1\"")),
              "RegWriteValueS \"HKCU\\x\", \"1\"");
    EXPECT_EQ(UnscrambleLine(Scramble("abc") + "\xFF" + Scramble("def")), "abc");
    EXPECT_EQ(UnscrambleLine(""), "");
}

TEST(PluginFileCheck, EveryPluginHasASettingsSection) {
    EXPECT_EQ(NotAPluginReason(CPluginFile::FromBytes("\r\n \r\n")), "the file is empty");
    EXPECT_EQ(NotAPluginReason(CPluginFile::FromBytes(std::string("PK\3\4\0\0\n[script]\n", 16))),
              "the file is binary, not a plugin's text");
    EXPECT_EQ(NotAPluginReason(CPluginFile::FromBytes("Sub OnInit\r\nEnd Sub\r\n")),
              "the file has no [settings] section");
    EXPECT_EQ(NotAPluginReason(CPluginFile::FromBytes("; mine\r\n[Settings]\r\n")), "");
}

TEST(PluginText, DescriptionScriptExportAndComments) {
    CPluginFile file = CPluginFile::FromBytes("[settings]\r\n"
                                              "caption=Shell::Menus\r\n"
                                              "#=\"First part\r\n"
                                              "#=second part\"\"\r\n"
                                              "// a = commented out\r\n"
                                              "#=\"\r\n"
                                              "ignored before the script\r\n"
                                              "[ExPort]\r\n"
                                              "Key0=HKCU\\x\r\n"
                                              "[SCRIPT]\r\n"
                                              "  Sub OnInit  \r\n"
                                              "\t// not script\n"
                                              "#=\\r\\nlast\n"
                                              "End Sub\x1A"
                                              "garbage\n");
    SPluginText text = file.ReadText(false);
    EXPECT_EQ(text.m_description, "\"First partsecond part\r\nlast");
    EXPECT_EQ(text.m_script, "Sub OnInit\nEnd Sub\n");
    EXPECT_EQ(text.m_scriptLines, (std::vector<uint32_t>{11, 14}));
    EXPECT_TRUE(text.m_hasExport);
    EXPECT_TRUE(text.m_hasScriptLine);
    EXPECT_EQ(file.GetString("settings", "caption", "none"), "Shell::Menus");
}

TEST(PluginText, EncryptedLinesAfterTheScriptLineOnly) {
    std::string bytes = "[settings]\nEncrypted=1\n#=plain description\n[script]\n";
    bytes += Scramble("Sub OnInit") + "\r\n";
    bytes += Scramble("#=hidden") + "\n";
    bytes += Scramble("x = 1") + "\xFF" + Scramble("never seen") + "\n";
    CPluginFile file = CPluginFile::FromBytes(bytes);
    ASSERT_EQ(file.GetInt("settings", "Encrypted", 0), 1);
    SPluginText text = file.ReadText(true);
    EXPECT_EQ(text.m_description, "plain descriptionhidden");
    EXPECT_EQ(text.m_script, "Sub OnInit\nx = 1\n");
}

TEST(PluginDescription, EveryKindOfBreakBecomesOneCrLf) {
    EXPECT_EQ(NormaliseDescription("a\r\nb\\nc<br>d\ne"), "a\r\nb\r\nc\r\nd\r\ne");
    EXPECT_EQ(NormaliseDescription("plain"), "plain");
    EXPECT_EQ(NormaliseDescription("<BR>"), "<BR>");
}

TEST(PluginType, LastMatchingNameWins) {
    auto check = [](std::string_view type, int page, int kind) {
        std::optional<SPageType> match = MatchPageType(type);
        ASSERT_TRUE(match) << type;
        EXPECT_EQ(match->m_pageIndex, page) << type;
        EXPECT_EQ(match->m_pluginKind, kind) << type;
    };
    check("check", 1, 1);
    check("CHECK", 1, 1);
    check("Checkbox", 1, 1);
    check("checklist", 4, 5);
    check("CheckListView", 4, 5);
    check("edit", 2, 2);
    check("radio", 3, 3);
    check("listview", 4, 4);
    check("multi", 5, 6);
    check("HTML", 6, 7);
    EXPECT_FALSE(MatchPageType("none"));
    EXPECT_FALSE(MatchPageType(""));
    EXPECT_FALSE(MatchPageType("chec"));
}

TEST(PluginIni, ValuesAreCutToTheCallersBuffer) {
    std::string longValue(600, 'k');
    CPluginFile file = CPluginFile::FromBytes("[Export]\nKey0=" + longValue + "\n[script]\n");
    EXPECT_EQ(file.GetString("export", "key0", "none").size(), 259u);
    EXPECT_EQ(file.GetString("Export", "Key0", "none", kExportValueBuffer).size(), 499u);
    EXPECT_EQ(file.GetString("Export", "Key1", "none"), "none");
}

TEST(PluginIni, ExportListsEndAtTheFirstMissingOrNoneKey) {
    CPluginFile file =
        CPluginFile::FromBytes("[export]\nKey0=HKCU\\A\nkey1=HKLM\\B\nKey2=none\nKey3=HKCU\\C\n"
                               "Val1=HKCU\\D\\v\n");
    EXPECT_EQ(ReadExportList(file, "Key"), (std::vector<std::string>{"HKCU\\A", "HKLM\\B"}));
    EXPECT_TRUE(ReadExportList(file, "Val").empty());
}

TEST(PluginHeader, CaptionThenCategoryThenProgramName) {
    EXPECT_EQ(
        HeaderText(CPluginFile::FromBytes("[settings]\ncaption=Desktop::Icons\ncategory=A::B\n"),
                   "P"),
        "Desktop > Icons");
    EXPECT_EQ(
        HeaderText(CPluginFile::FromBytes("[settings]\ncaption=NONE\ncategory=A::B::C\n"), "P"),
        "A > B > C");
    EXPECT_EQ(HeaderText(CPluginFile(), "Corvanta"), "Corvanta");
}

} // namespace
} // namespace cva::plugin
