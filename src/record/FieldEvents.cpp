#include "record/FieldEvents.h"

#include "record/core/InputRules.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QDropEvent>
#include <QFocusEvent>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>

#include <algorithm>

namespace meridell::record {

TypedTextHandler::TypedTextHandler(QLineEdit* edit, const QString& name, KeyPress keyPress,
                                   Insertion insertion)
    : QObject(edit), edit_(edit), keyPress_(std::move(keyPress)), insertion_(std::move(insertion)) {
    setObjectName(name);
    edit->installEventFilter(this);
}

QString textAroundSelection(const QLineEdit* edit, int* caret) {
    QString base = edit->text();
    *caret = edit->cursorPosition();
    if (edit->hasSelectedText()) {
        *caret = edit->selectionStart();
        base.remove(*caret, edit->selectionLength());
    }
    return base;
}

char16_t idcardTyped(const QLineEdit* edit, char16_t key) {
    int caret = 0;
    const QString text = textAroundSelection(edit, &caret);
    return rules::idcardKey(text, caret, key).value_or(0);
}

void TypedTextHandler::insertText(const QString& text) {
    if (edit_->isReadOnly()) {
        return;
    }
    int caret = 0;
    const QString base = textAroundSelection(edit_, &caret);
    const QString allowed = insertion_(base, caret, text);
    if (!allowed.isEmpty()) {
        edit_->insert(allowed);
    }
}

void TypedTextHandler::paste() {
    insertText(QGuiApplication::clipboard()->text(QClipboard::Clipboard));
}

QMenu* TypedTextHandler::createContextMenu() {
    auto* menu = new QMenu(edit_);
    const bool writable = !edit_->isReadOnly();
    const bool selected = edit_->hasSelectedText();
    auto add = [menu](const QString& caption, const QKeySequence& keys, bool enabled, auto slot) {
        QAction* action = menu->addAction(caption, slot);
        if (!keys.isEmpty()) {
            action->setText(caption + '\t' + keys.toString(QKeySequence::NativeText));
        }
        action->setEnabled(enabled);
        return action;
    };
    add(QStringLiteral("撤销(&U)"), QKeySequence::Undo, writable && edit_->isUndoAvailable(),
        [this] { edit_->undo(); });
    add(QStringLiteral("重做(&R)"), QKeySequence::Redo, writable && edit_->isRedoAvailable(),
        [this] { edit_->redo(); });
    menu->addSeparator();
    add(QStringLiteral("剪切(&T)"), QKeySequence::Cut, writable && selected, [this] { edit_->cut(); });
    add(QStringLiteral("复制(&C)"), QKeySequence::Copy, selected, [this] { edit_->copy(); });
    add(QStringLiteral("粘贴(&P)"), QKeySequence::Paste,
        writable && !QGuiApplication::clipboard()->text().isEmpty(), [this] { paste(); });
    add(QStringLiteral("删除(&D)"), {}, writable && selected, [this] { edit_->del(); });
    menu->addSeparator();
    add(QStringLiteral("全选(&A)"), QKeySequence::SelectAll,
        !edit_->text().isEmpty() && edit_->selectedText() != edit_->text(), [this] { edit_->selectAll(); });
    return menu;
}

namespace {

// Editing keys that put no new text in: the field handles them itself. Undo and redo only go back
// and forth between texts that came in through the rules.
bool isPlainEditingKey(const QKeyEvent* event) {
    for (QKeySequence::StandardKey key : {QKeySequence::Copy, QKeySequence::Cut, QKeySequence::SelectAll,
                                          QKeySequence::Undo, QKeySequence::Redo}) {
        if (event->matches(key)) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool TypedTextHandler::keyPressEvent(QKeyEvent* event) {
    // Every paste key (Ctrl+V, Shift+Insert) pastes through the same rule as the context menu.
    if (event->matches(QKeySequence::Paste)) {
        paste();
        return true;
    }
    if (isPlainEditingKey(event)) {
        return false;
    }
    const auto typed =
        rules::typedCharacter(event->key(), event->modifiers() & Qt::ControlModifier, event->text());
    if (!typed) {
        return false;  // keys that type nothing: arrows, Home, End, Delete...
    }
    char16_t key = *typed;
    keyPress_(key);
    if (key == 0) {
        return true;
    }
    if (key != *typed) {
        // The rule typed another character in its place (x becomes X).
        edit_->insert(QString(QChar(key)));
        return true;
    }
    return false;
}

void TypedTextHandler::inputMethodEvent(QInputMethodEvent* event) {
    if (event->commitString().isEmpty()) {
        return;
    }
    int caret = 0;
    QString base = textAroundSelection(edit_, &caret);
    caret = std::clamp(caret + event->replacementStart(), 0, int(base.size()));
    base.remove(caret, event->replacementLength());
    event->setCommitString(insertion_(base, caret, event->commitString()), event->replacementStart(),
                           event->replacementLength());
}

bool TypedTextHandler::eventFilter(QObject*, QEvent* event) {
    switch (event->type()) {
        case QEvent::KeyPress:
            return keyPressEvent(static_cast<QKeyEvent*>(event));
        case QEvent::InputMethod:
            inputMethodEvent(static_cast<QInputMethodEvent*>(event));
            return false;
        case QEvent::ContextMenu: {
            QMenu* menu = createContextMenu();
            menu->setAttribute(Qt::WA_DeleteOnClose);
            menu->popup(static_cast<QContextMenuEvent*>(event)->globalPos());
            return true;
        }
        case QEvent::MouseButtonRelease: {
            // The selection clipboard's middle-click paste.
            auto* mouse = static_cast<QMouseEvent*>(event);
            if (mouse->button() != Qt::MiddleButton || !QGuiApplication::clipboard()->supportsSelection()) {
                return false;
            }
            edit_->deselect();
            insertText(QGuiApplication::clipboard()->text(QClipboard::Selection));
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            if (!drop->mimeData()->hasText()) {
                return false;
            }
            edit_->deselect();
            edit_->setCursorPosition(edit_->cursorPositionAt(drop->position().toPoint()));
            insertText(drop->mimeData()->text());
            drop->acceptProposedAction();
            return true;
        }
        default:
            return false;
    }
}

FocusHandler::FocusHandler(QWidget* field, const QString& name, When when, std::function<void()> handler)
    : QObject(field), when_(when), handler_(std::move(handler)) {
    setObjectName(name);
    field->installEventFilter(this);
}

bool FocusHandler::eventFilter(QObject*, QEvent* event) {
    const auto wanted = when_ == When::Enter ? QEvent::FocusIn : QEvent::FocusOut;
    if (event->type() != wanted) {
        return false;
    }
    const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
    if (reason != Qt::ActiveWindowFocusReason && reason != Qt::PopupFocusReason) {
        handler_();
    }
    return false;
}

KeyDownHandler::KeyDownHandler(QWidget* field, QWidget* form, const nav::Row& row)
    : QObject(field), field_(field), form_(form), row_(row) {
    setObjectName(QString::fromLatin1(row.control) + "KeyDown");
    field->installEventFilter(this);
}

bool KeyDownHandler::eventFilter(QObject*, QEvent* event) {
    if (event->type() != QEvent::KeyPress) {
        return false;
    }
    const auto key = nav::keyOf(static_cast<QKeyEvent*>(event)->key());
    if (!key) {
        return false;
    }
    nav::Caret caret;
    if (auto* edit = qobject_cast<QLineEdit*>(field_)) {
        caret = {edit->cursorPosition(), int(edit->text().size()), edit->hasSelectedText()};
    }
    const QString target = nav::focusTarget(QString::fromLatin1(row_.control), *key, caret);
    if (target.isEmpty()) {
        return false;
    }
    if (auto* widget = form_->findChild<QWidget*>(target)) {
        // Entering by keyboard, like Tab: a line edit selects its text.
        widget->setFocus(Qt::TabFocusReason);
    }
    return false;
}

}  // namespace meridell::record
