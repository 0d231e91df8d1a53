#pragma once

#include <QColor>

class QWidget;

namespace meridell::ui {

// Draws the widget's text in `colour` through its palette. Unlike a style sheet, a palette leaves the
// widget's font free to follow the window it is later put into.
void setTextColour(QWidget* widget, const QColor& colour);

}  // namespace meridell::ui
