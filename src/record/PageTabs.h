#pragma once

#include <QButtonGroup>
#include <QToolButton>
#include <QWidget>

#include <vector>

class QTabWidget;

namespace meridell::record {

// The tabs of the record form's pages in as many rows as the pages' width needs, so that all
// thirteen can be reached at once without scrolling. The tab widget's own bar is hidden; a click
// on a tab changes the page exactly as a click on that bar would.
class PageTabs : public QWidget {
    Q_OBJECT
public:
    explicit PageTabs(QTabWidget* pages, QWidget* parent = nullptr);

    const std::vector<QToolButton*>& tabs() const { return tabs_; }
    // The height the tabs take at `width`.
    int heightAt(int width) const;

private:
    void showCurrent(int index);

    QTabWidget* pages_;
    QButtonGroup group_;
    std::vector<QToolButton*> tabs_;
};

}  // namespace meridell::record
