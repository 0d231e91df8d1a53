#pragma once

#include "data/Dataset.h"

#include <QWidget>

namespace meridell::app {
class AppContext;
}

namespace meridell::record {

// The project record form: one project over thirteen pages, docked into the main window.
class TInformationForm : public QWidget {
    Q_OBJECT
public:
    explicit TInformationForm(app::AppContext& context, QWidget* parent = nullptr);
    ~TInformationForm() override;

    // The project query (table1), whose current row is the current project, and the rows of
    // that project in table2 and table3.
    data::Dataset ADOQuery1{"ADOQuery1"};
    data::Dataset ADOQuery2{"ADOQuery2"};
    data::Dataset ADOQuery3{"ADOQuery3"};

protected:
    app::AppContext& context_;
};

}  // namespace meridell::record
