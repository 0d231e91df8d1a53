#pragma once

class QCoreApplication;
class QTranslator;

namespace meridell::app {

// Loads Qt's own Chinese translations (qtbase_zh_CN from Qt's translations folder) into the
// application, so that the standard buttons and dialogs (message boxes, the file dialog) speak
// Chinese. Returns the installed translator, owned by the application, or null when the file is
// missing or unreadable; the dialogs then stay in English and the program goes on.
QTranslator* installChineseTranslations(QCoreApplication& application);

}  // namespace meridell::app
