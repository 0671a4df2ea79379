#pragma once

#include <string>
#include <string_view>

// Windows path arithmetic of the FileSystemObject, on the path text only (no disk
// access). Both slashes count as separators; "C:" and "\\server\share" are roots.
namespace cva::vbs::fso {

bool IsSeparator(char16_t c);
// "C:" or "\\server\share" at the start of the path; empty when there is none.
std::u16string_view DriveName(std::u16string_view path);
// The last component, trailing separators ignored; empty for a bare root.
std::u16string_view FileName(std::u16string_view path);
// FileName without its last ".ext"; ExtensionName that "ext".
std::u16string_view BaseName(std::u16string_view path);
std::u16string_view ExtensionName(std::u16string_view path);
// Everything before the last component ("C:\x" for "C:\x\y.txt", "C:\" for "C:\x").
std::u16string_view ParentFolderName(std::u16string_view path);
// Joins with exactly one backslash, except after a bare drive ("C:" + "b" = "C:b").
std::u16string BuildPath(std::u16string_view path, std::u16string_view name);
// A full, normalised path ("." and ".." resolved, no trailing separator but on a
// root) against currentDirectory, which must itself be absolute.
std::u16string AbsolutePath(std::u16string_view path, std::u16string_view currentDirectory);
// A trailing separator means "into this folder" for the copy and move operations.
bool EndsWithSeparator(std::u16string_view path);
bool HasWildcards(std::u16string_view name);
// "*" and "?" matched without regard to case, as the Windows shell does for names.
bool WildcardMatch(std::u16string_view pattern, std::u16string_view name);

} // namespace cva::vbs::fso
