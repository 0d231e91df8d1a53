#pragma once

#include <QDialog>

namespace meridell::app {
class AppContext;
}

namespace meridell::exchange {

// The import progress window.
class TProgressBarForm : public QDialog {
    Q_OBJECT
public:
    explicit TProgressBarForm(app::AppContext& context, QWidget* parent = nullptr);

protected:
    app::AppContext& context_;
};

}  // namespace meridell::exchange
