// Running a page's Apply against an overlay of the target, to show what it would change.
#include "core/app/ApplicationDlg.h"

#include "core/journal/ChangeRecorder.h"
#include "core/journal/FileOverlay.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"

namespace cva::app {

struct CApplicationDlg::SPreview {
    journal::CChangeRecorder m_recorder;
    journal::CFileOverlay m_overlay;
};

void CApplicationDlg::BeginPreview() {
    if (m_pPreview) return;
    m_pPreview = std::make_shared<SPreview>();
    m_pPreview->m_recorder.SetOverlay(&m_pPreview->m_overlay);
    m_target.BeginPreview();
}

journal::SJournalEntry CApplicationDlg::EndPreview() {
    if (!m_pPreview) return {};
    // The after-states are read while the overlay still holds them.
    journal::SJournalEntry entry = m_pPreview->m_recorder.Finish(m_target.Registry());
    m_pPreview.reset();
    m_target.EndPreview();
    const pages::CPropertyPageBase* page = CurrentPage();
    entry.m_plugin = page ? plugin::PluginFileName(page->PluginFile()) : std::string();
    entry.m_target = target::FormatRegistrySpec(m_target.Spec());
    entry.m_profile = ProfileEntryName();
    return entry;
}

uint32_t CApplicationDlg::CallPreviewed(const std::string& name, std::span<const vbs::Variant> args) {
    uint32_t result = 0;
    {
        journal::CRecordingScope scope(m_target.Registry(), m_pPreview->m_recorder);
        m_pHost->SetChangeRecorder(&m_pPreview->m_recorder);
        m_pHost->SetFileOverlay(&m_pPreview->m_overlay);
        result = m_pHost->CallRoutine(text::Utf8ToUtf16(name), args);
        if (m_pHost) {
            m_pHost->SetChangeRecorder(nullptr);
            m_pHost->SetFileOverlay(nullptr);
        }
    }
    m_strWriteFailure = m_pHost ? m_pHost->LastSaveFailure() : std::string();
    return result;
}

std::optional<CApplicationDlg::SPreviewResult> CApplicationDlg::PreviewApply() {
    pages::CPropertyPageBase* page = CurrentPage();
    if (!page || !page->HasApplyButton() || !page->IsApplyEnabled() || IsPreviewing()) return std::nullopt;
    const int errors = m_nScriptErrors;
    BeginPreview();
    page->ClickPreview();
    SPreviewResult result;
    result.m_changes = journal::DiffOf(EndPreview());
    if (m_nScriptErrors > errors)
        result.m_error = m_pHost ? m_pHost->LastScriptError() : std::string("the script failed");
    else if (!m_strWriteFailure.empty())
        result.m_error = "the changes could not be written: " + m_strWriteFailure;
    m_strWriteFailure.clear();
    return result;
}

} // namespace cva::app
