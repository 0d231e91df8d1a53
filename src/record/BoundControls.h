#pragma once

#include <QComboBox>
#include <QHash>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStyledItemDelegate>
#include <QValidator>

#include <functional>
#include <memory>
#include <vector>

namespace meridell::data {
class Dataset;
}

namespace meridell::record {

// Holds a text within a number of GB2312 bytes, whichever way it arrives (typing, an input method's
// commit, paste, drop): a change that would pass the limit is refused whole. A text already longer
// than the limit when it was shown may still be shortened.
class ByteLimitValidator : public QValidator {
    Q_OBJECT
public:
    ByteLimitValidator(int limit, QObject* parent);
    int limit() const { return limit_; }
    // The text shown by the program, against which a longer-than-limit text may only shrink.
    void setBaseline(const QString& text) { baselineBytes_ = bytesOf(text); }
    State validate(QString& input, int& pos) const override;

private:
    static int bytesOf(const QString& text);
    int limit_;
    mutable int baselineBytes_ = 0;
};

// A memo that accepts at most a number of GB2312 bytes, counting typing, input-method commits,
// paste and drop; a text that would pass the limit is refused whole.
class LimitedMemo : public QPlainTextEdit {
    Q_OBJECT
public:
    LimitedMemo(int limit, QWidget* parent);
    int limit() const { return limit_; }
    // Whether replacing the selection with `inserted` keeps the memo within its limit (or at least
    // does not make an already too long text longer).
    bool accepts(const QString& inserted) const;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    int limit_;
};

// Binds controls to the columns of the current row of one dataset: typing puts the row into editing
// and writes the value; moving to another row, reloading it, or a write through another control of
// the same column shows the values again.
class BindingSet : public QObject {
    Q_OBJECT
public:
    // `guard` runs a write under the program's error report.
    BindingSet(data::Dataset& dataset, std::function<void(const std::function<void()>&)> guard,
               QObject* parent);
    ~BindingSet() override;

    // `numeric`: the column holds numbers (an empty text is stored as null).
    void bindLineEdit(QLineEdit* edit, const QString& column, bool numeric);
    void bindComboBox(QComboBox* combo, const QString& column);
    void bindMemo(QPlainTextEdit* memo, const QString& column);

    // Shows the current row's values in every bound control.
    void refreshAll();

    // While a pause lasts the controls are not updated; when the last one ends they show the row as
    // it then stands. A save that moves, stores and reloads the row many times shows it once.
    class Pause {
    public:
        explicit Pause(BindingSet& set) : set_(set) { ++set_.paused_; }
        ~Pause();
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;

    private:
        BindingSet& set_;
    };

    struct Binding;

private:
    void refreshColumn(int field);
    void write(Binding* from, const QVariant& value);

    data::Dataset& dataset_;
    std::function<void(const std::function<void()>&)> guard_;
    std::vector<std::unique_ptr<Binding>> bindings_;
    QHash<QString, std::vector<Binding*>> byColumn_;  // lower-case column name
    Binding* writing_ = nullptr;
    int paused_ = 0;
    bool stale_ = false;  // something changed during a pause
};

// Grid cells of a text column keep to the column's size in GB2312 bytes while being typed.
class ByteLimitDelegate : public QStyledItemDelegate {
    Q_OBJECT
public:
    // `limits`: bytes per grid column (-1: none).
    ByteLimitDelegate(std::vector<int> limits, QObject* parent);
    // Runs on every line editor the delegate creates, with the grid column it edits.
    using EditorSetup = std::function<void(QLineEdit* editor, int column)>;
    void setEditorSetup(EditorSetup setup) { setup_ = std::move(setup); }
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;

private:
    std::vector<int> limits_;
    EditorSetup setup_;
};

}  // namespace meridell::record
