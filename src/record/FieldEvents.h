#pragma once

#include "record/core/Navigation.h"

#include <QObject>
#include <QString>

#include <functional>

class QInputMethodEvent;
class QKeyEvent;
class QLineEdit;
class QMenu;
class QWidget;

// Event handlers of single fields of the record form, each a child object of its field named after
// the handler ("costEditKeyPressed", "idcardEditLeft", "classCodeEditKeyDown"). They turn Qt's events into
// the form's handler calls: a typed character, text arriving without keys, entering, leaving, a key going
// down for navigation.
namespace meridell::record {

// The field's text with its selection taken out, and in `caret` where new text goes.
QString textAroundSelection(const QLineEdit* edit, int* caret);

// The identity-card rule on a character typed into `edit`: digits, and the check character X (a
// typed x made X) as the eighteenth; 0 when the character is refused.
char16_t idcardTyped(const QLineEdit* edit, char16_t key);

// Typed characters and all other ways text gets into a line edit. Ctrl+V and Shift+Insert paste
// through the insertion rule; copy, cut, select all, undo and redo work as usual; every other key
// that types a character, control characters included, goes to the key rule first.
class TypedTextHandler : public QObject {
    Q_OBJECT
public:
    // Decides on a typed character; setting it to 0 drops it, setting it to another character types
    // that one instead.
    using KeyPress = std::function<void(char16_t& key)>;
    // Text arriving without key presses (input-method commit, paste, middle-click, drop): given
    // the field's text with the selection removed and the insertion point, returns what goes in.
    using Insertion = std::function<QString(const QString& text, int caret, const QString& inserted)>;

    TypedTextHandler(QLineEdit* edit, const QString& name, KeyPress keyPress, Insertion insertion);

    // Inserts `text` at the caret in place of the selection, through the insertion rule.
    void insertText(const QString& text);
    // The clipboard's text, through the insertion rule.
    void paste();
    // The field's context menu, whose paste goes through the insertion rule. The caller owns it.
    QMenu* createContextMenu();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool keyPressEvent(QKeyEvent* event);
    void inputMethodEvent(QInputMethodEvent* event);

    QLineEdit* edit_;
    KeyPress keyPress_;
    Insertion insertion_;
};

// The focus entering or leaving a field by the user's doing: moving within the window, not the
// window itself being activated or deactivated or a popup opening.
class FocusHandler : public QObject {
    Q_OBJECT
public:
    enum class When { Enter, Exit };
    FocusHandler(QWidget* field, const QString& name, When when, std::function<void()> handler);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    When when_;
    std::function<void()> handler_;
};

// A key going down in a field of the navigation table: moves the focus to the field the table
// names, found by name among the children of `form`. The key still reaches the field.
class KeyDownHandler : public QObject {
    Q_OBJECT
public:
    KeyDownHandler(QWidget* field, QWidget* form, const nav::Row& row);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* field_;
    QWidget* form_;
    const nav::Row& row_;
};

}  // namespace meridell::record
