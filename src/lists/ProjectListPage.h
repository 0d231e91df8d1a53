#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QWidget>

namespace meridell::data {
class Dataset;
}
namespace meridell::record {
class RecordForm;
}
namespace meridell::session {
class ProjectSession;
}
namespace meridell::ui {
class Shell;
}
namespace meridell::word {
class DocumentCommands;
}

namespace meridell::lists {

class ProjectGrid;

// The project list page: every project of the project query, with new, edit and delete, and the
// two documents. While it is shown the menu entry "管理查询" is disabled.
class ProjectListPage : public QWidget {
    Q_OBJECT
public:
    ProjectListPage(ui::Shell& context, session::ProjectSession& session, record::RecordForm& form,
                    word::DocumentCommands& documents, QWidget* parent = nullptr);

    QLabel* Label1 = nullptr;  // the red notice
    QGroupBox* GroupBox1 = nullptr;
    ProjectGrid* DBGrid1 = nullptr;
    QPushButton* Button1 = nullptr;      // 申报新项目
    QPushButton* Button2 = nullptr;      // 编辑项目
    QPushButton* Button3 = nullptr;      // 删除项目
    QPushButton* Button4 = nullptr;      // 生成Word文档
    QPushButton* Button5 = nullptr;      // 生成项目列表
    QPushButton* Button6 = nullptr;      // 退出该页
    QPushButton* Button7 = nullptr;      // 生成PDF文档 (the design task book)
    QPushButton* Button8 = nullptr;      // 生成PDF文档 (the project list)
    QPushButton* Button9 = nullptr;      // 申报检查
    QPushButton* ExcelButton = nullptr;  // 导出Excel

    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void ExcelButtonClick();

protected:
    ui::Shell& context_;
    session::ProjectSession& session_;
    record::RecordForm& form_;
    word::DocumentCommands& documents_;

private:
    data::Dataset& projects() const;
    void buildNotice();
    void buildGrid();
    void buildButtons();
    // Edit, delete and the design task book need a current project.
    void updateRowButtons();
};

}  // namespace meridell::lists
