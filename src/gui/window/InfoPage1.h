#pragma once

#include "core/app/PluginInformation.h"

#include <QWidget>

#include <string>

class QCheckBox;
class QPlainTextEdit;

namespace cva::app {
class IUserPrompts;
}

namespace cva::gui {

class CHTMLStatic;

// "General", the page of the plugin information sheet: the plugin file, its author and
// the "Popular" mark, which is written into the plugin file as soon as it changes.
class CInfoPage1 : public QWidget {
public:
    CInfoPage1(const std::string& pluginPath, app::IUserPrompts& prompts, QWidget* parent);

    QPlainTextEdit* FileField() const { return m_pFile; }
    CHTMLStatic* Author() const { return m_pAuthor; }
    QCheckBox* Popular() const { return m_pPopular; }

private:
    void OnPopularClicked(bool checked);

    app::CPluginInformation m_info;
    app::IUserPrompts& m_prompts;
    QPlainTextEdit* m_pFile;
    CHTMLStatic* m_pAuthor;
    QCheckBox* m_pPopular;
};

} // namespace cva::gui
