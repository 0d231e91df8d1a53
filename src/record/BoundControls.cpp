#include "record/BoundControls.h"

#include "common/core/Gb2312.h"
#include "data/Dataset.h"

#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLocale>
#include <QMimeData>
#include <QPointer>
#include <QSignalBlocker>
#include <QTextCursor>

namespace meridell::record {

// ---- byte limits ----

ByteLimitValidator::ByteLimitValidator(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}

int ByteLimitValidator::bytesOf(const QString& text) {
    return gb2312Bytes(text);
}

QValidator::State ByteLimitValidator::validate(QString& input, int&) const {
    int bytes = bytesOf(input);
    if (bytes > limit_ && bytes > baselineBytes_) {
        return Invalid;
    }
    baselineBytes_ = bytes;
    return Acceptable;
}

LimitedMemo::LimitedMemo(int limit, QWidget* parent) : QPlainTextEdit(parent), limit_(limit) {
    setTabChangesFocus(true);
}

bool LimitedMemo::accepts(const QString& inserted) const {
    if (inserted.isEmpty()) {
        return true;
    }
    QString all = toPlainText();
    QTextCursor cursor = textCursor();
    int start = cursor.selectionStart();
    int end = cursor.selectionEnd();
    int before = gb2312Bytes(all);
    int after = before - gb2312Bytes(all.mid(start, end - start)) + gb2312Bytes(inserted);
    return after <= limit_ || after <= before;
}

void LimitedMemo::keyPressEvent(QKeyEvent* event) {
    QString text = event->text();
    bool typing = !text.isEmpty() &&
                  (text.at(0).isPrint() || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter);
    if (typing && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        QString inserted = text.at(0).isPrint() ? text : QStringLiteral("\n");
        if (!accepts(inserted)) {
            event->accept();
            return;
        }
    }
    QPlainTextEdit::keyPressEvent(event);
}

void LimitedMemo::inputMethodEvent(QInputMethodEvent* event) {
    if (!event->commitString().isEmpty() && !accepts(event->commitString())) {
        // The composed word is dropped whole, and the composition ends.
        QInputMethodEvent dropped;
        QPlainTextEdit::inputMethodEvent(&dropped);
        event->accept();
        return;
    }
    QPlainTextEdit::inputMethodEvent(event);
}

void LimitedMemo::insertFromMimeData(const QMimeData* source) {
    if (source && source->hasText() && !accepts(source->text())) {
        return;
    }
    QPlainTextEdit::insertFromMimeData(source);
}

// ---- bindings ----

struct BindingSet::Binding {
    QString column;
    QPointer<QWidget> widget;
    std::function<void(const QVariant&)> show;
};

namespace {

QString displayText(const QVariant& value, bool numeric) {
    if (!value.isValid()) {
        return QString();
    }
    if (numeric) {
        bool ok = false;
        double d = value.toDouble(&ok);
        return ok ? QString::number(d, 'g', 15) : value.toString();
    }
    return value.toString();
}

// A number typed as text: an empty text, or one that is not a number, is stored as null.
QVariant numberValue(const QString& text) {
    bool ok = false;
    double d = QLocale::c().toDouble(text.trimmed(), &ok);
    return ok ? QVariant(d) : QVariant();
}

}  // namespace

BindingSet::BindingSet(data::Dataset& dataset, std::function<void(const std::function<void()>&)> guard,
                       QObject* parent)
    : QObject(parent), dataset_(dataset), guard_(std::move(guard)) {
    connect(&dataset_, &data::Dataset::currentChanged, this, &BindingSet::refreshAll);
    connect(&dataset_, &data::Dataset::fieldChanged, this, &BindingSet::refreshColumn);
}

BindingSet::~BindingSet() = default;

void BindingSet::bindLineEdit(QLineEdit* edit, const QString& column, bool numeric) {
    auto b = std::make_unique<Binding>();
    Binding* raw = b.get();
    b->column = column;
    b->widget = edit;
    b->show = [edit, numeric](const QVariant& value) {
        QString text = displayText(value, numeric);
        if (edit->text() != text) {
            if (auto* limit = qobject_cast<ByteLimitValidator*>(const_cast<QValidator*>(edit->validator()))) {
                limit->setBaseline(text);
            }
            edit->setText(text);
        }
    };
    connect(edit, &QLineEdit::textEdited, this, [this, raw, numeric](const QString& text) {
        write(raw, numeric ? numberValue(text) : QVariant(text));
    });
    byColumn_[column.toLower()].push_back(raw);
    bindings_.push_back(std::move(b));
}

void BindingSet::bindComboBox(QComboBox* combo, const QString& column) {
    auto b = std::make_unique<Binding>();
    Binding* raw = b.get();
    b->column = column;
    b->widget = combo;
    b->show = [combo](const QVariant& value) {
        QString text = displayText(value, false);
        // Showing a row is not a choice: the control's change handlers do not run.
        QSignalBlocker quiet(combo);
        if (combo->isEditable()) {
            if (combo->currentText() != text) {
                if (auto* limit =
                        qobject_cast<ByteLimitValidator*>(const_cast<QValidator*>(combo->validator()))) {
                    limit->setBaseline(text);
                }
                combo->setEditText(text);
            }
            return;
        }
        int index = text.isEmpty() ? -1 : combo->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive);
        if (combo->currentIndex() != index) {
            combo->setCurrentIndex(index);
        }
    };
    connect(combo, &QComboBox::currentTextChanged, this,
            [this, raw](const QString& text) { write(raw, QVariant(text)); });
    byColumn_[column.toLower()].push_back(raw);
    bindings_.push_back(std::move(b));
}

void BindingSet::bindMemo(QPlainTextEdit* memo, const QString& column) {
    auto b = std::make_unique<Binding>();
    Binding* raw = b.get();
    b->column = column;
    b->widget = memo;
    auto showing = std::make_shared<bool>(false);
    b->show = [memo, showing](const QVariant& value) {
        QString text = displayText(value, false);
        if (memo->toPlainText() != text) {
            *showing = true;
            memo->setPlainText(text);
            *showing = false;
        }
    };
    connect(memo, &QPlainTextEdit::textChanged, this, [this, raw, memo, showing] {
        if (!*showing) {
            write(raw, QVariant(memo->toPlainText()));
        }
    });
    byColumn_[column.toLower()].push_back(raw);
    bindings_.push_back(std::move(b));
}

BindingSet::Pause::~Pause() {
    if (--set_.paused_ == 0 && set_.stale_) {
        try {
            set_.refreshAll();
        } catch (...) {
            // The row could not be read; the controls keep what they show until the next move.
        }
    }
}

void BindingSet::refreshAll() {
    if (paused_ > 0) {
        stale_ = true;
        return;
    }
    stale_ = false;
    bool open = dataset_.isOpen() && dataset_.currentRow() >= 0;
    for (auto& b : bindings_) {
        if (b->widget) {
            b->show(open ? dataset_.value(b->column) : QVariant());
        }
        // A value too long for its box shows its beginning when a project is shown, as a reader
        // expects; the box the user is in keeps its caret.
        if (auto* edit = qobject_cast<QLineEdit*>(b->widget); edit && !edit->hasFocus()) {
            edit->setCursorPosition(0);
        }
    }
}

void BindingSet::refreshColumn(int field) {
    if (paused_ > 0) {
        stale_ = true;
        return;
    }
    if (field < 0 || field >= dataset_.fieldCount()) {
        return;
    }
    auto it = byColumn_.constFind(dataset_.fieldNames()[field].toLower());
    if (it == byColumn_.constEnd()) {
        return;
    }
    QVariant value = dataset_.value(dataset_.fieldNames()[field]);
    for (Binding* b : it.value()) {
        if (b != writing_ && b->widget) {
            b->show(value);
        }
    }
}

void BindingSet::write(Binding* from, const QVariant& value) {
    if (!dataset_.isOpen()) {
        return;
    }
    guard_([&] {
        Binding* outer = writing_;
        writing_ = from;
        try {
            dataset_.setValue(from->column, value);
        } catch (...) {
            writing_ = outer;
            throw;
        }
        writing_ = outer;
    });
}

// ---- grid cells ----

ByteLimitDelegate::ByteLimitDelegate(std::vector<int> limits, QObject* parent)
    : QStyledItemDelegate(parent), limits_(std::move(limits)) {}

QWidget* ByteLimitDelegate::createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                                         const QModelIndex& index) const {
    QWidget* editor = QStyledItemDelegate::createEditor(parent, option, index);
    int column = index.column();
    if (auto* line = qobject_cast<QLineEdit*>(editor);
        line && column >= 0 && column < int(limits_.size()) && limits_[column] >= 0) {
        line->setValidator(new ByteLimitValidator(limits_[column], line));
    }
    if (auto* line = qobject_cast<QLineEdit*>(editor); line && setup_) {
        setup_(line, column);
    }
    return editor;
}

void ByteLimitDelegate::setEditorData(QWidget* editor, const QModelIndex& index) const {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) {
        if (auto* limit = qobject_cast<ByteLimitValidator*>(const_cast<QValidator*>(line->validator()))) {
            limit->setBaseline(index.data(Qt::EditRole).toString());
        }
    }
    QStyledItemDelegate::setEditorData(editor, index);
}

}  // namespace meridell::record
