#pragma once

namespace cva::app {
class IUserPrompts;
}
namespace cva::settings {
class CSettingsStore;
}

namespace cva::options {

// The "Misc" page: where files that plugins delete go, and the two confirmations, which
// only an expert may switch off.
class CMiscOptions {
public:
    explicit CMiscOptions(settings::CSettingsStore& settings) : m_settings(settings) {}

    void Open();
    // A click on a confirmation box (box 0 the warnings, 1 the apply question) that left
    // it `checked`. Unless both stay checked or the stored user level is Expert, both are
    // checked again and the user is told why. Returns false when the click was undone.
    bool SetConfirmation(int box, bool checked, app::IUserPrompts& prompts);
    void Write();
    int Option5() const;

    bool m_bWarnings = true;
    bool m_bConfirmApply = true;
    int m_nRecycle = -1; // 1 "Send to the Recycle Bin", 0 "Permanently delete", -1 neither

private:
    settings::CSettingsStore& m_settings;
};

} // namespace cva::options
