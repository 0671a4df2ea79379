#pragma once

#include "core/script/ActiveScriptHost.h"
#include "core/script/HostOwner.h"
#include "core/script/TargetScriptServices.h"
#include "platform/registry/RegTypes.h"
#include "vbscript/Object.h"
#include "vbscript/Variant.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cva::journal {
class CChangeRecorder;
class CFileOverlay;
}
namespace cva::target {
class CTargetSystem;
}

namespace cva::script {

// A text file held in memory between TxtOpen and TxtSave: element 0 is the path as the
// script gave it, elements 1 to n the file's lines without their line ends.
struct TextFileLines {
    std::vector<std::string> m_lines;
};

// One directory listing in progress for FindFileFirst/Next.
struct CHostFileFind {
    struct SEntry {
        std::string m_name;
        bool m_isFolder = false;
    };
    std::vector<SEntry> m_entries; // in the order the folder lists them
    int m_current = -1;            // none current before the first FindFileNext
};

// The description of the host functions as the engine sees them: 77 entries whose
// member ids are their positions counted from 1.
const std::vector<vbs::HostFunction>& HostFunctionTable();

// The host object of an open plugin: the engine's site and the automation object that
// scripts call as "ScriptHost". Its functions act on the target (registry, files,
// environment, shell) and on the page the owner shows; none of them shows a message of
// its own except the dialogs scripts ask for. Strings are UTF-8, the program's ANSI.
class CHost_Proxy : public CActiveScriptHost, public vbs::IHostItem {
public:
    // The state taken at construction: the target's version code and platform, and the
    // "DELTO" setting (files go to the Trash when set).
    CHost_Proxy(target::CTargetSystem& target, bool recycleDeletes);
    ~CHost_Proxy() override;

    void SetMainWindow(IHostOwner* owner) { m_pMainWindow = owner; }
    IHostOwner* MainWindow() const { return m_pMainWindow; }
    target::CTargetSystem& Target() { return m_target; }
    // Why the changes of the last parse or routine call did not all reach the target (a
    // refused change or a failed save); empty when they did.
    const std::string& LastSaveFailure() const { return m_strSaveFailure; }
    // The text of the last script error shown.
    const std::string& LastScriptError() const { return m_strLastScriptError; }
    // Told of each INI entry the script is about to write; null: nobody records.
    void SetChangeRecorder(journal::CChangeRecorder* recorder) { m_pChanges = recorder; }
    // A preview: the file functions write here instead of to the disk, and read what
    // they wrote; null: the disk.
    void SetFileOverlay(journal::CFileOverlay* overlay) { m_pOverlay = overlay; }

    // Closes every open search, registry key and text file (unsaved) and restarts the
    // numbering of all three handle kinds at 0.
    void ReleaseScriptHandles();

    // vbs::IHostItem: member id n is entry n of HostFunctionTable.
    vbs::Status Call(int32_t memberId, std::span<vbs::HostValue> args, vbs::HostValue& result) override;

    // --- Registry functions -------------------------------------------------------
    void RegDeleteKey(const std::string& strKey);
    void RegDeleteVal(const std::string& strKey);
    bool RegKeyExists(const std::string& strKey);
    bool RegValueExist(const std::string& strKey, const std::string& strVal);
    std::string RegReadValueS(const std::string& strKey);
    int32_t RegReadValueD(const std::string& strKey);
    void RegWriteValS(const std::string& strKey, const std::string& strVal, const std::string& strData);
    void RegWriteValD(const std::string& strKey, const std::string& strVal, int32_t strData);
    int16_t RegOpenKey(const std::string& strKey);
    void RegCloseKey(int16_t nkey);
    std::string RegEnumKey(int16_t nkey, int16_t index);
    std::string RegEnumValue(int16_t nkey, int16_t index);
    bool RegValueExists(const std::string& strKey);
    void RegWriteValueS(const std::string& strKey, const std::string& strData);
    void RegWriteValueD(const std::string& strKey, int32_t strData);
    std::string RegReadValueB(const std::string& strKey);
    void RegWriteValueB(const std::string& strKey, const std::string& strData);
    int16_t RegValueType(const std::string& strKey);
    int16_t RegValCount(int16_t nkey);
    int16_t RegKeyCount(int16_t nkey);
    void RegWriteValueE(const std::string& strKey, const std::string& strData);
    vbs::Variant RegReadValue(const std::string& strKey);
    void RegWriteValue(const std::string& strKey, const vbs::Variant& strValue, int32_t nType);
    void RegRenameKey(const std::string& strHKey, const std::string& strKeyOld, const std::string& strKeyNew);
    void RegBackupKey(const std::string& strKey);
    // The predefined key a root name stands for ("HKLM", "HKEY_CURRENT_USER", ...); HKCU
    // is the owner's user hive when one is mounted. Null for an unknown name.
    reg::HKEY RootKeyFromName(const std::string& rootName);

    // --- Files, folders, INI and text files ---------------------------------------
    int16_t FindFileFirst(const std::string& strPath);
    int16_t FindFileNext(int16_t index);
    void FindFileClose(int16_t index);
    bool FileExists(const std::string& strFile);
    bool FolderExists(const std::string& strFolder);
    void FolderDelete(const std::string& strFolder);
    void FileDelete(const std::string& strFile);
    std::string GetWinDir();
    std::string GetSysDir();
    void FileCopy(const std::string& strSrc, const std::string& strDest);
    void FileMove(const std::string& strSrc, const std::string& strDst);
    void FileSetAttribute(const std::string& strFile, const std::string& strAttr);
    void IniWriteString(const std::string& strSection, const std::string& strKey, const std::string& strValue,
                        const std::string& strFile);
    std::string IniReadString(const std::string& strSection, const std::string& strKey, const std::string& strFile);
    int32_t FindFileIsFolder(int32_t index); // -1 (True) for a bad handle
    void FolderCreate(const std::string& strPath);
    void TxtInsertLine(int32_t index, int16_t line, const std::string& strText);
    int16_t TxtGetLineCount(int32_t index);
    void TxtSetLine(int32_t index, int16_t line, const std::string& strText);
    void TxtSave(int32_t index);
    void TxtDeleteLine(int32_t index, int16_t line);
    std::string TxtGetLine(int32_t index, int16_t line);
    int16_t TxtFindLine(int32_t index, const std::string& strText, bool bMatchCase);
    void TxtClose(int32_t index);
    int32_t TxtOpen(const std::string& strFile);
    std::string ExpandSpecialPath(const std::string& strPath);
    std::string FindFileGetName(int16_t index);
    bool FolderEmpty(const std::string& strFolder);
    vbs::Variant RunFunction(const std::string& strFunc, const vbs::Variant& strArg);

    // --- Page items, windows and system -------------------------------------------
    vbs::ObjectRef CreateActiveX(const std::string& szProgID);
    void QuitApp();
    int16_t Msg(const std::string& strMessage, int16_t type);
    void SetItemText(int16_t index, const std::string& strText);
    std::string GetItemText(int16_t index);
    void CheckItem(int16_t index, bool bCheck);
    bool IsItemChecked(int16_t index);
    int16_t GetItemCount();
    void DisableWindow();
    int32_t GetWinVer();
    void NotifySettingChange(int32_t nOpt);
    void Logoff();
    void Restart();
    bool IsPlatformNT();
    void EnableItem(int16_t index, bool bEnable);
    void SetItemTextEx(int16_t index, int16_t subindex, const std::string& strText);
    void SetItemData(int16_t index, int32_t data);
    int32_t GetItemData(int16_t index);
    int32_t Exe(const std::string& strCommand, const std::string& strArg1, const std::string& strArg2);
    int16_t GetCurSel(int16_t index);
    void SetCurSel(int16_t index, int16_t value);
    std::string GetItemTextEx(int16_t index, int16_t subindex);
    std::string InputBox1(const std::string& sCaption, const std::string& sDesc, const std::string& sLabel,
                          const std::string& sDefault, int16_t nOpt);

    // --- Registry family: backups and handle look-up ----------------------------------
    // Folder that receives the REGEDIT4 files of RegBackupKey; empty (the default)
    // makes RegBackupKey accept its argument and do nothing.
    void SetBackupFolder(std::string folder) { m_backupFolder = std::move(folder); }
    const std::string& BackupFolder() const { return m_backupFolder; }
    // The file RegBackupKey writes for a key path: the path with the characters a file
    // name cannot carry turned into blanks, plus ".reg".
    static std::string BackupFileName(const std::string& keyPath);

    // State taken at construction; the main window updates m_bRecycleDeletes when the
    // options change.
    int m_nWindowsVersion = 0;
    bool m_bRecycleDeletes = true;
    bool m_bPlatformNT = true;

protected:
    vbs::IHostItem& HostItem() override { return *this; }
    void ShowScriptError(const std::string& message) override;
    void BeforeScriptCall() override;
    void AfterScriptCall() override;

    // --- Files family helpers ------------------------------------------------------
    // A script's file path as a host path, kept to what the target's drive map lets
    // scripts reach: host paths ("/etc/..."), host drives and UNC names are refused, and a
    // path without a drive counts from the Windows folder (where Windows also looks for an
    // INI file named without a folder).
    std::optional<std::string> ScriptFilePath(const std::string& path);
    // Deletes one entry as FileDelete does (Trash or for good); symbolic links go
    // themselves, never what they point to.
    bool DeleteEntry(const std::string& hostPath, bool allowFolder);
    std::string WindowsFolderNoSlash();
    int DriveTypeOf(const std::string& rootPath);

    std::vector<std::unique_ptr<TextFileLines>> m_textFiles;
    std::vector<std::unique_ptr<CHostFileFind>> m_finds;
    std::vector<reg::HKEY> m_keys;
    target::CTargetSystem& m_target;
    IHostOwner* m_pMainWindow = nullptr;

    // --- Script host --------------------------------------------------------------
    // A hive that cannot be written is reported once per plugin, not after every click.
    bool m_bSaveFailureShown = false;
    std::string m_strSaveFailure;
    std::string m_strLastScriptError;
    journal::CChangeRecorder* m_pChanges = nullptr;
    journal::CFileOverlay* m_pOverlay = nullptr;
    // Tells the recorder (when one listens) that a file is about to change.
    void NoteFileChanging(const std::string& hostPath);

    // --- Registry family ----------------------------------------------------------
    // The open key of a RegOpenKey handle; null for a bad, closed or released handle.
    reg::HKEY ScriptKey(int16_t nkey) const;
    std::string m_backupFolder;

    // --- Services of the engine's own objects (WScript.Shell, FileSystemObject) -------
    // On the target, with the owner's prompts and user hive asked at every call.
    vbs::IScriptServices* ScriptServices() override;
    // Before the FileSystemObject changes the disk: journaled, or refused in a preview.
    vbs::Status FileSystemObjectChanging(const std::string& hostPath, const std::string& movedTo);
    std::unique_ptr<CTargetScriptServices> m_scriptServices;
};

} // namespace cva::script
