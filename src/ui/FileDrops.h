#pragma once

class QMimeData;
class QWidget;

namespace meridell::ui {

// Whether a drag carries at least one local file or folder (what the main window imports).
bool carriesFiles(const QMimeData* data);

// The text fields under `root` (`root` itself when it is one: line edits, the boxes of editable
// lists, memos) refuse drags that carry files: a file dropped on a field is neither written into it
// as its path nor passed on to the window that would import it. Plain text and links are dragged
// and dropped as before.
void refuseFileDrops(QWidget* root);

}  // namespace meridell::ui
