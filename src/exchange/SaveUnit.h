#pragma once

#include <QDialog>

namespace meridell::app {
class AppContext;
}

namespace meridell::exchange {

// The export page: hands the database in as project.zip.
class TSaveForm : public QDialog {
    Q_OBJECT
public:
    explicit TSaveForm(app::AppContext& context, QWidget* parent = nullptr);

protected:
    app::AppContext& context_;
};

}  // namespace meridell::exchange
