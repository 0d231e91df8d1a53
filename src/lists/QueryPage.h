#pragma once

#include "lists/core/QueryCriteria.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>
#include <QWidget>

#include <array>

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
namespace meridell::statistics {
class StatisticsWindow;
}

namespace meridell::lists {

class ProjectGrid;

// The management query page: finds projects by any combination of ten criteria and shows them with
// their number and share of all projects. While it is shown the menu entry "项目申报" is disabled.
class QueryPage : public QWidget {
    Q_OBJECT
public:
    static constexpr int kCriteria = 10;

    QueryPage(ui::Shell& context, session::ProjectSession& session, record::RecordForm& form,
              word::DocumentCommands& documents, QWidget* parent = nullptr);

    // After the menu docked the page on all projects: the result title with the count n of all
    // projects, every criterion cleared and its input disabled.
    void showAllProjects(int n);

    QGroupBox* criteriaBox = nullptr;  // 查询条件
    QLabel* hintLabel = nullptr;       // the hint
    // Criterion rows in criterion order: the check box "<field>Check" and its input, a QLineEdit
    // "<field>Edit" for free text or a QComboBox "<field>Choice" for a pick list.
    std::array<QCheckBox*, kCriteria> criterionChecks{};
    std::array<QWidget*, kCriteria> criterionInputs{};
    QPushButton* runQueryButton = nullptr;   // 查  询, the default button
    QPushButton* leavePageButton = nullptr;  // 退出该页

    QGroupBox* resultBox = nullptr;  // its title is the result caption
    ProjectGrid* resultGrid = nullptr;
    QWidget* navigator = nullptr;
    std::array<QToolButton*, 4> navigatorButtons{};  // first, previous, next, last
    QPushButton* editProjectButton = nullptr;        // 编辑该项目
    QPushButton* deleteProjectButton = nullptr;      // 删除该项目
    QPushButton* taskBookButton = nullptr;           // 生成Word文档
    QPushButton* projectListButton = nullptr;        // 生成项目列表
    QPushButton* taskBookPdfButton = nullptr;        // 生成任务书PDF
    QPushButton* projectListPdfButton = nullptr;     // 生成列表PDF
    QPushButton* allTaskBooksButton = nullptr;       // 生成全部设计任务书
    QPushButton* statisticsButton = nullptr;         // 统计分析
    QPushButton* excelExportButton = nullptr;        // 导出Excel
    // The statistics window, made at its first opening.
    statistics::StatisticsWindow* statisticsWindow = nullptr;

    // The text an input shows ("" for a pick list with no entry chosen).
    QString inputText(int criterion) const;

    void criterionToggled(int criterion);
    void runQueryClicked();
    void leavePageClicked();
    void editClicked();
    void deleteClicked();
    void taskBookClicked();
    void projectListClicked();
    void taskBookPdfClicked();
    void projectListPdfClicked();
    void allTaskBooksClicked();
    void statisticsClicked();
    void excelExportClicked();

protected:
    void keyPressEvent(QKeyEvent* event) override;

    ui::Shell& context_;
    session::ProjectSession& session_;
    record::RecordForm& form_;
    word::DocumentCommands& documents_;

private:
    int projectTotal();
    data::Dataset& projects() const;
    QWidget* buildCriteria();
    QWidget* buildCriterionInput(const CriterionDef& def);
    QWidget* buildResult();
    QWidget* buildNavigator();
    QPushButton* addButton(const char* name, const QString& caption, void (QueryPage::*handler)());
    void clearInput(int criterion);
    void fillYearLists();
    void updateRowButtons();
    void updateNavigator();
};

}  // namespace meridell::lists
