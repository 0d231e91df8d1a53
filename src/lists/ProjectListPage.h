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

    QLabel* noticeLabel = nullptr;  // the red notice
    QGroupBox* projectsBox = nullptr;
    ProjectGrid* projectGrid = nullptr;
    QPushButton* newProjectButton = nullptr;      // 申报新项目
    QPushButton* editProjectButton = nullptr;     // 编辑项目
    QPushButton* deleteProjectButton = nullptr;   // 删除项目
    QPushButton* taskBookButton = nullptr;        // 生成Word文档
    QPushButton* projectListButton = nullptr;     // 生成项目列表
    QPushButton* leavePageButton = nullptr;       // 退出该页
    QPushButton* taskBookPdfButton = nullptr;     // 生成任务书PDF
    QPushButton* projectListPdfButton = nullptr;  // 生成列表PDF
    QPushButton* handInCheckButton = nullptr;     // 申报检查
    QPushButton* excelExportButton = nullptr;     // 导出Excel

    void newProjectClicked();
    void editClicked();
    void deleteClicked();
    void taskBookClicked();
    void projectListClicked();
    void leavePageClicked();
    void taskBookPdfClicked();
    void projectListPdfClicked();
    void handInCheckClicked();
    void excelExportClicked();

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
