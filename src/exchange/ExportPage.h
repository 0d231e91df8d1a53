#pragma once

#include "exchange/core/Export.h"

#include <QDialog>

class QFrame;
class QLabel;
class QPushButton;

namespace meridell::data {
class Databases;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::exchange {

class FolderChooser;

// The export page: hands the database in as project.zip on the floppy or in a chosen folder.
class ExportPage : public QDialog {
    Q_OBJECT
public:
    ExportPage(ui::Shell& context, data::Databases& databases, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* Label5 = nullptr;
    QFrame* Bevel1 = nullptr;
    QFrame* Bevel2 = nullptr;
    QPushButton* Button1 = nullptr;  // 导入软盘
    QPushButton* Button2 = nullptr;  // 选择路径
    QPushButton* Button3 = nullptr;  // 退出该页

    // Where the exports write; tests point the floppy at a temporary folder.
    ExportPlaces places;
    // The path chooser "选择路径" opens; set once it is made.
    FolderChooser* pathChooser = nullptr;

    // Messages and questions of an export, through the message service.
    Dialogue dialogue() const;

    void Button1Click();
    void Button2Click();
    void Button3Click();

private:
    void build();

    ui::Shell& context_;
    data::Databases& databases_;
};

}  // namespace meridell::exchange
