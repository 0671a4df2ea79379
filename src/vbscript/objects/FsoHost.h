#pragma once

#include "vbscript/ScriptServices.h"
#include "vbscript/Status.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

// Where the FileSystemObject meets the disk. Every Windows path is made absolute and
// then handed to the embedder's path mapping; nothing here invents host paths itself.
namespace cva::vbs::fso {

namespace fs = std::filesystem;

enum class EntryKind { None, File, Folder };

// Attribute bits of File.Attributes / Folder.Attributes.
constexpr int32_t kAttrReadOnly = 1;
constexpr int32_t kAttrHidden = 2;
constexpr int32_t kAttrSystem = 4;
constexpr int32_t kAttrDirectory = 16;
constexpr int32_t kAttrArchive = 32;

// The script's path made absolute against the services' current directory.
std::u16string Absolute(IScriptServices& services, std::u16string_view path);
// The host path of an absolute Windows path; nullopt when the target has no such drive.
std::optional<fs::path> HostPath(IScriptServices& services, std::u16string_view windowsPath);
EntryKind KindOf(const fs::path& host);

// A failed host call as the script error VBScript shows; notFound is 53 or 76,
// whichever the operation reports for a missing item.
Status ErrorFromCode(const std::error_code& ec, int32_t notFound);

struct DirEntry {
    std::u16string name;
    fs::path host;
    EntryKind kind = EntryKind::None;
};
// Entries of a folder of one kind, ordered by name without regard to case the way
// NTFS lists them; names matching the wildcard pattern when one is given.
std::vector<DirEntry> ListFolder(const fs::path& host, EntryKind kind,
                                 std::u16string_view pattern = {});

bool IsReadOnly(const fs::path& host);
std::error_code SetReadOnly(const fs::path& host, bool readOnly);
int32_t Attributes(const fs::path& host, EntryKind kind);
// Last-write time as a local OLE date; 0 when it cannot be read.
double ModifiedDate(const fs::path& host);
// Sum of the file sizes below a folder.
uint64_t FolderSize(const fs::path& host);
// File.Type / Folder.Type: what Explorer shows for the kind of item.
std::u16string TypeDescription(std::u16string_view name, bool folder);

} // namespace cva::vbs::fso
