// The journal of what each script routine changed on the target, so that it can be
// taken back.
#include "core/app/ApplicationDlg.h"

#include "core/app/ApplyHistory.h"
#include "core/app/PresetHistory.h"
#include "core/journal/ChangeRecorder.h"
#include "core/journal/JournalStore.h"
#include "core/journal/JournalUndo.h"
#include "platform/target/TargetSystem.h"
#include "platform/text/Unicode.h"

namespace cva::app {

namespace {

// What the page's Apply is given, taken before the routine can change the page, so that
// a preset can repeat it (`cva-cli preset save`).
std::vector<std::string> ApplyActions(const pages::CPropertyPageBase* page, const std::string& routine,
                                      std::span<const vbs::Variant> args) {
    std::vector<std::string> out;
    if (!page || routine != "OnApply") return out;
    auto number = [&](size_t i) { return i < args.size() ? static_cast<int>(args[i].AsLong()) : 0; };
    for (const SPresetAction& action : ActionsFromPage(page->Snapshot(), number(0), number(1)))
        out.push_back(FormatPresetAction(action));
    return out;
}

} // namespace

uint32_t CApplicationDlg::CallJournaled(const std::string& name, std::span<const vbs::Variant> args) {
    if (m_pPreview) return CallPreviewed(name, args);
    journal::CChangeRecorder recorder;
    std::vector<std::string> actions = ApplyActions(CurrentPage(), name, args);
    uint32_t result = 0;
    bool outer = false;
    {
        journal::CRecordingScope scope(m_target.Registry(), recorder);
        outer = scope.IsOuter();
        if (outer) m_pHost->SetChangeRecorder(&recorder);
        result = m_pHost->CallRoutine(text::Utf8ToUtf16(name), args);
        // The routine may have ended the host.
        if (outer && m_pHost) m_pHost->SetChangeRecorder(nullptr);
    }
    m_strWriteFailure = m_pHost ? m_pHost->LastSaveFailure() : std::string();
    // Changes that did not reach the target are nothing to take back.
    if (!outer || recorder.IsEmpty() || !m_strWriteFailure.empty()) return result;
    journal::SJournalEntry entry = recorder.Finish(m_target.Registry());
    const pages::CPropertyPageBase* page = CurrentPage();
    entry.m_plugin = page ? plugin::PluginFileName(page->PluginFile()) : std::string();
    entry.m_routine = name;
    entry.m_actions = std::move(actions);
    entry.m_target = target::FormatRegistrySpec(m_target.Spec());
    entry.m_profile = ProfileEntryName();
    m_strJournalFailure.clear();
    m_arrUndoWarnings = journal::UndoImpossible(entry);
    journal::CJournalStore(HistoryFolder(m_settings)).Add(entry, m_strJournalFailure);
    return result;
}

} // namespace cva::app
