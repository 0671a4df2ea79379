#include "core/script/HostProxy.h"

namespace cva::script {

const std::vector<vbs::HostFunction>& HostFunctionTable() {
    using H = vbs::HostType;
    // The order is the contract: a function's member id is its position, from 1.
    static const std::vector<vbs::HostFunction> table = {
        {"CreateActiveX", {H::String}, H::Object},
        {"QuitApp", {}, H::Void},
        {"Msg", {H::String, H::Int16}, H::Int16},
        {"FindFileFirst", {H::String}, H::Int16},
        {"FindFileNext", {H::Int16}, H::Int16},
        {"FindFileClose", {H::Int16}, H::Void},
        {"FileExists", {H::String}, H::Bool},
        {"FolderExists", {H::String}, H::Bool},
        {"FolderDelete", {H::String}, H::Void},
        {"FileDelete", {H::String}, H::Void},
        {"RegDeleteKey", {H::String}, H::Void},
        {"RegDeleteVal", {H::String}, H::Void},
        {"RegKeyExists", {H::String}, H::Bool},
        {"RegValueExist", {H::String, H::String}, H::Bool},
        {"RegReadValueS", {H::String}, H::String},
        {"RegReadValueD", {H::String}, H::Int32},
        {"RegWriteValS", {H::String, H::String, H::String}, H::Void},
        {"RegWriteValD", {H::String, H::String, H::Int32}, H::Void},
        {"GetWinDir", {}, H::String},
        {"GetSysDir", {}, H::String},
        {"SetItemText", {H::Int16, H::String}, H::Void},
        {"GetItemText", {H::Int16}, H::String},
        {"CheckItem", {H::Int16, H::Bool}, H::Void},
        {"IsItemChecked", {H::Int16}, H::Bool},
        {"GetItemCount", {}, H::Int16},
        {"DisableWindow", {}, H::Void},
        {"FileCopy", {H::String, H::String}, H::Void},
        {"FileMove", {H::String, H::String}, H::Void},
        {"FileSetAttribute", {H::String, H::String}, H::Void},
        {"GetWinVer", {}, H::Int32},
        {"NotifySettingChange", {H::Int32}, H::Void},
        {"IniWriteString", {H::String, H::String, H::String, H::String}, H::Void},
        {"IniReadString", {H::String, H::String, H::String}, H::String},
        {"Logoff", {}, H::Void},
        {"Restart", {}, H::Void},
        {"FindFileIsFolder", {H::Int32}, H::Bool},
        {"FolderCreate", {H::String}, H::Void},
        {"RegOpenKey", {H::String}, H::Int16},
        {"RegCloseKey", {H::Int16}, H::Void},
        {"RegEnumKey", {H::Int16, H::Int16}, H::String},
        {"RegEnumValue", {H::Int16, H::Int16}, H::String},
        {"RegValueExists", {H::String}, H::Bool},
        {"EnableItem", {H::Int16, H::Bool}, H::Void},
        {"SetItemTextEx", {H::Int16, H::Int16, H::String}, H::Void},
        {"SetItemData", {H::Int16, H::Int32}, H::Void},
        {"GetItemData", {H::Int16}, H::Int32},
        {"TxtInsertLine", {H::Int32, H::Int16, H::String}, H::Void},
        {"TxtGetLineCount", {H::Int32}, H::Int16},
        {"TxtSetLine", {H::Int32, H::Int16, H::String}, H::Void},
        {"TxtSave", {H::Int32}, H::Void},
        {"TxtDeleteLine", {H::Int32, H::Int16}, H::Void},
        {"TxtGetLine", {H::Int32, H::Int16}, H::String},
        {"TxtFindLine", {H::Int32, H::String, H::Bool}, H::Int16},
        {"TxtClose", {H::Int32}, H::Void},
        {"TxtOpen", {H::String}, H::Int32},
        {"IsPlatformNT", {}, H::Bool},
        {"RegWriteValueS", {H::String, H::String}, H::Void},
        {"RegWriteValueD", {H::String, H::Int32}, H::Void},
        {"Exe", {H::String, H::String, H::String}, H::Int32},
        {"ExpandSpecialPath", {H::String}, H::String},
        {"RegReadValueB", {H::String}, H::String},
        {"RegWriteValueB", {H::String, H::String}, H::Void},
        {"RegValueType", {H::String}, H::Int16},
        {"FindFileGetName", {H::Int16}, H::String},
        {"RegValCount", {H::Int16}, H::Int16},
        {"RegKeyCount", {H::Int16}, H::Int16},
        {"RegWriteValueE", {H::String, H::String}, H::Void},
        {"RegReadValue", {H::String}, H::Variant},
        {"RegWriteValue", {H::String, H::Variant, H::Int32}, H::Void},
        {"GetCurSel", {H::Int16}, H::Int16},
        {"SetCurSel", {H::Int16, H::Int16}, H::Void},
        {"GetItemTextEx", {H::Int16, H::Int16}, H::String},
        {"FolderEmpty", {H::String}, H::Bool},
        {"RegRenameKey", {H::String, H::String, H::String}, H::Void},
        {"RegBackupKey", {H::String}, H::Void},
        {"InputBox1", {H::String, H::String, H::String, H::String, H::Int16}, H::String},
        {"RunFunction", {H::String, H::Variant}, H::Variant},
    };
    return table;
}

vbs::Status CHost_Proxy::Call(int32_t memberId, std::span<vbs::HostValue> args, vbs::HostValue& result) {
    switch (memberId) {
    case 1:
        result.value = vbs::Variant(CreateActiveX(args[0].text));
        break;
    case 2:
        QuitApp();
        break;
    case 3:
        result.number = Msg(args[0].text, static_cast<int16_t>(args[1].number));
        break;
    case 4:
        result.number = FindFileFirst(args[0].text);
        break;
    case 5:
        result.number = FindFileNext(static_cast<int16_t>(args[0].number));
        break;
    case 6:
        FindFileClose(static_cast<int16_t>(args[0].number));
        break;
    case 7:
        result.flag = FileExists(args[0].text);
        break;
    case 8:
        result.flag = FolderExists(args[0].text);
        break;
    case 9:
        FolderDelete(args[0].text);
        break;
    case 10:
        FileDelete(args[0].text);
        break;
    case 11:
        RegDeleteKey(args[0].text);
        break;
    case 12:
        RegDeleteVal(args[0].text);
        break;
    case 13:
        result.flag = RegKeyExists(args[0].text);
        break;
    case 14:
        result.flag = RegValueExist(args[0].text, args[1].text);
        break;
    case 15:
        result.text = RegReadValueS(args[0].text);
        break;
    case 16:
        result.number = RegReadValueD(args[0].text);
        break;
    case 17:
        RegWriteValS(args[0].text, args[1].text, args[2].text);
        break;
    case 18:
        RegWriteValD(args[0].text, args[1].text, args[2].number);
        break;
    case 19:
        result.text = GetWinDir();
        break;
    case 20:
        result.text = GetSysDir();
        break;
    case 21:
        SetItemText(static_cast<int16_t>(args[0].number), args[1].text);
        break;
    case 22:
        result.text = GetItemText(static_cast<int16_t>(args[0].number));
        break;
    case 23:
        CheckItem(static_cast<int16_t>(args[0].number), args[1].flag);
        break;
    case 24:
        result.flag = IsItemChecked(static_cast<int16_t>(args[0].number));
        break;
    case 25:
        result.number = GetItemCount();
        break;
    case 26:
        DisableWindow();
        break;
    case 27:
        FileCopy(args[0].text, args[1].text);
        break;
    case 28:
        FileMove(args[0].text, args[1].text);
        break;
    case 29:
        FileSetAttribute(args[0].text, args[1].text);
        break;
    case 30:
        result.number = GetWinVer();
        break;
    case 31:
        NotifySettingChange(args[0].number);
        break;
    case 32:
        IniWriteString(args[0].text, args[1].text, args[2].text, args[3].text);
        break;
    case 33:
        result.text = IniReadString(args[0].text, args[1].text, args[2].text);
        break;
    case 34:
        Logoff();
        break;
    case 35:
        Restart();
        break;
    case 36:
        result.flag = FindFileIsFolder(args[0].number);
        break;
    case 37:
        FolderCreate(args[0].text);
        break;
    case 38:
        result.number = RegOpenKey(args[0].text);
        break;
    case 39:
        RegCloseKey(static_cast<int16_t>(args[0].number));
        break;
    case 40:
        result.text = RegEnumKey(static_cast<int16_t>(args[0].number), static_cast<int16_t>(args[1].number));
        break;
    case 41:
        result.text = RegEnumValue(static_cast<int16_t>(args[0].number), static_cast<int16_t>(args[1].number));
        break;
    case 42:
        result.flag = RegValueExists(args[0].text);
        break;
    case 43:
        EnableItem(static_cast<int16_t>(args[0].number), args[1].flag);
        break;
    case 44:
        SetItemTextEx(static_cast<int16_t>(args[0].number), static_cast<int16_t>(args[1].number), args[2].text);
        break;
    case 45:
        SetItemData(static_cast<int16_t>(args[0].number), args[1].number);
        break;
    case 46:
        result.number = GetItemData(static_cast<int16_t>(args[0].number));
        break;
    case 47:
        TxtInsertLine(args[0].number, static_cast<int16_t>(args[1].number), args[2].text);
        break;
    case 48:
        result.number = TxtGetLineCount(args[0].number);
        break;
    case 49:
        TxtSetLine(args[0].number, static_cast<int16_t>(args[1].number), args[2].text);
        break;
    case 50:
        TxtSave(args[0].number);
        break;
    case 51:
        TxtDeleteLine(args[0].number, static_cast<int16_t>(args[1].number));
        break;
    case 52:
        result.text = TxtGetLine(args[0].number, static_cast<int16_t>(args[1].number));
        break;
    case 53:
        result.number = TxtFindLine(args[0].number, args[1].text, args[2].flag);
        break;
    case 54:
        TxtClose(args[0].number);
        break;
    case 55:
        result.number = TxtOpen(args[0].text);
        break;
    case 56:
        result.flag = IsPlatformNT();
        break;
    case 57:
        RegWriteValueS(args[0].text, args[1].text);
        break;
    case 58:
        RegWriteValueD(args[0].text, args[1].number);
        break;
    case 59:
        result.number = Exe(args[0].text, args[1].text, args[2].text);
        break;
    case 60:
        result.text = ExpandSpecialPath(args[0].text);
        break;
    case 61:
        result.text = RegReadValueB(args[0].text);
        break;
    case 62:
        RegWriteValueB(args[0].text, args[1].text);
        break;
    case 63:
        result.number = RegValueType(args[0].text);
        break;
    case 64:
        result.text = FindFileGetName(static_cast<int16_t>(args[0].number));
        break;
    case 65:
        result.number = RegValCount(static_cast<int16_t>(args[0].number));
        break;
    case 66:
        result.number = RegKeyCount(static_cast<int16_t>(args[0].number));
        break;
    case 67:
        RegWriteValueE(args[0].text, args[1].text);
        break;
    case 68:
        result.value = RegReadValue(args[0].text);
        break;
    case 69:
        RegWriteValue(args[0].text, args[1].value, args[2].number);
        break;
    case 70:
        result.number = GetCurSel(static_cast<int16_t>(args[0].number));
        break;
    case 71:
        SetCurSel(static_cast<int16_t>(args[0].number), static_cast<int16_t>(args[1].number));
        break;
    case 72:
        result.text = GetItemTextEx(static_cast<int16_t>(args[0].number), static_cast<int16_t>(args[1].number));
        break;
    case 73:
        result.flag = FolderEmpty(args[0].text);
        break;
    case 74:
        RegRenameKey(args[0].text, args[1].text, args[2].text);
        break;
    case 75:
        RegBackupKey(args[0].text);
        break;
    case 76:
        result.text = InputBox1(args[0].text, args[1].text, args[2].text, args[3].text, static_cast<int16_t>(args[4].number));
        break;
    case 77:
        result.value = RunFunction(args[0].text, args[1].value);
        break;
    default:
        return vbs::Status(vbs::kErrNoSuchMember);
    }
    return vbs::Status::Ok();
}

} // namespace cva::script
