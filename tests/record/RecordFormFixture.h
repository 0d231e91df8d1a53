#pragma once

#include "record/RecordForm.h"
#include "support/AppFixture.h"

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

namespace meridell::test {

// The record form opened the way the project list page opens it, with helpers to type into its
// controls as a user would.
class RecordFormTest : public AppFixture {
protected:
    // Sends one key press and release per character, each carrying its text (Chinese included).
    static void typeInto(QWidget* widget, const QString& text) {
        for (QChar c : text) {
            Qt::Key key = c.unicode() < 128 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
        }
    }

    record::RecordForm& form() { return *ctx().recordForm; }
    data::Dataset& projects() { return form().projectQuery; }
    SqlFile& db() {
        if (!sql_) {
            sql_ = std::make_unique<SqlFile>(folder.databasePath());
        }
        return *sql_;
    }

    void openNew() {
        triggerMenu(QStringLiteral("项目申报"));
        form().openNew();
        QApplication::processEvents();
    }

    // Opens the project stored at `rowId` (arranged with SqlFile) in edit mode.
    void openEdit(qint64 rowId) {
        triggerMenu(QStringLiteral("项目申报"));
        ASSERT_TRUE(projects().moveToRowId(rowId));
        form().openEdit();
        QApplication::processEvents();
    }

    // Typing into a line edit or memo (key by key), or choosing a list entry.
    void type(const QString& control, const QString& text) {
        QWidget* w = form().control(control);
        ASSERT_NE(w, nullptr) << control.toStdString();
        if (auto* combo = qobject_cast<QComboBox*>(w); combo && !combo->isEditable()) {
            combo->setCurrentIndex(combo->findText(text));
            return;
        }
        typeInto(w, text);
    }

    // Replaces the text of a line edit as a user would: select all, then type.
    void retype(const QString& control, const QString& text) {
        auto* edit = form().controlAs<QLineEdit>(control);
        ASSERT_NE(edit, nullptr);
        edit->selectAll();
        typeInto(edit, text);
    }

    void fillRequired(const QString& name = QStringLiteral("城市化研究"),
                      const QString& man = QStringLiteral("张三"),
                      const QString& unit = QStringLiteral("省社科院")) {
        type(record::controls::classCodeEdit, "A01");
        type(record::controls::projectNameEdit, name);
        type(record::controls::projectManEdit, man);
        type(record::controls::takeUnitEdit, unit);
    }

    qint64 insertProject(const QString& name, const QString& man, const QString& unit,
                         QVariantMap more = {}) {
        more["projectname"] = name;
        more["projectman"] = man;
        more["takeunit1"] = unit;
        more.insert("classcode", more.value("classcode", "A01"));
        return db().insert("table1", more);
    }

    void insertChildren(const QString& table, const QString& name, const QString& man, const QString& unit,
                        int count) {
        for (int i = 0; i < count; ++i) {
            db().insert(table, {{"projectname", name},
                                {"projectman", man},
                                {"takeunit1", unit},
                                {"name", QStringLiteral("条目%1").arg(i)}});
        }
    }

    int childCount(const QString& table, const QString& name, const QString& man, const QString& unit) {
        return db()
            .scalar(
                QStringLiteral("select count(*) from %1 where projectname=? and projectman=? and takeunit1=?")
                    .arg(table),
                {name, man, unit})
            .toInt();
    }

    void showPage(int page) {
        form().pageTree->setCurrentItem(form().pageTree->topLevelItem(page));
        form().pageTreeClicked();
        QApplication::processEvents();
    }

    void TearDown() override {
        sql_.reset();
        AppFixture::TearDown();
    }

private:
    std::unique_ptr<SqlFile> sql_;
};

}  // namespace meridell::test
