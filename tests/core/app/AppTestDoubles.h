#pragma once

#include "core/app/ApplicationView.h"
#include "core/app/UserPrompts.h"
#include "core/pages/PropertyPageBase.h"
#include "core/script/HostOwner.h"

#include <deque>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace cva::testdoubles {

// Answers message boxes and input boxes from queues (IDOK / cancelled when empty) and
// records what was asked.
class CRecordingPrompts : public app::IUserPrompts {
public:
    struct SMessage {
        std::string text;
        std::string caption;
        unsigned int style = 0;
    };

    int MessageBox(const std::string& text, const std::string& caption,
                   unsigned int style) override {
        messages.push_back({text, caption, style});
        if (answers.empty()) return app::IDOK;
        int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::optional<app::SInputBoxResult> InputBox(const app::SInputBoxRequest& request) override {
        inputRequests.push_back(request);
        if (inputAnswers.empty()) return std::nullopt;
        auto answer = inputAnswers.front();
        inputAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> PickFile(const std::string&, const std::string&,
                                        const std::string&) override {
        return std::nullopt;
    }
    std::optional<std::string> PickFolder(const std::string&, const std::string&) override {
        return std::nullopt;
    }

    std::vector<SMessage> messages;
    std::deque<int> answers;
    std::vector<app::SInputBoxRequest> inputRequests;
    std::deque<std::optional<app::SInputBoxResult>> inputAnswers;
};

class CRecordingView : public app::IApplicationView {
public:
    void SetStatusText(app::EStatusPane pane, const std::string& text) override {
        if (pane == app::EStatusPane::Message) statusTexts.push_back(text);
        if (pane == app::EStatusPane::Profile) profile = text;
    }
    void SetHeaderText(const std::string& text) override { header = text; }
    void SetLevelIndicator(int value) override { level = value; }
    void ShowAlert(const std::string& title, const std::string& text) override {
        alerts.emplace_back(title, text);
    }
    void ShowPage(int pageIndex) override { shownPages.push_back(pageIndex); }
    void SetListCheckBoxes(bool on) override { listCheckBoxes = on; }
    void RequestQuit() override { ++quitRequests; }

    std::vector<std::string> statusTexts;
    std::string profile;
    std::string header;
    int level = -2;
    std::vector<std::pair<std::string, std::string>> alerts;
    std::vector<int> shownPages;
    std::optional<bool> listCheckBoxes;
    int quitRequests = 0;
};

// A page that keeps what the script sets, item by item, and counts its life cycle.
class CRecordingPage : public pages::CPropertyPageBase {
public:
    explicit CRecordingPage(int index) : m_index(index) {}
    int PageIndex() const override { return m_index; }

    void LoadItems(const std::string& pluginFile) override {
        CPropertyPageBase::LoadItems(pluginFile);
        ++loadItemsCalls;
    }
    void AfterInit() override { ++afterInitCalls; }
    void SetItemText(int index, const std::string& text) override { texts[index] = text; }
    std::string GetItemText(int index) override { return texts[index]; }
    void CheckItem(int index, int check) override { checks[index] = check; }
    int IsItemChecked(int index) override { return checks[index]; }
    int GetItemCount() override { return itemCount; }
    void EnableItem(int index, int enable) override { enabled[index] = enable; }
    void SetItemTextEx(int index, int subindex, const std::string& text) override {
        subTexts[{index, subindex}] = text;
    }
    std::string GetItemTextEx(int index, int subindex) override {
        return subTexts[{index, subindex}];
    }
    void SetItemData(int index, int data) override { datas[index] = data; }
    int GetItemData(int index) override { return datas[index]; }
    void SetCurSel(int index, int value) override { selections[index] = value; }
    int GetCurSel(int index) override { return selections.count(index) ? selections[index] : -7; }

    int m_index;
    int loadItemsCalls = 0;
    int afterInitCalls = 0;
    int itemCount = 0;
    std::map<int, std::string> texts;
    std::map<int, int> checks;
    std::map<int, int> enabled;
    std::map<std::pair<int, int>, std::string> subTexts;
    std::map<int, int> datas;
    std::map<int, int> selections;
};

// The main window as the host object sees it: a page that tests swap, the prompts above
// and counted session requests.
class CRecordingOwner : public script::IHostOwner {
public:
    pages::CPropertyPageBase* CurrentPage() override { return page; }
    reg::HKEY UserHive() override { return nullptr; }
    app::IUserPrompts& Prompts() override { return prompts; }
    void PostQuit() override { ++quits; }
    void AddRestartRequest() override { ++restarts; }
    void AddLogoffRequest() override { ++logoffs; }

    pages::CPropertyPageBase* page = nullptr;
    CRecordingPrompts prompts;
    int quits = 0;
    int restarts = 0;
    int logoffs = 0;
};

} // namespace cva::testdoubles
