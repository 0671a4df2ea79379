#pragma once

#include "platform/registry/RegTypes.h"

#include <string>
#include <string_view>

namespace cva::reg {

// A registry path in the syntax of Windows' reg.exe and regedit files: a root name
// (HKLM, HKCU, HKU, HKCR, HKCC or their HKEY_ long forms, any case), then optionally a
// backslash and the key path.
struct CRegPath {
    HKEY m_root = nullptr;
    std::string m_rootName; // the long form, as reg.exe prints it
    std::string m_subKey;   // without leading or trailing backslashes
    std::string Full() const { return m_subKey.empty() ? m_rootName : m_rootName + "\\" + m_subKey; }
};

bool ParseRegPath(std::string_view text, CRegPath& out);
// The long name of a predefined root, or empty.
std::string RootLongName(HKEY root);

} // namespace cva::reg
