#pragma once

#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>
#include <QWidget>

#include <functional>

namespace meridell::data {
class Dataset;
class DatasetModel;
}  // namespace meridell::data

namespace meridell::record {

struct RowListLayout;

// One row list of the record form (the prior projects or the research staff): a hint, a grid of the
// project's rows and the three buttons "填写新条目", "保存条目" and "删除条目". The same class serves
// both lists, configured by a RowListLayout.
class RowListPage : public QWidget {
    Q_OBJECT
public:
    // Runs a piece of work: `runSaved` as one save of the record form (all or nothing), `guard`
    // under the program's error report.
    using Runner = std::function<void(const std::function<void()>&)>;

    // `rows` are the listed rows, `project` the query whose current row is their project.
    RowListPage(const RowListLayout& listLayout, data::Dataset& rows, const data::Dataset& project,
                Runner runSaved, Runner guard, QWidget* parent = nullptr);

    const RowListLayout& listLayout() const { return listLayout_; }
    data::Dataset& rows() const { return rows_; }
    QTableView* grid() const { return grid_; }
    QPushButton* newButton() const { return buttons_[0]; }     // 填写新条目
    QPushButton* saveButton() const { return buttons_[1]; }    // 保存条目
    QPushButton* deleteButton() const { return buttons_[2]; }  // 删除条目

    // Whether the rows can be typed into and the buttons used.
    void setEditable(bool editable);
    bool isEditable() const;

    // The row buttons, each run under the guard when clicked. Storing drops a row appended and left
    // untouched, gives the current row the project's key, then stamps the key into every listed row;
    // "填写新条目" then appends a row to type into.
    void storeRows(bool appendRow);
    void removeCurrentRow();

    // While a pause lasts the grid does not follow the rows' current row; when the last one ends it
    // shows where the rows stand. A save passes every listed row and shows only where it ends.
    class Pause {
    public:
        explicit Pause(RowListPage& page) : page_(page) { ++page_.paused_; }
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        RowListPage& page_;
    };

protected:
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildGrid();
    void setUpEditor(QLineEdit* editor, int column);
    void fitColumns();
    void buildButtons(QVBoxLayout* layout);
    void followCurrentRow();
    void showCurrentRow();
    void updateDeleteButton();

    const RowListLayout& listLayout_;
    data::Dataset& rows_;
    const data::Dataset& project_;
    Runner runSaved_;
    Runner guard_;
    QTableView* grid_ = nullptr;
    data::DatasetModel* model_ = nullptr;
    QPushButton* buttons_[3] = {};
    int paused_ = 0;
};

}  // namespace meridell::record
