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

    QGroupBox* GroupBox1 = nullptr;  // 查询条件
    QLabel* Label1 = nullptr;        // the hint
    // Criterion rows in statement order: CheckBox1..CheckBox10 and their inputs, a QLineEdit
    // (Edit1..Edit4) for free text or a QComboBox (ComboBox1..ComboBox6) for a pick list.
    std::array<QCheckBox*, kCriteria> CheckBoxes{};
    std::array<QWidget*, kCriteria> Inputs{};
    QPushButton* Button1 = nullptr;  // 查  询, the default button
    QPushButton* Button2 = nullptr;  // 退出该页

    QGroupBox* GroupBox2 = nullptr;  // its title is the result caption
    ProjectGrid* DBGrid1 = nullptr;
    QWidget* DBNavigator1 = nullptr;
    std::array<QToolButton*, 4> NavigatorButtons{};  // first, previous, next, last
    QPushButton* Button3 = nullptr;                  // 编辑该项目
    QPushButton* Button4 = nullptr;                  // 删除该项目
    QPushButton* Button5 = nullptr;                  // 生成Word文档
    QPushButton* Button6 = nullptr;                  // 生成项目列表
    QPushButton* Button7 = nullptr;                  // 生成PDF文档 (the design task book)
    QPushButton* Button8 = nullptr;                  // 生成PDF文档 (the project list)
    QPushButton* Button9 = nullptr;                  // 生成全部设计任务书
    QPushButton* Button10 = nullptr;                 // 统计分析
    QPushButton* ExcelButton = nullptr;              // 导出Excel
    // The statistics window, made at its first opening.
    statistics::StatisticsWindow* StatisticsForm = nullptr;

    // The text an input shows ("" for a pick list with no entry chosen).
    QString inputText(int criterion) const;

    void CheckBoxClick(int criterion);
    void Button1Click();
    void Button2Click();
    void Button3Click();
    void Button4Click();
    void Button5Click();
    void Button6Click();
    void Button7Click();
    void Button8Click();
    void Button9Click();
    void Button10Click();
    void ExcelButtonClick();

protected:
    void keyPressEvent(QKeyEvent* event) override;

    ui::Shell& context_;
    session::ProjectSession& session_;
    record::RecordForm& form_;
    word::DocumentCommands& documents_;

private:
    data::Dataset& projects() const;
    QWidget* buildCriteria();
    QWidget* buildCriterionInput(const CriterionDef& def, int& edits, int& combos);
    QWidget* buildResult();
    QWidget* buildNavigator();
    QPushButton* addButton(const char* name, const QString& caption, void (QueryPage::*handler)());
    void clearInput(int criterion);
    void fillYearLists();
    void updateRowButtons();
    void updateNavigator();
};

}  // namespace meridell::lists
