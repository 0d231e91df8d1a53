// A helper for the draft tests: starts the program on an application folder, opens the record form
// on a project, types into it as a user would, waits until the draft holds every typed value, says
// "ready" and then idles until it is killed.
//
//     meridell_draft_typist <application folder> <rowid of the project>

#include "app/AppContext.h"
#include "app/MainWindow.h"
#include "app/Startup.h"
#include "data/DatasetModel.h"
#include "record/RecordForm.h"
#include "record/core/Draft.h"
#include "ui/MessageService.h"

#include <QApplication>
#include <QFile>
#include <QLineEdit>
#include <QTableView>
#include <QTest>

#include <cstdio>

using namespace meridell;

namespace {

class SilentMessages : public ui::MessageService {
public:
    void inform(const QString& text) override { std::fprintf(stderr, "%s\n", text.toUtf8().constData()); }
    bool confirm(const QString&) override { return false; }
    void beep() override {}
    void reportError(const QString& text) override { inform(text); }
    QString chooseOpenFile(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString chooseSaveFile(const QString&, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString chooseFolder(const QString&, const QString&) override { return {}; }
    int runModal(QDialog&) override { return 0; }
    void showWindow(QWidget&) override {}
    bool openDocument(const QString&) override { return true; }
};

void typeInto(QWidget* widget, const QString& text) {
    for (QChar c : text) {
        Qt::Key key = c.unicode() < 128 ? Qt::Key(c.toUpper().unicode()) : Qt::Key_unknown;
        QTest::sendKeyEvent(QTest::Click, widget, key, QString(c), Qt::NoModifier);
    }
}

void retype(record::RecordForm& form, const char* control, const QString& text) {
    auto* edit = form.controlAs<QLineEdit>(QLatin1String(control));
    edit->setFocus();
    edit->selectAll();
    typeInto(edit, text);
}

// The staff member's duty typed into the grid of page 11, as its cell editor commits it.
void typeDuty(record::RecordForm& form, const QString& duty) {
    form.pageTree->setCurrentItem(form.pageTree->topLevelItem(11));
    form.pageTreeClicked();
    auto* model = static_cast<data::DatasetModel*>(form.staffGrid->model());
    for (int c = 0; c < model->columnCount(); ++c) {
        if (model->gridColumns()[std::size_t(c)].field == QLatin1String("duty")) {
            model->setData(model->index(0, c), duty);
        }
    }
}

bool draftHoldsEverything(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return false;
    }
    const auto drafts = record::draftsFromJson(file.readAll());
    return drafts && drafts->size() == 1 && drafts->front().staff &&
           drafts->front().project.values.value("mailnum").toString() == "310012";
}

}  // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: meridell_draft_typist <application folder> <rowid>\n");
        return 2;
    }
    SilentMessages messages;
    auto context = app::startUp(QString::fromLocal8Bit(argv[1]), messages);
    context->mainWindowWidget->show();
    context->mainWindowWidget->applyTriggered();
    record::RecordForm& form = *context->recordForm;
    if (!form.projectQuery.moveToRowId(QByteArray(argv[2]).toLongLong())) {
        return 3;
    }
    form.openEdit();
    retype(form, record::controls::mailNumEdit, QStringLiteral("310012"));
    typeInto(form.control(record::controls::projectBaseMemo), QStringLiteral("立项依据：城市化的背景。"));
    retype(form, record::controls::provinceFundEdit, QStringLiteral("12.5"));
    typeDuty(form, QStringLiteral("教授"));
    const QString path = context->places().draftPath;
    for (int waited = 0; !draftHoldsEverything(path); waited += 50) {
        if (waited > 30000) {
            return 4;
        }
        QTest::qWait(50);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    return application.exec();
}
