#include "ui/TextColour.h"

#include <QPalette>
#include <QWidget>

namespace meridell::ui {

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        palette.setColor(group, QPalette::WindowText, colour);
        palette.setColor(group, QPalette::Text, colour);
    }
    widget->setPalette(palette);
}

}  // namespace meridell::ui
