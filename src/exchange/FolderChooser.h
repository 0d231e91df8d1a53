#pragma once

#include "exchange/ComputerTreeModel.h"

#include <QDialog>

#include <functional>

class QLabel;
class QPushButton;
class QTreeView;

namespace meridell::data {
class Databases;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::exchange {

class ExportPage;

// The path chooser: the folder the folder export writes project.zip to. Accepted means "leave the
// export" (退出 or 完成), rejected "back to the export page" (上一步).
class FolderChooser : public QDialog {
    Q_OBJECT
public:
    // `page` is the export page whose places and messages the folder export uses.
    FolderChooser(ui::Shell& context, data::Databases& databases, const ExportPage& page,
                  QWidget* parent = nullptr);

    QLabel* promptLabel = nullptr;
    QTreeView* folderTree = nullptr;
    QPushButton* backButton = nullptr;   // 上一步
    QPushButton* nextButton = nullptr;   // 下一步
    QPushButton* closeButton = nullptr;  // 退出 / 完成
    ComputerTreeModel* model() const { return model_; }

    // The places under the root, read again each time the chooser opens; tests give their own.
    std::function<QList<ComputerTreeModel::Place>()> places = &ComputerTreeModel::machinePlaces;

    // Puts the chooser in its opening state: the places read afresh, "下一步" disabled, "退出".
    void prepare();
    // Whether the chooser is finished: an export succeeded, "完成" shown.
    bool isFinished() const;

    void backClicked();
    void nextClicked();
    void closeClicked();
    void folderSelected();

private:
    void build();

    ui::Shell& context_;
    data::Databases& databases_;
    const ExportPage& page_;
    ComputerTreeModel* model_ = nullptr;
};

}  // namespace meridell::exchange
