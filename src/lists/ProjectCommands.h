#pragma once

class QAction;
class QWidget;

namespace meridell::app {
class AppContext;
}

namespace meridell::lists {

// The commands both list pages offer on the current project of the project query.

// Opens the record form in edit mode on the current project.
void editCurrentProject(app::AppContext& context);

// Asks "确实要删除该项目吗？" with the project's name, leader and unit below; on Yes deletes the current
// project with its prior-project and staff rows, all or nothing. Any other answer changes nothing.
void deleteCurrentProject(app::AppContext& context);

// Keeps a menu entry disabled while `page` is shown, so the two list pages never stand side by side.
void disableWhileShown(QWidget* page, QAction* entry);

}  // namespace meridell::lists
