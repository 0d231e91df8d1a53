#pragma once

#include <QWidget>

namespace meridell::app {
class AppContext;
}

namespace meridell::lists {

// The project list page: all projects, with new, edit and delete.
class TApplyForm : public QWidget {
    Q_OBJECT
public:
    explicit TApplyForm(app::AppContext& context, QWidget* parent = nullptr);

protected:
    app::AppContext& context_;
};

}  // namespace meridell::lists
