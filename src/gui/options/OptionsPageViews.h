#pragma once

class QWidget;

namespace cva::app {
class IUserPrompts;
}
namespace cva::logging {
class CActionLogger;
}
namespace cva::options {
class CFavoritesOrganizer;
class CFolderOptions;
class CLoggingOptions;
class CMiscOptions;
class CProfileOptions;
class CTargetOptions;
class CTreeOptions;
class CUserOptions;
}

// The pages of the options sheet as views over their models: every change goes straight
// into the model, which the sheet writes on OK.
namespace cva::gui {

QWidget* CreateLoggingPage(options::CLoggingOptions& model, logging::CActionLogger* logger, QWidget* parent);
QWidget* CreateFoldersPage(options::CFolderOptions& model, app::IUserPrompts& prompts, QWidget* parent);
QWidget* CreateFavoritesPage(options::CFavoritesOrganizer& model, app::IUserPrompts& prompts, QWidget* parent);
QWidget* CreateTreePage(options::CTreeOptions& model, QWidget* parent);
QWidget* CreateUserPage(options::CUserOptions& model, QWidget* parent);
QWidget* CreateMiscPage(options::CMiscOptions& model, app::IUserPrompts& prompts, QWidget* parent);
QWidget* CreateProfilePage(options::CProfileOptions& model, QWidget* parent);
QWidget* CreateTargetPage(options::CTargetOptions& model, app::IUserPrompts& prompts, QWidget* parent);

} // namespace cva::gui
