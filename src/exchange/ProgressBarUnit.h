#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

namespace meridell::ui {
class Shell;
}

namespace meridell::exchange {

// The import progress window: one bar from 0 to 100, shown without being modal.
class TProgressBarForm : public QDialog {
    Q_OBJECT
public:
    explicit TProgressBarForm(ui::Shell& context, QWidget* parent = nullptr);

    QProgressBar* ProgressBar1 = nullptr;
    // Which archive of a batch is being read; hidden while a single archive is imported.
    QLabel* Label1 = nullptr;

    // Moves the bar and draws it at once: the import runs on this thread and gives no other chance.
    void setPosition(int value);
    // The line above the bar; an empty text hides it.
    void setMessage(const QString& text);

protected:
    ui::Shell& context_;
};

}  // namespace meridell::exchange
