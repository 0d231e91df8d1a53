#include "app/Application.h"

#include "common/core/Error.h"
#include "common/core/Fonts.h"

#include <cstdio>

namespace meridell::app {

Application::Application(int& argc, char** argv) : QApplication(argc, argv) {
    // The program's own text face, also for message boxes and for a widget built before the
    // window it is put into; a window that names another font sets it for itself.
    setFont(pixelFont(QStringLiteral("宋体"), 12));
}

bool Application::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        reportEscaped(errorText(e));
    } catch (...) {
        reportEscaped(QStringLiteral("未知错误"));
    }
    return false;
}

void Application::reportEscaped(const QString& text) {
    // The report's own message box delivers events too; an error among them is only written out.
    if (!report_ || reporting_) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
        return;
    }
    reporting_ = true;
    try {
        report_(explainedErrorText(text));
    } catch (...) {
        std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
    }
    reporting_ = false;
}

}  // namespace meridell::app
