// Export Tweak: the registry keys and values a page works on, saved to a .reg file.
#include "core/app/ApplicationDlg.h"
#include "core/app/TweakExport.h"
#include "core/app/UserPrompts.h"
#include "platform/target/TargetSystem.h"

#include <filesystem>
#include <system_error>

namespace cva::app {

bool CApplicationDlg::ExportPlugin(const std::string& pluginPath, const std::string& filePath,
                                   std::string& why, size_t* keys, size_t* values) {
    std::optional<plugin::CPluginFile> file = plugin::CPluginFile::LoadPlugin(pluginPath, why);
    if (!file) return false;
    CTweakExport exporter(m_target.Registry(), m_hUserHive);
    const bool written = exporter.Export(*file, filePath, why);
    if (keys) *keys = exporter.KeyCount();
    if (values) *values = exporter.ValueCount();
    return written;
}

void CApplicationDlg::OnExportTweak() {
    if (!m_catalogue.IsValidIndex(m_nCurrentPlugin)) return;
    const std::string pluginPath = m_plugins[static_cast<size_t>(m_nCurrentPlugin)].path;
    std::optional<plugin::CPluginFile> file = OpenPluginFile(pluginPath, nullptr);
    if (!file) return;
    // Whichever of the two entries is chosen, the file is written in the form that
    // brings its content back exactly (REGEDIT4 while everything in it is ASCII).
    std::optional<std::string> chosen =
        m_prompts.PickSaveFile("Export Tweak", "Regedit4 Format|*.reg|Regedit5 Format|*.reg||",
                               CTweakExport::ProposedFileName(*file));
    if (!chosen || chosen->empty()) return;
    std::error_code ec;
    if (std::filesystem::file_size(*chosen, ec) > 0 && !ec &&
        m_prompts.MessageBox(*chosen + " already exists.\nAdd the settings of this page at its end?",
                             kAppTitle, MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    std::string why;
    size_t keys = 0;
    if (!ExportPlugin(pluginPath, *chosen, why, &keys))
        m_prompts.MessageBox("The settings of this page were not exported: " + why + ".", kAppTitle,
                             MB_OK | MB_ICONERROR);
    else if (keys == 0)
        m_prompts.MessageBox("None of the registry keys of this page exist yet; " + *chosen +
                                 " was left as it was.",
                             kAppTitle, MB_OK | MB_ICONINFORMATION);
}

} // namespace cva::app
