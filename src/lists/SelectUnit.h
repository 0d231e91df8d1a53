#pragma once

#include <QWidget>

namespace meridell::app {
class AppContext;
}

namespace meridell::lists {

// The management query page: finds projects by ten criteria.
class TSelectForm : public QWidget {
    Q_OBJECT
public:
    explicit TSelectForm(app::AppContext& context, QWidget* parent = nullptr);

    // After the menu docked the page on all projects: the result title with the count n of all
    // projects, every criterion cleared and its input disabled.
    void showAllProjects(int n);

protected:
    app::AppContext& context_;
};

}  // namespace meridell::lists
