#pragma once

#include <QDialog>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace meridell::ui {
class Shell;
}

namespace meridell::exchange {

// The import progress window: one bar from 0 to 100, shown without being modal.
class ProgressWindow : public QDialog {
    Q_OBJECT
public:
    explicit ProgressWindow(ui::Shell& context, QWidget* parent = nullptr);

    QProgressBar* progressBar = nullptr;
    // Which archive of a batch is being read; hidden while a single archive is imported.
    QLabel* messageLabel = nullptr;
    // "取消": shown only while work that can be stopped runs.
    QPushButton* cancelButton = nullptr;

    // Moves the bar and draws it at once: the import runs on this thread and gives no other chance.
    void setPosition(int value);
    // The line above the bar; an empty text hides it.
    void setMessage(const QString& text);
    // Shows "取消", which calls `cancel` once; an empty function hides it again.
    void setCancel(std::function<void()> cancel);

    // Escape means "取消" while it is shown.
    void reject() override;

protected:
    ui::Shell& context_;

private:
    void cancelClicked();

    std::function<void()> cancel_;
};

}  // namespace meridell::exchange
