#pragma once

#include <QIcon>

namespace cva::gui {

// The tree images of the catalogue (folder, plugin, risky plugin, open folder).
QIcon TreeIcon(int image);
// The level pane's icon: a green, amber or red shield; null for no level.
QIcon LevelIcon(int level);
// The request pane's icon while a restart or log-off is pending.
QIcon RequestIcon();
// The program's icon: three sliders on a blue tile, drawn at any size it is asked for.
QIcon ProgramIcon();
// The profile pane's icon: a user.
QIcon ProfileIcon();
// A toolbar icon from the desktop theme, else a plain drawn one of the given colour.
QIcon ToolIcon(const char* themeName, Qt::GlobalColor fallback);

} // namespace cva::gui
