#pragma once

#include <QString>

#include <functional>

class QPushButton;
class QWidget;

namespace meridell::ui {

class Shell;

// Runs a piece of work under the standard error report (Shell::guard, or a test's stand-in).
using Guard = std::function<void(const std::function<void()>&)>;

// A push button with `name` as its object name and `caption` as its visible and accessible label,
// whose click runs `handler` under the shell's standard error report.
QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption, const Shell& shell,
                         std::function<void()> handler);
// The same, for a part built without the shell: its click runs `handler` under `guard`.
QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption, Guard guard,
                         std::function<void()> handler);

}  // namespace meridell::ui
