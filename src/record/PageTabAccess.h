#pragma once

class QTabWidget;

namespace meridell::record {

// The accessible side of the record form's page tabs: the rows of tabs are announced as a page tab
// list, each tab as a page tab that is selected while its page shows, and the tab widget's own
// hidden bar of `pages` is left out of the tree. Installing twice has no further effect.
void installPageTabAccess(QTabWidget* pages);

// The property a tab widget carries when its tabs are drawn by PageTabs.
inline constexpr char kOwnTabsProperty[] = "meridellOwnTabs";

}  // namespace meridell::record
