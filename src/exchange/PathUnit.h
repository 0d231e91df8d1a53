#pragma once

#include <QDialog>

namespace meridell::app {
class AppContext;
}

namespace meridell::exchange {

// The path chooser: the folder an export is written to.
class TPathForm : public QDialog {
    Q_OBJECT
public:
    explicit TPathForm(app::AppContext& context, QWidget* parent = nullptr);

protected:
    app::AppContext& context_;
};

}  // namespace meridell::exchange
