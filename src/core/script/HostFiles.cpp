#include "core/script/HostProxy.h"

#include "core/journal/ChangeRecorder.h"
#include "core/journal/FileOverlay.h"
#include "platform/files/FileAttributes.h"
#include "platform/files/FileOperations.h"
#include "platform/files/FindFile.h"
#include "platform/files/FolderTree.h"
#include "platform/files/Trash.h"
#include "platform/ini/IniFile.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"
#include "vbscript/Coerce.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace cva::script {

namespace {

bool IsDriveLetter(char c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool HasDrive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' && IsDriveLetter(path[0]);
}

bool IsSeparator(char c) {
    return c == '\\' || c == '/';
}

// The longest value GetPrivateProfileString hands back through the 260-byte buffer the
// host passes it.
constexpr size_t kIniValueChars = 259;

// Cuts after `count` characters, never inside a UTF-8 sequence.
std::string FirstCharacters(const std::string& text, size_t count) {
    size_t chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
        if (chars++ == count) return text.substr(0, i);
    }
    return text;
}

// The folder of the program file on the host.
std::string ProgramFolder() {
    char buffer[PATH_MAX];
    ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length <= 0) return {};
    std::string exe(buffer, static_cast<size_t>(length));
    size_t slash = exe.rfind('/');
    return slash == 0 ? std::string("/") : exe.substr(0, slash);
}

// Wine's own drive types, as winecfg stores them per drive letter.
int WineDriveTypeName(const std::string& name) {
    struct SName {
        const char* name;
        int type;
    };
    static const SName kNames[] = {{"hd", files::DRIVE_FIXED},
                                   {"network", files::DRIVE_REMOTE},
                                   {"floppy", files::DRIVE_REMOVABLE},
                                   {"cdrom", files::DRIVE_CDROM},
                                   {"ramdisk", files::DRIVE_RAMDISK}};
    for (const SName& entry : kNames)
        if (text::EqualsNoCaseUtf8(name, entry.name)) return entry.type;
    return -1;
}

} // namespace

std::optional<std::string> CHost_Proxy::ScriptFilePath(const std::string& path) {
    if (path.empty()) return std::nullopt;
    std::string windowsPath;
    if (HasDrive(path) || path.front() == '/') {
        windowsPath = path; // a host path too: the target's drive map refuses it
    } else if (path.size() >= 6 && path[0] == '\\' && path[1] == '\\' &&
               (path[2] == '?' || path[2] == '.') && path[3] == '\\' &&
               HasDrive(std::string_view(path).substr(4))) {
        windowsPath = path.substr(4);
    } else if (IsSeparator(path.front())) {
        if (path.size() >= 2 && IsSeparator(path[1])) return std::nullopt; // UNC
        std::string windir = WindowsFolderNoSlash();
        if (!HasDrive(windir)) return std::nullopt;
        windowsPath = windir.substr(0, 2) + path;
    } else {
        windowsPath = WindowsFolderNoSlash() + "\\" + path;
        if (!HasDrive(windowsPath)) return std::nullopt;
    }
    return m_target.ToHostPath(windowsPath);
}

void CHost_Proxy::NoteFileChanging(const std::string& hostPath) {
    if (m_pChanges) m_pChanges->FileChanging(hostPath);
}

bool CHost_Proxy::FileExists(const std::string& strFile) {
    std::optional<std::string> host = ScriptFilePath(strFile);
    if (host && m_pOverlay) return m_pOverlay->IsFile(*host);
    struct stat st {};
    return host && ::stat(host->c_str(), &st) == 0 && !S_ISDIR(st.st_mode);
}

bool CHost_Proxy::FolderExists(const std::string& strFolder) {
    std::optional<std::string> host = ScriptFilePath(strFolder);
    if (host && m_pOverlay) return m_pOverlay->IsFolder(*host);
    struct stat st {};
    return host && ::stat(host->c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

void CHost_Proxy::FolderCreate(const std::string& strPath) {
    std::optional<std::string> host = ScriptFilePath(strPath);
    if (!host) return;
    struct stat st {};
    if (m_pOverlay) {
        const size_t slash = host->rfind('/');
        if (m_pOverlay->IsFolder(*host) || m_pOverlay->IsFile(*host) || slash == std::string::npos ||
            !m_pOverlay->IsFolder(host->substr(0, slash)))
            return;
    } else if (::lstat(host->c_str(), &st) == 0) {
        return;
    }
    NoteFileChanging(*host);
    if (m_pOverlay) m_pOverlay->PutFolder(*host);
    else ::mkdir(host->c_str(), 0777);
}

void CHost_Proxy::FolderDelete(const std::string& strFolder) {
    std::optional<std::string> host = ScriptFilePath(strFolder);
    if (!host) return;
    if (m_pOverlay) {
        if (!m_pOverlay->IsFolder(*host)) return;
        bool empty = m_pOverlay->AddedNames(*host).empty();
        for (const files::SFindData& entry : files::FindFiles(*host, "*", false))
            empty = empty && m_pOverlay->IsRemoved(*host + "/" + entry.name);
        if (!empty) return;
        NoteFileChanging(*host);
        m_pOverlay->Remove(*host);
        return;
    }
    struct stat st {};
    if (::lstat(host->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return;
    NoteFileChanging(*host);
    ::rmdir(host->c_str());
}

bool CHost_Proxy::DeleteEntry(const std::string& hostPath, bool allowFolder) {
    if (m_pOverlay) {
        if (!m_pOverlay->IsFile(hostPath) && !(m_pOverlay->IsFolder(hostPath) && (allowFolder || m_bRecycleDeletes)))
            return false;
        NoteFileChanging(hostPath);
        m_pOverlay->Remove(hostPath);
        return true;
    }
    struct stat st {};
    if (::lstat(hostPath.c_str(), &st) != 0) return false;
    const bool folder = S_ISDIR(st.st_mode);
    if (folder && !allowFolder && !m_bRecycleDeletes) return false;
    if (folder && !m_bRecycleDeletes && m_pChanges) m_pChanges->TreeDeleting(hostPath);
    else NoteFileChanging(hostPath);
    if (m_bRecycleDeletes) {
        std::string info;
        if (!files::CTrash().MoveToTrash(hostPath, &info)) return false;
        if (m_pChanges) m_pChanges->FileTrashed(hostPath, info);
        return true;
    }
    if (!folder) return ::unlink(hostPath.c_str()) == 0;
    return files::DeleteFolderTree(hostPath);
}

void CHost_Proxy::FileDelete(const std::string& strFile) {
    std::optional<std::string> host = ScriptFilePath(strFile);
    if (!host) return;
    // The shell refuses to recycle a whole drive; moving the sandbox's C: away would
    // wreck the target.
    std::optional<std::string> windowsPath = m_target.ToWindowsPath(*host);
    if (windowsPath && windowsPath->size() <= 3) return;
    if (!m_bRecycleDeletes) {
        // DeleteFile refuses read-only files; a script that wants one gone clears the
        // attribute first, as it would have to on Windows.
        uint32_t attributes = files::GetFileAttributes(*host);
        if (attributes != files::INVALID_FILE_ATTRIBUTES &&
            (attributes & files::FILE_ATTRIBUTE_READONLY) &&
            !(attributes & files::FILE_ATTRIBUTE_DIRECTORY))
            return;
    }
    DeleteEntry(*host, false);
}

bool CHost_Proxy::FolderEmpty(const std::string& strFolder) {
    std::optional<std::string> host = ScriptFilePath(strFolder);
    struct stat st {};
    // A folder reached through a link is left alone: emptying it would reach outside
    // the tree the script named.
    if (!host || ::lstat(host->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return false;
    DIR* dir = ::opendir(host->c_str());
    if (!dir) return false;
    std::vector<std::string> names;
    while (dirent* entry = ::readdir(dir)) {
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        names.emplace_back(entry->d_name);
    }
    ::closedir(dir);
    if (m_pOverlay) {
        for (const std::string& name : m_pOverlay->AddedNames(*host))
            if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
    }
    // With the Trash in use, subfolders go there whole as well, so nothing the script
    // clears is lost for good while the user asked for deletions to be undoable.
    for (const std::string& name : names)
        DeleteEntry(*host + "/" + name, true);
    return false;
}

void CHost_Proxy::FileCopy(const std::string& strSrc, const std::string& strDest) {
    std::optional<std::string> source = ScriptFilePath(strSrc);
    std::optional<std::string> destination = ScriptFilePath(strDest);
    if (!source || !destination) return;
    if (m_pOverlay) {
        std::optional<std::string> bytes = m_pOverlay->ReadFile(*source);
        if (!bytes || m_pOverlay->IsFile(*destination) || m_pOverlay->IsFolder(*destination)) return;
        NoteFileChanging(*destination);
        m_pOverlay->PutFile(*destination, std::move(*bytes));
        return;
    }
    struct stat st {};
    if (::lstat(destination->c_str(), &st) == 0) return;
    NoteFileChanging(*destination);
    files::CopyFileNoReplace(*source, *destination);
}

void CHost_Proxy::FileMove(const std::string& strSrc, const std::string& strDst) {
    std::optional<std::string> source = ScriptFilePath(strSrc);
    std::optional<std::string> destination = ScriptFilePath(strDst);
    if (!source || !destination) return;
    if (m_pOverlay) {
        const bool folder = m_pOverlay->IsFolder(*source);
        std::optional<std::string> bytes = m_pOverlay->ReadFile(*source);
        if ((!bytes && !folder) || m_pOverlay->IsFile(*destination) || m_pOverlay->IsFolder(*destination))
            return;
        // A preview shows where a file went; a folder moves without its content.
        if (m_pChanges) m_pChanges->FileMoving(*source, *destination);
        if (folder) m_pOverlay->PutFolder(*destination);
        else m_pOverlay->PutFile(*destination, std::move(*bytes));
        m_pOverlay->Remove(*source);
        return;
    }
    struct stat st {};
    if (::lstat(source->c_str(), &st) != 0 || ::lstat(destination->c_str(), &st) == 0) return;
    if (m_pChanges) m_pChanges->FileMoving(*source, *destination);
    files::MoveNoReplace(*source, *destination);
}

void CHost_Proxy::FileSetAttribute(const std::string& strFile, const std::string& strAttr) {
    std::optional<std::string> host = ScriptFilePath(strFile);
    if (!host) return;
    // A preview gives its files attributes in the overlay, where reads of them look.
    const bool folder = m_pOverlay ? m_pOverlay->IsFolder(*host) : false;
    if (m_pOverlay && !folder && !m_pOverlay->IsFile(*host)) return;
    const uint32_t old = m_pOverlay ? journal::KeptAttributes(*host, m_pOverlay) : files::GetFileAttributes(*host);
    if (old == files::INVALID_FILE_ATTRIBUTES) return;
    // "R+H-": a letter followed by + sets its attribute, by - clears it; where a request
    // asks both, setting wins.
    const std::string request = text::ToUpperUtf8(strAttr);
    uint32_t set = 0, clear = 0;
    for (size_t i = 0; i + 1 < request.size(); ++i) {
        const uint32_t bit = journal::AttributeOfLetter(request[i]);
        if (request[i + 1] == '+') set |= bit;
        if (request[i + 1] == '-') clear |= bit;
    }
    const uint32_t attributes = (old & ~clear) | set;
    if (attributes == old) return;
    if (m_pChanges) m_pChanges->AttributesChanging(*host);
    if (m_pOverlay)
        m_pOverlay->PutAttributes(*host, attributes & journal::KeptAttributeBits(folder));
    else
        files::SetFileAttributes(*host, attributes & ~files::FILE_ATTRIBUTE_NORMAL);
}

std::string CHost_Proxy::IniReadString(const std::string& strSection, const std::string& strKey,
                                       const std::string& strFile) {
    std::optional<std::string> host = ScriptFilePath(strFile);
    if (!host) return {};
    std::optional<ini::CIniFile> file;
    if (m_pOverlay && m_pOverlay->Find(*host)) {
        if (std::optional<std::string> bytes = m_pOverlay->ReadFile(*host)) file = ini::CIniFile::FromText(*bytes);
    } else {
        file = ini::CIniFile::Load(*host);
    }
    if (!file) return {};
    std::string value =
        FirstCharacters(file->GetValue(strSection, strKey).value_or(std::string()), kIniValueChars);
    if (text::EqualsNoCaseUtf8(value, "none")) return {};
    return value;
}

void CHost_Proxy::IniWriteString(const std::string& strSection, const std::string& strKey,
                                 const std::string& strValue, const std::string& strFile) {
    std::optional<std::string> host = ScriptFilePath(strFile);
    if (!host) return;
    if (m_pChanges) m_pChanges->IniChanging(*host, strSection, strKey);
    if (!m_pOverlay) {
        errno = 0;
        if (!ini::WritePrivateProfileString(strSection.c_str(), strKey.c_str(), strValue.c_str(), host->c_str()))
            NoteFileFailure(*host);
        return;
    }
    if (m_pOverlay->IsFolder(*host)) return;
    std::optional<std::string> bytes = m_pOverlay->ReadFile(*host);
    ini::CIniFile file = bytes ? ini::CIniFile::FromText(*bytes) : ini::CIniFile();
    if (file.SetValue(strSection, strKey, strValue)) m_pOverlay->PutFile(*host, file.Text());
}

std::string CHost_Proxy::WindowsFolderNoSlash() {
    std::string folder = m_target.WindowsFolder();
    if (folder.size() == 3 && HasDrive(folder) && IsSeparator(folder[2])) folder.pop_back();
    return folder;
}

std::string CHost_Proxy::GetWinDir() {
    return WindowsFolderNoSlash();
}

std::string CHost_Proxy::GetSysDir() {
    std::string windir = WindowsFolderNoSlash();
    return windir.empty() ? std::string() : windir + "\\system32";
}

std::string CHost_Proxy::ExpandSpecialPath(const std::string& strPath) {
    std::string path = strPath;
    size_t position = 0;
    while (true) {
        size_t open = path.find('<', position);
        if (open == std::string::npos) break;
        size_t close = path.find('>', open + 1);
        if (close == std::string::npos) break;
        const std::string token = path.substr(open, close - open + 1);
        std::string replacement;
        if (text::EqualsNoCaseUtf8(token, "<windir>")) {
            replacement = GetWinDir();
        } else if (text::EqualsNoCaseUtf8(token, "<sysdir>")) {
            replacement = GetSysDir();
        } else if (text::EqualsNoCaseUtf8(token, "<appdir>")) {
            std::string folder = ProgramFolder();
            replacement = m_target.ToWindowsPath(folder).value_or(folder);
        }
        for (size_t at = open; at != std::string::npos;
             at = path.find(token, at + replacement.size()))
            path.replace(at, token.size(), replacement);
        // Resuming after the replacement keeps a folder name holding "<" from being read
        // as a token again, which could otherwise grow the text without end.
        position = open + replacement.size();
    }
    return m_target.ExpandEnvironmentStrings(path);
}

int CHost_Proxy::DriveTypeOf(const std::string& rootPath) {
    std::string root = rootPath.empty() ? WindowsFolderNoSlash().substr(0, 2) : rootPath;
    if (!HasDrive(root) || root.size() > 3 || (root.size() == 3 && !IsSeparator(root[2])))
        return files::DRIVE_NO_ROOT_DIR;
    std::optional<std::string> folder = m_target.Drives().HostFolder(root[0]);
    if (!folder) return files::DRIVE_NO_ROOT_DIR;

    // A type chosen in winecfg is what Wine reports for the letter.
    reg::CRegistry& registry = m_target.Registry();
    reg::HKEY drives = nullptr;
    if (registry.RegOpenKeyExA(reg::HKEY_LOCAL_MACHINE, "Software\\Wine\\Drives", 0, reg::KEY_READ,
                               &drives) == reg::ERROR_SUCCESS) {
        char name[3] = {static_cast<char>(text::ToLower(static_cast<char16_t>(root[0]))), ':',
                        '\0'};
        char value[32] = {};
        reg::DWORD type = 0;
        reg::DWORD size = sizeof value - 1;
        reg::LSTATUS status = registry.RegQueryValueExA(drives, name, nullptr, &type,
                                                        reinterpret_cast<reg::BYTE*>(value), &size);
        registry.RegCloseKey(drives);
        if (status == reg::ERROR_SUCCESS && type == reg::REG_SZ) {
            int wineType = WineDriveTypeName(std::string(value, ::strnlen(value, size)));
            if (wineType >= 0) return wineType;
        }
    }

    // The target's own drive folders are its hard disk.
    const std::string& targetFolder = m_target.Folder();
    if (*folder == targetFolder || folder->rfind(targetFolder + "/", 0) == 0)
        return files::DRIVE_FIXED;
    int type = files::GetDriveType(*folder);
    // Wine sees a memory file system as an ordinary disk; only winecfg makes a RAM disk.
    return type == files::DRIVE_RAMDISK ? files::DRIVE_FIXED : type;
}

vbs::Variant CHost_Proxy::RunFunction(const std::string& strFunc, const vbs::Variant& strArg) {
    if (!text::EqualsNoCaseUtf8(strFunc, "GetDriveType")) return {};
    vbs::VString argument;
    if (!vbs::ToString(strArg, argument).IsOk()) return {};
    return vbs::Variant(static_cast<int32_t>(DriveTypeOf(text::Utf16ToUtf8(argument.View()))));
}

} // namespace cva::script
