#pragma once

namespace cva::settings {
class CSettingsStore;
}

namespace cva::options {

// The "User" page: the user level, 0 "Default/Normal", 1 "Expert".
class CUserOptions {
public:
    explicit CUserOptions(settings::CSettingsStore& settings) : m_settings(settings) {}

    void Open();
    // Nothing is written while neither button is chosen (-1).
    void Write();

    int m_nUserMode = -1;

private:
    settings::CSettingsStore& m_settings;
};

} // namespace cva::options
