#pragma once

#include <QString>

#include <functional>

class QPushButton;
class QWidget;

namespace meridell::ui {

class Shell;

// A push button with `name` as its object name and `caption` as its visible and accessible label,
// whose click runs `handler` under the shell's standard error report.
QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption, const Shell& shell,
                         std::function<void()> handler);

}  // namespace meridell::ui
