#include "record/PageTabs.h"

#include "record/PageTabAccess.h"
#include "ui/Fitting.h"

#include <QEvent>
#include <QKeyEvent>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace meridell::record {

PageTabs::PageTabs(QTabWidget* pages, QWidget* parent) : QWidget(parent), pages_(pages) {
    installPageTabAccess(pages_);
    setObjectName("PageTabs");
    setAccessibleName(QStringLiteral("项目资料各页"));
    auto* flow = new ui::FlowLayout(this, 1);
    flow->setJustified(true);
    for (int i = 0; i < pages_->count(); ++i) {
        auto* tab = new QToolButton(this);
        tab->setObjectName(pages_->widget(i)->objectName() + QStringLiteral("Tab"));
        tab->setText(pages_->tabText(i));
        tab->setAccessibleName(pages_->tabText(i));
        tab->setCheckable(true);
        tab->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);  // widened to fill its row
        tab->installEventFilter(this);
        group_.addButton(tab, i);
        flow->addWidget(tab);
        tabs_.push_back(tab);
    }
    pages_->tabBar()->hide();
    connect(&group_, &QButtonGroup::idClicked, pages_, &QTabWidget::setCurrentIndex);
    connect(pages_, &QTabWidget::currentChanged, this, &PageTabs::showCurrent);
    addPageKeys(parent ? parent : pages_);
    showCurrent(pages_->currentIndex());
}

int PageTabs::heightAt(int width) const {
    return layout()->heightForWidth(width);
}

bool PageTabs::holdsFocus() const {
    return std::any_of(tabs_.begin(), tabs_.end(), [](QToolButton* tab) { return tab->hasFocus(); });
}

// Ctrl+Tab and Ctrl+Shift+Tab turn the pages from anywhere in `scope`, the last page leading back
// to the first.
void PageTabs::addPageKeys(QWidget* scope) {
    const QKeySequence forward(Qt::CTRL | Qt::Key_Tab);
    const QKeySequence backward[] = {QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab),
                                     QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Tab)};
    auto* next = new QShortcut(forward, scope, [this] { turn(1, true); });
    next->setContext(Qt::WidgetWithChildrenShortcut);
    for (const QKeySequence& keys : backward) {
        auto* previous = new QShortcut(keys, scope, [this] { turn(-1, true); });
        previous->setContext(Qt::WidgetWithChildrenShortcut);
    }
}

// Moves `step` pages on; past either end it wraps round when `wrap`, else it stays.
void PageTabs::turn(int step, bool wrap) {
    const int count = pages_->count();
    int index = pages_->currentIndex() + step;
    if (wrap) {
        index = (index + count) % count;
    }
    pages_->setCurrentIndex(std::clamp(index, 0, count - 1));
}

// The arrow keys move between the tabs as on a tab bar; Home and End reach the first and the last.
bool PageTabs::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !qobject_cast<QToolButton*>(watched)) {
        return QWidget::eventFilter(watched, event);
    }
    switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Left:
        case Qt::Key_Up:
            turn(-1, false);
            return true;
        case Qt::Key_Right:
        case Qt::Key_Down:
            turn(1, false);
            return true;
        case Qt::Key_Home:
            pages_->setCurrentIndex(0);
            return true;
        case Qt::Key_End:
            pages_->setCurrentIndex(pages_->count() - 1);
            return true;
        default:
            return QWidget::eventFilter(watched, event);
    }
}

// Only the current tab is a stop of the Tab key, as a tab bar is one stop; when a tab had the
// focus, the new current tab takes it.
void PageTabs::showCurrent(int index) {
    const bool hadFocus = holdsFocus();
    for (int i = 0; i < int(tabs_.size()); ++i) {
        tabs_[i]->setFocusPolicy(i == index ? Qt::TabFocus : Qt::NoFocus);
    }
    if (QAbstractButton* tab = group_.button(index)) {
        tab->setChecked(true);
        if (hadFocus) {
            tab->setFocus(Qt::TabFocusReason);
        }
    }
}

}  // namespace meridell::record
