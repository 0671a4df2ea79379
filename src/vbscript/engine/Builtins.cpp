#include "vbscript/engine/Interpreter.h"

#include "platform/text/Unicode.h"

#include <unordered_map>

namespace cva::vbs::engine {

extern const Builtin kTextBuiltins[];
extern const size_t kTextBuiltinCount;
extern const Builtin kNumberBuiltins[];
extern const size_t kNumberBuiltinCount;
extern const Builtin kDateBuiltins[];
extern const size_t kDateBuiltinCount;
extern const Builtin kMiscBuiltins[];
extern const size_t kMiscBuiltinCount;

namespace {

struct Table {
    std::vector<const Builtin*> all;
    std::unordered_map<std::u16string, int32_t> byName;
    std::unordered_map<std::u16string, Variant> constants;

    Table()
    {
        auto add = [&](const Builtin* list, size_t n) {
            for (size_t i = 0; i < n; ++i) {
                byName[text::ToUpper(list[i].name)] = static_cast<int32_t>(all.size());
                all.push_back(&list[i]);
            }
        };
        add(kTextBuiltins, kTextBuiltinCount);
        add(kNumberBuiltins, kNumberBuiltinCount);
        add(kDateBuiltins, kDateBuiltinCount);
        add(kMiscBuiltins, kMiscBuiltinCount);

        auto str = [&](const char16_t* name, std::u16string value) {
            constants[text::ToUpper(name)] = Variant(VString(value));
        };
        // Windows declares most of them Integer; the colours, vbObjectError and the
        // message box flags from vbMsgBoxHelpButton up are Long.
        auto num = [&](const char16_t* name, int16_t value) {
            constants[text::ToUpper(name)] = Variant::FromInteger(value);
        };
        auto lng = [&](const char16_t* name, int32_t value) {
            constants[text::ToUpper(name)] = Variant(value);
        };
        str(u"vbCr", u"\r");
        str(u"vbLf", u"\n");
        str(u"vbCrLf", u"\r\n");
        str(u"vbNewLine", u"\r\n");
        str(u"vbTab", u"\t");
        str(u"vbFormFeed", u"\f");
        str(u"vbVerticalTab", u"\v");
        str(u"vbNullString", u"");
        constants[u"VBNULLCHAR"] = Variant(VString(std::u16string(1, u'\0')));
        lng(u"vbObjectError", static_cast<int32_t>(0x80040000u));
        num(u"vbBinaryCompare", 0);
        num(u"vbTextCompare", 1);
        num(u"vbDatabaseCompare", 2);
        lng(u"vbBlack", 0);
        lng(u"vbRed", 0xFF);
        lng(u"vbGreen", 0xFF00);
        lng(u"vbYellow", 0xFFFF);
        lng(u"vbBlue", 0xFF0000);
        lng(u"vbMagenta", 0xFF00FF);
        lng(u"vbCyan", 0xFFFF00);
        lng(u"vbWhite", 0xFFFFFF);
        num(u"vbUseSystemDayOfWeek", 0);
        num(u"vbSunday", 1);
        num(u"vbMonday", 2);
        num(u"vbTuesday", 3);
        num(u"vbWednesday", 4);
        num(u"vbThursday", 5);
        num(u"vbFriday", 6);
        num(u"vbSaturday", 7);
        num(u"vbUseSystem", 0);
        num(u"vbFirstJan1", 1);
        num(u"vbFirstFourDays", 2);
        num(u"vbFirstFullWeek", 3);
        num(u"vbGeneralDate", 0);
        num(u"vbLongDate", 1);
        num(u"vbShortDate", 2);
        num(u"vbLongTime", 3);
        num(u"vbShortTime", 4);
        num(u"vbOKOnly", 0);
        num(u"vbOKCancel", 1);
        num(u"vbAbortRetryIgnore", 2);
        num(u"vbYesNoCancel", 3);
        num(u"vbYesNo", 4);
        num(u"vbRetryCancel", 5);
        num(u"vbCritical", 16);
        num(u"vbQuestion", 32);
        num(u"vbExclamation", 48);
        num(u"vbInformation", 64);
        num(u"vbDefaultButton1", 0);
        num(u"vbDefaultButton2", 256);
        num(u"vbDefaultButton3", 512);
        num(u"vbDefaultButton4", 768);
        num(u"vbApplicationModal", 0);
        num(u"vbSystemModal", 4096);
        lng(u"vbMsgBoxHelpButton", 16384);
        lng(u"vbMsgBoxSetForeground", 65536);
        lng(u"vbMsgBoxRight", 524288);
        lng(u"vbMsgBoxRtlReading", 1048576);
        num(u"vbOK", 1);
        num(u"vbCancel", 2);
        num(u"vbAbort", 3);
        num(u"vbRetry", 4);
        num(u"vbIgnore", 5);
        num(u"vbYes", 6);
        num(u"vbNo", 7);
        num(u"vbUseDefault", -2);
        num(u"vbTrue", -1);
        num(u"vbFalse", 0);
        num(u"vbEmpty", 0);
        num(u"vbNull", 1);
        num(u"vbInteger", 2);
        num(u"vbLong", 3);
        num(u"vbSingle", 4);
        num(u"vbDouble", 5);
        num(u"vbCurrency", 6);
        num(u"vbDate", 7);
        num(u"vbString", 8);
        num(u"vbObject", 9);
        num(u"vbError", 10);
        num(u"vbBoolean", 11);
        num(u"vbVariant", 12);
        num(u"vbDataObject", 13);
        num(u"vbDecimal", 14);
        num(u"vbByte", 17);
        num(u"vbArray", 8192);
    }
};

const Table& GetTable()
{
    static const Table table;
    return table;
}

} // namespace

int32_t FindBuiltin(std::u16string_view name)
{
    const Table& t = GetTable();
    auto it = t.byName.find(text::ToUpper(name));
    return it == t.byName.end() ? -1 : it->second;
}

const Builtin& BuiltinAt(int32_t index)
{
    return *GetTable().all[index];
}

bool FindBuiltinConstant(std::u16string_view name, Variant& out)
{
    const Table& t = GetTable();
    auto it = t.constants.find(text::ToUpper(name));
    if (it == t.constants.end())
        return false;
    out = it->second;
    return true;
}

} // namespace cva::vbs::engine
