#include "app/StartFolder.h"

#include <QDir>
#include <QFileInfo>

namespace meridell::app {

QString fileDialogStartFolder(const QString& requested, const QString& lastUsed) {
    for (const QString& folder : {requested, lastUsed}) {
        if (!folder.isEmpty() && QFileInfo(folder).isDir()) {
            return QFileInfo(folder).absoluteFilePath();
        }
    }
    return QDir::homePath();
}

}  // namespace meridell::app
