#pragma once

#include "exchange/core/BatchImport.h"

#include <QDialog>

class QLabel;
class QPushButton;
class QTreeWidget;

namespace meridell::ui {
class Shell;
}

namespace meridell::exchange {

// The report of a batch import: a line per archive with what was taken, refused or why it
// failed, the refused projects beneath their archive, and a button that saves it all as a
// spreadsheet. Shown modal through the message service.
class ImportReportWindow : public QDialog {
    Q_OBJECT
public:
    ImportReportWindow(ui::Shell& context, BatchReport report, QWidget* parent = nullptr);

    QLabel* summaryLabel = nullptr;
    QTreeWidget* reportTree = nullptr;   // archives, refused projects beneath
    QPushButton* saveButton = nullptr;   // 保存为电子表格
    QPushButton* closeButton = nullptr;  // 关闭

    const BatchReport& report() const { return report_; }

    void saveClicked();

private:
    void fillTree();

    ui::Shell& context_;
    BatchReport report_;
};

}  // namespace meridell::exchange
