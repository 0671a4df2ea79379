#pragma once

#include <string>

namespace cva::files {

// Deletes everything inside the folder and keeps the folder. Symbolic links are removed
// themselves; what they point to is never touched. True when the folder ends up empty.
bool DeleteFolderContents(const std::string& hostPath);

// Deletes the folder with its whole content. When the path is itself a symbolic link,
// only the link goes. True when nothing is left at the path.
bool DeleteFolderTree(const std::string& hostPath);

} // namespace cva::files
