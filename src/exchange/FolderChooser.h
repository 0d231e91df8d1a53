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

    QLabel* Label1 = nullptr;
    QTreeView* ShellTreeView1 = nullptr;
    QPushButton* Button1 = nullptr;  // 上一步
    QPushButton* Button2 = nullptr;  // 下一步
    QPushButton* Button3 = nullptr;  // 退出 / 完成
    ComputerTreeModel* model() const { return model_; }

    // The places under the root, read again each time the chooser opens; tests give their own.
    std::function<QList<ComputerTreeModel::Place>()> places = &ComputerTreeModel::machinePlaces;

    // Puts the chooser in its opening state: the places read afresh, "下一步" disabled, "退出".
    void prepare();
    // Whether the chooser is finished: an export succeeded, "完成" shown.
    bool isFinished() const;

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void ShellTreeView1Click();

private:
    void build();

    ui::Shell& context_;
    data::Databases& databases_;
    const ExportPage& page_;
    ComputerTreeModel* model_ = nullptr;
};

}  // namespace meridell::exchange
