#pragma once

#include "platform/registry/Registry.h"

#include <string>
#include <string_view>
#include <vector>

namespace cva::registry {

// Writes registry keys and values to a registry editor file (CR LF line ends) that the
// Windows registry editor, Wine's regedit and cva-reg import back to the same keys and
// values. The file is extended, never emptied: the first writer of an empty file puts the
// format's header line in front, later ones add their keys after an empty line.
//
// A REGEDIT4 file carries 8-bit text, which each importer reads in its own code page, so
// it is used only while every name and text is plain ASCII. An export with other
// characters becomes a "Windows Registry Editor Version 5.00" file (UTF-16), the form
// regedit itself writes for them.
//
// The keys and values are read as the Backup calls are made; the file is only written by
// Save, all at once, so that a failure or a crash never leaves a partial file behind.
class CRegBackup {
public:
    enum class EFormat { Regedit4, Version5 };

    CRegBackup(reg::CRegistry& registry, std::string filePath);
    virtual ~CRegBackup();
    CRegBackup(const CRegBackup&) = delete;
    CRegBackup& operator=(const CRegBackup&) = delete;

    // The key, its values and all its subkeys: the key's header first, then every
    // subkey depth first with its values, then the key's header again with its own
    // values. A key that cannot be opened is left out.
    void BackupKeyTree(reg::HKEY root, const std::string& subKey);
    // The key's header and the one value whose name matches without regard to case (the
    // header alone when there is none; an empty name is the default value).
    void BackupValue(reg::HKEY root, const std::string& subKey, const std::string& valueName);
    // One key's header (unless noHeader) and all its values.
    void BackupKeyValues(reg::HKEY key, const std::u16string& subKey,
                         const std::string& keyPathText, bool noHeader);

    // Keys (headers) collected so far; 0 means Save has nothing to add.
    size_t KeyCount() const { return m_keyCount; }
    size_t ValueCount() const { return m_valueCount; }

    // Writes the file as it is on disk now with everything collected after it, through a
    // temporary file beside it that replaces it only when complete. False, with the
    // reason in `why` and the file as it was, when that fails. Nothing collected: the
    // file is left alone.
    bool Save(std::string& why);

    // The data part of a value line, line end included, for data as the registry holds
    // it (strings in UTF-16). Text in the result is UTF-8; a REGEDIT4 rendering of data
    // that FitsRegedit4 refuses is not exact.
    static std::string FormatValueData(reg::DWORD type, const reg::BYTE* data, reg::DWORD size,
                                       EFormat format = EFormat::Regedit4);
    // The name part of a value line: "@=" for the default value.
    static std::string FormatValueName(const std::string& name);
    // Whether the value's data survives the 8-bit text of a REGEDIT4 file unchanged.
    static bool FitsRegedit4(reg::DWORD type, const reg::BYTE* data, reg::DWORD size);
    // "HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE", "HKEY_USERS";
    // empty for every other handle.
    static std::string GetRootName(reg::HKEY root);
    // The root as the key headers of the file name it: every predefined root by its own
    // name, and another user's mounted hive as HKEY_CURRENT_USER, so that the file
    // brings the settings back for whoever imports it.
    static std::string FileRootName(reg::HKEY root);

private:
    struct SEntry {
        enum EKind { Header, Value, Error } m_kind;
        std::string m_text; // key path of a header, name of a value
        reg::DWORD m_type = 0;
        std::vector<reg::BYTE> m_data;
    };

    void AddHeader(const std::string& keyPathText);
    bool FitsRegedit4() const;
    std::string Render(EFormat format, bool fileHeader) const;

    reg::CRegistry& m_registry;
    std::string m_filePath;
    std::vector<SEntry> m_entries;
    size_t m_keyCount = 0;
    size_t m_valueCount = 0;
};

} // namespace cva::registry
