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

    // The two lines on the floppy, the three on a folder; the last of each leads to its button.
    QLabel* floppyTextLabel = nullptr;
    QLabel* floppyPromptLabel = nullptr;
    QLabel* folderTextLabel = nullptr;
    QLabel* folderTextContinuedLabel = nullptr;
    QLabel* folderPromptLabel = nullptr;
    QFrame* floppyRule = nullptr;
    QFrame* folderRule = nullptr;
    QPushButton* floppyButton = nullptr;      // 导入软盘
    QPushButton* choosePathButton = nullptr;  // 选择路径
    QPushButton* closeButton = nullptr;       // 退出该页

    // Where the exports write; tests point the floppy at a temporary folder.
    ExportPlaces places;
    // The path chooser "选择路径" opens; set once it is made.
    FolderChooser* pathChooser = nullptr;

    // Messages and questions of an export, through the message service.
    Dialogue dialogue() const;

    void floppyClicked();
    void choosePathClicked();
    void closeClicked();

private:
    void build();

    ui::Shell& context_;
    data::Databases& databases_;
};

}  // namespace meridell::exchange
