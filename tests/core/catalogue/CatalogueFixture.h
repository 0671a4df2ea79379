#pragma once

#include "core/app/PluginCatalogue.h"
#include "platform/common/TempFolder.h"
#include "platform/settings/SettingsStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace cva::test {

struct SPluginSpec {
    SPluginSpec(std::string category_, int level_ = -1, std::string osVersion_ = {},
                int group_ = -1, std::string caption_ = {})
        : category(std::move(category_)), level(level_), osVersion(std::move(osVersion_)),
          group(group_), caption(std::move(caption_)) {}
    std::string category;
    int level = -1;             // -1: no LEVEL key
    std::string osVersion;      // empty: no OSVERSION key
    int group = -1;             // -1: no GROUP key
    std::string caption;        // empty: no caption key
};

// A plugin folder and a profile folder the tests fill, with the settings that name them.
class CatalogueFixture : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(m_temp / "plugins");
        std::filesystem::create_directories(m_temp / "profile");
        m_settings = std::make_unique<settings::CSettingsStore>(m_temp / "config");
        m_settings->WriteProfileString("Settings", "PluginDir", (m_temp / "plugins/").c_str());
        m_settings->WriteProfileString("Settings", "ProfileDir", (m_temp / "profile").c_str());
    }

    std::string PluginPath(const std::string& name) const { return m_temp / ("plugins/" + name); }

    void WritePlugin(const std::string& name, const SPluginSpec& spec) {
        std::ofstream out(PluginPath(name), std::ios::binary);
        out << "[settings]\r\n";
        if (!spec.caption.empty()) out << "caption=" << spec.caption << "\r\n";
        out << "category=" << spec.category << "\r\n";
        if (spec.level >= 0) out << "LEVEL=" << spec.level << "\r\n";
        if (!spec.osVersion.empty()) out << "OSVERSION=" << spec.osVersion << "\r\n";
        if (spec.group >= 0) out << "GROUP=" << spec.group << "\r\n";
        out << "[interface]\r\ntype=check\r\nText0=Option\r\n[script]\r\n"
               "Sub OnInit\r\nEnd Sub\r\n";
    }

    void WriteProfileFile(const std::string& name, const std::string& text) {
        std::ofstream(m_temp / ("profile/" + name), std::ios::binary) << text;
    }
    std::string ReadProfileFile(const std::string& name) const {
        std::ifstream in(m_temp / ("profile/" + name), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    int Setting(const char* name, int defaultValue) {
        return static_cast<int>(m_settings->GetProfileInt("Settings", name, defaultValue));
    }

    // The item of `tree` reached through `texts` from the top, or kNoItem.
    static app::HTREEITEM Find(const app::CCatalogueTree& tree, std::initializer_list<std::string> texts) {
        app::HTREEITEM at = app::kTreeRoot;
        for (const std::string& text : texts) {
            app::HTREEITEM next = app::kNoItem;
            for (app::HTREEITEM child : tree.Children(at))
                if (tree.GetItemText(child) == text) { next = child; break; }
            if (next == app::kNoItem) return app::kNoItem;
            at = next;
        }
        return at;
    }

    CTempFolder m_temp;
    std::unique_ptr<settings::CSettingsStore> m_settings;
};

} // namespace cva::test
