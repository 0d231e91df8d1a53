#include "ui/Buttons.h"

#include "ui/Shell.h"

#include <QPushButton>

namespace meridell::ui {

QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption, const Shell& shell,
                         std::function<void()> handler) {
    return namedButton(
        parent, name, caption, [&shell](const std::function<void()>& work) { shell.guard(work); },
        std::move(handler));
}

QPushButton* namedButton(QWidget* parent, const char* name, const QString& caption, Guard guard,
                         std::function<void()> handler) {
    auto* button = new QPushButton(caption, parent);
    button->setObjectName(QLatin1String(name));
    button->setAccessibleName(caption);
    QObject::connect(button, &QPushButton::clicked, button,
                     [guard = std::move(guard), handler = std::move(handler)] { guard(handler); });
    return button;
}

}  // namespace meridell::ui
