#pragma once

namespace cva::settings {
class CSettingsStore;
}

namespace cva::options {

// The "Tree" page: the two style bits of the category trees.
class CTreeOptions {
public:
    explicit CTreeOptions(settings::CSettingsStore& settings) : m_settings(settings) {}

    // The stored "TreeStyle", for the trees themselves.
    static int StoredStyle(settings::CSettingsStore& settings);

    void Open();
    void Write();
    int Style() const;

    bool m_bSingleExpand = true;
    bool m_bSingleClick = true;

private:
    settings::CSettingsStore& m_settings;
};

} // namespace cva::options
