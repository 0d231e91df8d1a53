#pragma once

#include <QString>

namespace meridell::app {

// The folder a file dialog opens in: the folder asked for when it exists, else the folder the user
// last chose a file in when that still exists, else the user's home folder.
QString fileDialogStartFolder(const QString& requested, const QString& lastUsed);

}  // namespace meridell::app
