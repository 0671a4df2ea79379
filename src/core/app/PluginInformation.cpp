#include "core/app/PluginInformation.h"

#include "core/app/Maker.h"
#include "core/plugin/PluginFile.h"
#include "platform/files/FileAttributes.h"
#include "platform/ini/IniFile.h"

#include <cstdio>
#include <optional>
#include <utility>

#include <unistd.h>

namespace cva::app {

namespace {

constexpr const char* kSettings = "settings";
constexpr const char* kGroup = "GROUP";

} // namespace

CPluginInformation::CPluginInformation(std::string path) : m_strPath(std::move(path)) {
    const plugin::CPluginFile file = plugin::CPluginFile::Load(m_strPath).value_or(plugin::CPluginFile());
    m_strAuthor = AuthorMarkup(file.GetString(kSettings, "author", "null"));
    m_bPopular = (file.GetInt(kSettings, kGroup, 0) & kPopularBit) != 0;
}

std::string CPluginInformation::AuthorMarkup(const std::string& author) {
    if (!author.empty() && author != "null") return author;
    return std::string(kMakerName) + "  <a href = \"" + kMakerWebsite + "\"><font color = \"blue\"><u>" +
           kMakerWebsite + "</u></font></a>";
}

bool CPluginInformation::SetPopular(bool popular, std::string& why) {
    const uint32_t attributes = files::GetFileAttributes(m_strPath);
    if (attributes == files::INVALID_FILE_ATTRIBUTES) {
        why = "The plugin file " + m_strPath + " no longer exists.";
        return false;
    }
    // The file is replaced through a new file beside it, which a read-only mark alone
    // would not stop; the mark is the user's word that the file stays as it is.
    if ((attributes & files::FILE_ATTRIBUTE_READONLY) != 0 || ::access(m_strPath.c_str(), W_OK) != 0) {
        why = "The plugin file " + m_strPath + " is read-only; its Popular mark stays as it was.";
        return false;
    }
    std::optional<ini::CIniFile> file = ini::CIniFile::Load(m_strPath);
    if (!file) {
        why = "The plugin file " + m_strPath + " cannot be read.";
        return false;
    }
    int group = file->GetInt(kSettings, kGroup, 0);
    group = popular ? (group | kPopularBit) : (group & ~kPopularBit);
    char text[16];
    std::snprintf(text, sizeof text, "%d", group);
    if (!file->SetValue(kSettings, kGroup, text) || !file->Save(m_strPath)) {
        why = "The plugin file " + m_strPath + " cannot be written; its Popular mark stays as it was.";
        return false;
    }
    m_bPopular = popular;
    return true;
}

} // namespace cva::app
