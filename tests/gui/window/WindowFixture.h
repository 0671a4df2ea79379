#pragma once

#include "core/app/AppCore.h"
#include "core/app/ApplicationDlg.h"
#include "core/app/UserPrompts.h"
#include "gui/window/ApplicationWindow.h"
#include "platform/settings/SettingsStore.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <QTreeWidgetItem>

#include <memory>
#include <string>
#include <vector>

namespace cva::test {

// Answers every question with a preset button and remembers what was asked.
class CRecordingPrompts : public app::IUserPrompts {
public:
    int MessageBox(const std::string& text, const std::string&, unsigned int) override {
        m_asked.push_back(text);
        return m_answer;
    }
    std::optional<app::SInputBoxResult> InputBox(const app::SInputBoxRequest&) override { return std::nullopt; }
    std::optional<std::string> PickFile(const std::string&, const std::string&, const std::string&) override {
        return m_openPath;
    }
    std::optional<std::string> PickFolder(const std::string&, const std::string&) override { return m_folder; }
    std::optional<std::string> PickSaveFile(const std::string&, const std::string&, const std::string& proposed) override {
        m_proposed = proposed;
        return m_savePath;
    }

    std::vector<std::string> m_asked;
    std::optional<std::string> m_folder; // what the folder browser picks
    std::optional<std::string> m_savePath; // what the save dialog answers; none: cancelled
    std::optional<std::string> m_openPath; // what the open dialog answers; none: cancelled
    std::string m_proposed;
    int m_answer = app::IDOK;
};

// A started program over a temporary plugin folder, settings and sandbox: the window
// shown, its catalogue built. Folders: "Alpha" (Basics: one, two; Extras: three) and
// "Beta" (Misc: four).
class WindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite();
    void SetUp() override;
    void TearDown() override;

    gui::CTreeCtrlEx* TreeOf(const QString& folderName, int* folderIndex = nullptr);
    QTreeWidgetItem* FindItem(gui::CTreeCtrlEx* tree, const QString& text);
    std::string OpenCaption();
    QString PaneText(const char* name);

    CTempDir m_dir;
    std::unique_ptr<settings::CSettingsStore> m_store;
    std::unique_ptr<app::CAppCore> m_core;
    CRecordingPrompts m_prompts;
    std::unique_ptr<app::CApplicationDlg> m_logic;
    std::unique_ptr<gui::CApplicationWindow> m_window;
};

} // namespace cva::test
