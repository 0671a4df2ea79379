#pragma once

#include "core/app/UserPrompts.h"
#include "core/pages/PageOwner.h"
#include "core/pages/PageView.h"
#include "support/TempDir.h"

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace cva::test {

// Answers pickers from queued results and records what was asked.
class CPromptsDouble : public app::IUserPrompts {
public:
    int MessageBox(const std::string& text, const std::string&, unsigned int style) override {
        m_messages.push_back(text);
        m_styles.push_back(style);
        return m_answer;
    }
    std::optional<app::SInputBoxResult> InputBox(const app::SInputBoxRequest&) override {
        return std::nullopt;
    }
    std::optional<std::string> PickFile(const std::string&, const std::string& filter,
                                        const std::string&) override {
        m_filters.push_back(filter);
        return m_file;
    }
    std::optional<std::string> PickFolder(const std::string&, const std::string&) override {
        ++m_folderPicks;
        return m_folder;
    }

    int m_answer = app::IDYES;
    std::vector<std::string> m_messages;
    std::vector<unsigned int> m_styles;
    std::vector<std::string> m_filters;
    int m_folderPicks = 0;
    std::optional<std::string> m_file;
    std::optional<std::string> m_folder;
};

// Records every routine call as "Name(a,b)" and every after-apply step as "Recorded";
// a hook stands in for the script's own work inside a routine.
class COwnerDouble : public pages::IPageOwner {
public:
    bool ConfirmApply() override {
        m_log.push_back("Confirm");
        return m_confirm;
    }
    void CallRoutine(const std::string& name, const std::vector<int32_t>& args) override {
        std::string call = name + "(";
        for (size_t i = 0; i < args.size(); ++i) call += (i ? "," : "") + std::to_string(args[i]);
        m_log.push_back(call + ")");
        if (m_onRoutine) m_onRoutine(name);
    }
    void RecordApplied() override { m_log.push_back("Recorded"); }
    app::IUserPrompts* Prompts() override { return &m_prompts; }
    std::optional<int> FindCatalogueEntry(const std::string& fileName) override {
        auto found = m_catalogue.find(fileName);
        if (found == m_catalogue.end()) return std::nullopt;
        return found->second;
    }
    void OpenCatalogueEntry(int index) override { m_log.push_back("Open(" + std::to_string(index) + ")"); }

    bool m_confirm = true;
    std::vector<std::string> m_log;
    std::function<void(const std::string&)> m_onRoutine;
    CPromptsDouble m_prompts;
    std::map<std::string, int> m_catalogue;
};

// Records what the page told its view.
class CViewDouble : public pages::IPageView {
public:
    void ItemChanged(int index, pages::EItemChange change) override { m_items.push_back({index, change}); }
    void ApplyEnabledChanged(bool enabled) override { m_apply.push_back(enabled); }
    void PageEnabledChanged(bool enabled) override { m_pageEnabled.push_back(enabled); }

    std::vector<std::pair<int, pages::EItemChange>> m_items;
    std::vector<bool> m_apply;
    std::vector<bool> m_pageEnabled;
};

// A plugin file with an "interface" section of the given lines.
inline std::string WritePlugin(const CTempDir& dir, const std::string& name,
                               const std::string& interfaceLines, const std::string& type = "") {
    std::string text = "[settings]\r\ncaption=" + name + "\r\n";
    if (!type.empty()) text += "type=" + type + "\r\n";
    text += "[interface]\r\n" + interfaceLines;
    std::string path = dir.File(name);
    WriteAll(path, text);
    return path;
}

} // namespace cva::test
