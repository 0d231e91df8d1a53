// The record form's pages: the page tree, the stack of pages with its rows of tabs, and the
// switching between them.

#include "record/RecordPages.h"

#include "common/core/Fonts.h"
#include "record/FieldPage.h"
#include "record/PageTabs.h"
#include "record/core/FieldTable.h"
#include "record/core/RowListLayout.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTabWidget>
#include <QTreeWidget>

namespace meridell::record {

RecordPages::RecordPages(QWidget& form, QTreeWidget* tree, BindingSet& bindings, data::Dataset& project,
                         data::Dataset& priorRows, data::Dataset& staffRows, RowListPage::Runner runSaved,
                         RowListPage::Runner guard)
    : form_(form), tree_(tree) {
    buildStack(form, bindings, project, priorRows, staffRows, runSaved, guard);
}

// The pages go before the bindings their controls write through.
RecordPages::~RecordPages() {
    delete stack_;
}

QTreeWidget* RecordPages::buildTree(QWidget& form) {
    auto* tree = new QTreeWidget(&form);
    tree->setObjectName("pageTree");
    tree->setAccessibleName(treeHeading());
    tree->setHeaderHidden(true);
    tree->setRootIsDecorated(false);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setFont(pixelFont(QStringLiteral("楷体_GB2312"), 14));
    tree->setIndentation(0);
    // The selected node stays highlighted while another control has the focus.
    QPalette palette = tree->palette();
    for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
        palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
    }
    tree->setPalette(palette);
    for (const PageSpec& page : pageTable()) {
        tree->addTopLevelItem(new QTreeWidgetItem(QStringList{QString::fromUtf8(page.treeText)}));
    }
    return tree;
}

// Each page is built on its own and then handed to the tab widget, which takes it as its child.
void RecordPages::buildStack(QWidget& form, BindingSet& bindings, data::Dataset& project,
                             data::Dataset& priorRows, data::Dataset& staffRows,
                             const RowListPage::Runner& runSaved, const RowListPage::Runner& guard) {
    stack_ = new QTabWidget(&form);
    stack_->setObjectName("pageStack");
    stack_->setAccessibleName(QStringLiteral("项目资料"));
    int index = 0;
    for (const PageSpec& page : pageTable()) {
        QWidget* sheet = nullptr;
        if (index == kPriorProjectsPage) {
            sheet = priorList_ = new RowListPage(priorProjectsList(), priorRows, project, runSaved, guard);
        } else if (index == kStaffPage) {
            sheet = staffList_ = new RowListPage(staffList(), staffRows, project, runSaved, guard);
        } else {
            auto* fields = new FieldPage(index, bindings);
            controls_.insert(fields->controls());
            sheet = fields;
        }
        sheet->setObjectName(QLatin1String(page.name));
        sheet->setAccessibleName(QString::fromUtf8(page.caption));
        stack_->addTab(sheet, QString::fromUtf8(page.caption));
        ++index;
    }
    tabs_ = new PageTabs(stack_, &form);
    // Until a row list is entered, the prior projects can be typed into and the staff cannot.
    priorList_->setEditable(true);
    staffList_->setEditable(false);
    // The form keeps its page between openings; the first opening shows the first page.
    showQuietly(0);
}

FieldPage* RecordPages::fieldPage(int page) const {
    return qobject_cast<FieldPage*>(stack_->widget(page));
}

void RecordPages::missing(const char* name) {
    qFatal("record form: no control %s", name);
}

QString RecordPages::shownText(const QString& name) const {
    QWidget* w = control(name);
    if (auto* edit = qobject_cast<QLineEdit*>(w)) {
        return edit->text();
    }
    if (auto* combo = qobject_cast<QComboBox*>(w)) {
        return combo->currentText();
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(w)) {
        return memo->toPlainText();
    }
    return QString();
}

int RecordPages::current() const {
    return stack_->currentIndex();
}

void RecordPages::showQuietly(int page) {
    switching_ = true;
    stack_->setCurrentIndex(page);
    switching_ = false;
}

void RecordPages::selectNode(int page) {
    if (QTreeWidgetItem* node = tree_->topLevelItem(page)) {
        tree_->setCurrentItem(node);
    }
}

void RecordPages::showClickedNode() {
    const int page = tree_->indexOfTopLevelItem(tree_->currentItem());
    if (page >= 0 && page != current()) {
        showQuietly(page);
    }
}

}  // namespace meridell::record
