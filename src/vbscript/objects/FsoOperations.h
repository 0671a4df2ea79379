#pragma once

#include "vbscript/ScriptServices.h"
#include "vbscript/Status.h"

#include <string>
#include <string_view>

// The FileSystemObject's file and folder operations, shared by its own methods and by
// the File and Folder objects. Sources may end in a wildcard pattern ("C:\x\*.log");
// a destination ending in a backslash names the folder to put things into.
namespace cva::vbs::fso {

Status DeleteFiles(IScriptServices& services, std::u16string_view itemPath, bool force);
Status DeleteFolders(IScriptServices& services, std::u16string_view itemPath, bool force);
Status CopyFiles(IScriptServices& services, std::u16string_view source,
                 std::u16string_view destination, bool overwrite);
// `moved` receives the Windows path the (last) file went to.
Status MoveFiles(IScriptServices& services, std::u16string_view source,
                 std::u16string_view destination, std::u16string* moved = nullptr);
Status CopyFolders(IScriptServices& services, std::u16string_view source,
                   std::u16string_view destination, bool overwrite);
Status MoveFolders(IScriptServices& services, std::u16string_view source,
                   std::u16string_view destination, std::u16string* moved = nullptr);
// 58 when something of that name exists, 76 when the parent folder does not.
Status CreateFolder(IScriptServices& services, std::u16string_view path, std::u16string& created);

} // namespace cva::vbs::fso
