#pragma once

#include "record/RowListPage.h"

#include <QHash>
#include <QString>
#include <QWidget>

class QTabWidget;
class QTreeWidget;

namespace meridell::data {
class Dataset;
}

namespace meridell::record {

class BindingSet;
class FieldPage;
class PageTabs;

// The record form's pages and the switching between them: the page tree, the stack of the thirteen
// pages (a field page for each page of fields, a row-list page for each row list) and the rows of
// tabs over them. The controls of every field page can be looked up by name.
class RecordPages {
public:
    // The page tree, one node a page, as a child of `form`. The form builds it with the strip left
    // of the pages, whose controls come before the pages in the focus chain.
    static QTreeWidget* buildTree(QWidget& form);

    // The pages are children of `form` and switched by `tree`; the field pages write through
    // `bindings`, the row lists show `priorRows` and `staffRows` of the current row of `project`.
    RecordPages(QWidget& form, QTreeWidget* tree, BindingSet& bindings, data::Dataset& project,
                data::Dataset& priorRows, data::Dataset& staffRows, RowListPage::Runner runSaved,
                RowListPage::Runner guard);
    ~RecordPages();
    RecordPages(const RecordPages&) = delete;
    RecordPages& operator=(const RecordPages&) = delete;

    // The form the pages belong to.
    QWidget& form() const { return form_; }
    QTreeWidget* tree() const { return tree_; }
    QTabWidget* stack() const { return stack_; }
    PageTabs* tabs() const { return tabs_; }
    FieldPage* fieldPage(int page) const;
    RowListPage* priorProjects() const { return priorList_; }
    RowListPage* staff() const { return staffList_; }

    // A bound control by its name (controls::idcardEdit, ...), or nullptr.
    QWidget* control(const QString& name) const { return controls_.value(name); }
    template <class T>
    T* controlAs(const QString& name) const {
        return qobject_cast<T*>(control(name));
    }
    // A control the form cannot work without: a missing one ends the program at once.
    template <class T>
    T* required(const char* name) const {
        T* widget = controlAs<T>(QLatin1String(name));
        if (widget == nullptr) {
            missing(name);
        }
        return widget;
    }
    // The text a control shows (line edit, list or memo).
    QString shownText(const QString& name) const;

    int current() const;
    // The page shown by the program rather than by the user: the page-change handling of the tabs
    // does not run for it. The tree node follows with selectNode().
    void showQuietly(int page);
    bool switching() const { return switching_; }
    void selectNode(int page);
    // The page of the tree node the user clicked, shown quietly; nothing when it is already shown.
    void showClickedNode();

private:
    void buildStack(QWidget& form, BindingSet& bindings, data::Dataset& project, data::Dataset& priorRows,
                    data::Dataset& staffRows, const RowListPage::Runner& runSaved,
                    const RowListPage::Runner& guard);
    [[noreturn]] static void missing(const char* name);

    QWidget& form_;
    QTreeWidget* tree_ = nullptr;
    QTabWidget* stack_ = nullptr;
    PageTabs* tabs_ = nullptr;
    RowListPage* priorList_ = nullptr;
    RowListPage* staffList_ = nullptr;
    QHash<QString, QWidget*> controls_;  // of every field page
    bool switching_ = false;             // the page is being changed by the program, not by the tabs
};

}  // namespace meridell::record
