#pragma once

#include <QHash>
#include <QString>
#include <QWidget>

class QGridLayout;

namespace meridell::record {

class BindingSet;
struct FieldSpec;

// One field page of the record form, built from the field table: every field of the page with its
// label, red "*" when required, suffix, and the control bound to its column of the project row,
// placed in the page's grid and chained in the page's tab order.
class FieldPage : public QWidget {
    Q_OBJECT
public:
    // `page` is the index among the thirteen pages; the controls write through `bindings`.
    FieldPage(int page, BindingSet& bindings, QWidget* parent = nullptr);

    int page() const { return page_; }
    // The page's controls by name (classCodeEdit, projectDomainCombo, projectBaseMemo, ...).
    const QHash<QString, QWidget*>& controls() const { return controls_; }

protected:
    void changeEvent(QEvent* event) override;

private:
    void placeFields(QGridLayout* grid);
    void fitControls();
    QWidget* createControl(const FieldSpec& field);
    QWidget* createLineEdit(const FieldSpec& field);
    QWidget* createList(const FieldSpec& field);
    QWidget* createMemo(const FieldSpec& field);

    int page_;
    BindingSet& bindings_;
    QHash<QString, QWidget*> controls_;
    bool growing_ = false;  // a memo takes the page's height
};

}  // namespace meridell::record
