#include "record/PageTabs.h"

#include "ui/Fitting.h"

#include <QTabBar>
#include <QTabWidget>

namespace meridell::record {

PageTabs::PageTabs(QTabWidget* pages, QWidget* parent) : QWidget(parent), pages_(pages) {
    setObjectName("PageTabs");
    setAccessibleName(QStringLiteral("页面标签"));
    auto* flow = new ui::FlowLayout(this, 1);
    flow->setJustified(true);
    for (int i = 0; i < pages_->count(); ++i) {
        auto* tab = new QToolButton(this);
        tab->setObjectName(pages_->widget(i)->objectName() + QStringLiteral("Tab"));
        tab->setText(pages_->tabText(i));
        tab->setAccessibleName(pages_->tabText(i));
        tab->setCheckable(true);
        tab->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);  // widened to fill its row
        tab->setFocusPolicy(Qt::NoFocus);  // the keys move between fields and pages, not tabs
        group_.addButton(tab, i);
        flow->addWidget(tab);
        tabs_.push_back(tab);
    }
    pages_->tabBar()->hide();
    connect(&group_, &QButtonGroup::idClicked, pages_, &QTabWidget::setCurrentIndex);
    connect(pages_, &QTabWidget::currentChanged, this, &PageTabs::showCurrent);
    showCurrent(pages_->currentIndex());
}

int PageTabs::heightAt(int width) const {
    return layout()->heightForWidth(width);
}

void PageTabs::showCurrent(int index) {
    if (QAbstractButton* tab = group_.button(index)) {
        tab->setChecked(true);
    }
}

}  // namespace meridell::record
