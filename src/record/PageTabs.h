#pragma once

#include <QButtonGroup>
#include <QToolButton>
#include <QWidget>

#include <vector>

class QTabWidget;

namespace meridell::record {

// The tabs of the record form's pages in as many rows as the pages' width needs, so that all
// thirteen can be reached at once without scrolling. The tab widget's own bar is hidden; a click
// on a tab changes the page exactly as a click on that bar would, and the keys of a tab bar work:
// the current tab is a stop of the Tab key, the arrows move between the tabs, and Ctrl+Tab and
// Ctrl+Shift+Tab turn the pages from anywhere in the form.
class PageTabs : public QWidget {
    Q_OBJECT
public:
    explicit PageTabs(QTabWidget* pages, QWidget* parent = nullptr);

    const std::vector<QToolButton*>& tabs() const { return tabs_; }
    // The height the tabs take at `width`.
    int heightAt(int width) const;
    // Whether one of the tabs has the keyboard focus.
    bool holdsFocus() const;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void addPageKeys(QWidget* scope);
    void turn(int step, bool wrap);
    void showCurrent(int index);

    QTabWidget* pages_;
    QButtonGroup group_;
    std::vector<QToolButton*> tabs_;
};

}  // namespace meridell::record
