#include "record/PageTabAccess.h"

#include "record/PageTabs.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QTabBar>
#include <QTabWidget>

namespace meridell::record {

namespace {

// One tab: a page tab named by its caption, selected while its page shows; pressing it shows it.
class PageTabInterface : public QAccessibleWidget {
public:
    explicit PageTabInterface(QToolButton* tab) : QAccessibleWidget(tab, QAccessible::PageTab) {}

    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.selectable = true;
        s.selected = tab()->isChecked();
        return s;
    }
    QStringList actionNames() const override {
        return QStringList{pressAction()} + QAccessibleWidget::actionNames();
    }
    void doAction(const QString& action) override {
        if (action == pressAction()) {
            tab()->click();
        } else {
            QAccessibleWidget::doAction(action);
        }
    }

private:
    QToolButton* tab() const { return static_cast<QToolButton*>(widget()); }
};

// The tab widget whose bar is hidden: its children without that bar.
class PagesInterface : public QAccessibleWidget {
public:
    explicit PagesInterface(QTabWidget* pages) : QAccessibleWidget(pages) {}

    int childCount() const override { return int(shownChildren().size()); }
    QAccessibleInterface* child(int index) const override {
        const QList<QWidget*> kids = shownChildren();
        return index >= 0 && index < kids.size() ? QAccessible::queryAccessibleInterface(kids[index])
                                                 : nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        return child ? int(shownChildren().indexOf(child->object())) : -1;
    }

private:
    QList<QWidget*> shownChildren() const {
        auto* pages = static_cast<QTabWidget*>(widget());
        QList<QWidget*> kids;
        for (QObject* o : pages->children()) {
            auto* w = qobject_cast<QWidget*>(o);
            if (w && !w->isWindow() && w != pages->tabBar()) {
                kids.append(w);
            }
        }
        return kids;
    }
};

QAccessibleInterface* pageTabFactory(const QString& className, QObject* object) {
    auto* widget = qobject_cast<QWidget*>(object);
    if (!widget) {
        return nullptr;
    }
    if (className == QLatin1String(PageTabs::staticMetaObject.className())) {
        return new QAccessibleWidget(widget, QAccessible::PageTabList);
    }
    if (className == QLatin1String("QToolButton") && qobject_cast<PageTabs*>(widget->parentWidget())) {
        return new PageTabInterface(static_cast<QToolButton*>(widget));
    }
    if (className == QLatin1String("QTabWidget") && widget->property(kOwnTabsProperty).toBool()) {
        return new PagesInterface(static_cast<QTabWidget*>(widget));
    }
    return nullptr;
}

}  // namespace

void installPageTabAccess(QTabWidget* pages) {
    QAccessible::installFactory(pageTabFactory);  // Qt keeps one entry per factory
    pages->setProperty(kOwnTabsProperty, true);
    // An interface made before the tabs existed still lists the hidden bar: it is made anew.
    QAccessibleInterface* made = QAccessible::queryAccessibleInterface(pages);
    if (made && !dynamic_cast<PagesInterface*>(made)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    }
}

}  // namespace meridell::record
