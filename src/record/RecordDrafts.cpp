// Drafts of the record form: written when the typing pauses, when the page or the field changes
// and when the form is left; removed once they are saved; put back when the form opens on a
// project (or on a new one) that has one, and at start-up for the draft the form still showed.

#include "record/RecordDrafts.h"

#include "data/Schema.h"
#include "record/RecordForm.h"
#include "record/RecordPages.h"
#include "record/core/DraftChoice.h"
#include "record/core/DraftStore.h"
#include "record/core/FieldTable.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

#include <QApplication>
#include <QScopedValueRollback>
#include <QTime>
#include <QTimer>
#include <QUuid>

namespace meridell::record {

namespace {

bool typedIn(const data::Dataset& rows) {
    using State = data::Dataset::State;
    return rows.isOpen() && (rows.state() == State::Edit || rows.state() == State::Insert) &&
           rows.isModified();
}

std::optional<DraftRow> typedRowOf(const data::Dataset& rows) {
    return typedIn(rows) ? std::optional<DraftRow>(draftRowOf(rows)) : std::nullopt;
}

QString whichProject(const Draft& draft) {
    const QString name = draft.project.values.value(QStringLiteral("projectname")).toString();
    return name.isEmpty() ? QStringLiteral("尚未填写项目名称")
                          : QStringLiteral("项目名称：") + shortName(name);
}

// A typed row of a row list back in place: a new row appended again, a stored one found among the
// rows of the project, which the form has just selected by the project's key.
void restoreRow(data::Dataset& rows, const std::optional<DraftRow>& row, const data::TableDef& table) {
    if (!row || !rows.isOpen()) {
        return;
    }
    if (row->rowId == 0) {
        rows.append();
    } else if (!rows.moveToRowId(row->rowId)) {
        return;  // the row is gone: there is nothing to put its typing back into
    }
    applyDraftRow(rows, *row, table);
}

}  // namespace

RecordDrafts::RecordDrafts(RecordForm& form, RecordPages& pages, ui::Shell& shell)
    : form_(form),
      pages_(pages),
      shell_(shell),
      store_(std::make_unique<DraftStore>(shell.places().draftPath)) {
    timer_ = new QTimer(this);
    timer_->setSingleShot(true);
    timer_->setInterval(RecordForm::kDraftDelayMs);
    connect(timer_, &QTimer::timeout, this, [this] { timeout(); });
    // Every typed value, and every store or cancel of a row, starts the pause again.
    for (data::Dataset* rows : {&form_.projectQuery, &form_.pastProjectsQuery, &form_.staffQuery}) {
        connect(rows, &data::Dataset::fieldChanged, timer_, qOverload<>(&QTimer::start));
        connect(rows, &data::Dataset::stateChanged, timer_, qOverload<>(&QTimer::start));
    }
    // The focus leaving a field of the form: what was typed into it is kept at once.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old && form_.isAncestorOf(old)) {
            writeNow();
        }
    });
}

RecordDrafts::~RecordDrafts() = default;

bool RecordDrafts::holdsTypedChanges() const {
    return typedIn(form_.projectQuery) || typedIn(form_.pastProjectsQuery) || typedIn(form_.staffQuery);
}

void RecordDrafts::startSession() {
    id_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void RecordDrafts::timeout() {
    if (!form_.isVisible()) {
        return;  // a draft kept by leaving stays
    }
    if (holdsTypedChanges()) {
        writeNow();
    } else {
        drop(id_);
    }
}

Draft RecordDrafts::current(bool open) const {
    Draft draft;
    draft.id = id_;
    draft.written = QDateTime::currentDateTime();
    draft.open = open;
    draft.newMode = form_.isNewMode();
    draft.page = pages_.current();
    draft.key = draft.newMode ? QStringList() : draftKey(storedKeyOf(form_.projectQuery));
    draft.project = draftRowOf(form_.projectQuery);
    draft.prior = typedRowOf(form_.pastProjectsQuery);
    draft.staff = typedRowOf(form_.staffQuery);
    return draft;
}

bool RecordDrafts::put(bool open) {
    if (id_.isEmpty() || !form_.projectQuery.isOpen() || !holdsTypedChanges()) {
        drop(id_);
        return false;
    }
    // A draft that cannot be written is no reason to interrupt the typing: the user is told once,
    // and what is saved is saved in the database as always.
    const bool written = store_->put(current(open));
    tellNotices();
    return written;
}

void RecordDrafts::writeNow() {
    timer_->stop();
    if (form_.isVisible()) {
        put(true);
    }
}

void RecordDrafts::stop() {
    timer_->stop();
}

void RecordDrafts::drop(const QString& id) {
    if (!id.isEmpty() && store_->find(id)) {
        store_->remove(id);
        tellNotices();
    }
}

void RecordDrafts::tellNotices() {
    for (const QString& notice : store_->takeNotices()) {
        shell_.messages().inform(notice);
    }
}

void RecordDrafts::saved() {
    shell_.showStatus(
        QStringLiteral("已保存（%1）").arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
    if (holdsTypedChanges()) {
        writeNow();
    } else {
        timer_->stop();
        drop(id_);
    }
}

void RecordDrafts::keepAfterFailedSave() noexcept {
    try {
        writeNow();
    } catch (...) {
        // The key of the project could not be read (the server is still out of reach): the timer
        // tries again once the pause has run out.
        timer_->start();
    }
}

// ---- putting drafts back ----

void RecordDrafts::restore(const Draft& draft, bool asNew, int page) {
    if (form_.isNewMode() && (page == kPriorProjectsPage || page == kStaffPage)) {
        page = 0;  // entering a row list would store the new project before it is asked for
    }
    if (page != pages_.current()) {
        pages_.showQuietly(page);
        pages_.selectNode(page);
    }
    applyDraftRow(form_.projectQuery, draft.project, data::table1());
    if (!asNew) {
        restoreRow(form_.pastProjectsQuery, draft.prior, data::table2());
        restoreRow(form_.staffQuery, draft.staff, data::table3());
    }
}

void RecordDrafts::offerKept(bool keepPage) {
    if (restoring_) {
        return;
    }
    const bool newMode = form_.isNewMode();
    const QStringList key = newMode ? QStringList() : draftKey(storedKeyOf(form_.projectQuery));
    const std::optional<Draft> kept = keptDraftFor(store_->drafts(), id_, newMode, key);
    tellNotices();
    if (!kept) {
        return;
    }
    if (!shell_.messages().confirm(
            QStringLiteral("上次退出该页时，项目资料中有尚未保存的内容（%1）。要恢复这些内容吗？")
                .arg(whichProject(*kept)))) {
        drop(kept->id);
        return;
    }
    id_ = kept->id;
    restore(*kept, false, keepPage ? pages_.current() : kept->page);
    put(true);
}

void RecordDrafts::offerAtStart(const std::function<void()>& showList) {
    const StartOffer offer = startOffer(store_->drafts());
    tellNotices();
    if (!offer.offered) {
        return;
    }
    for (const Draft& other : offer.closed) {  // offered when their project is opened
        store_->put(other);
    }
    tellNotices();
    showList();
    const Draft& last = *offer.offered;
    const int row = last.newMode ? -1 : rowOfKey(form_.projectQuery, last.key);
    // Only the project that still has the key the draft was written for takes its typing back.
    const bool asNew = !last.newMode && row < 0;
    const QString question =
        asNew ? QStringLiteral(
                    "上次退出前，项目资料中有尚未保存的内容（%1），但数据库中已没有它所属的项目"
                    "（项目名称、项目负责人或承担单位已不同，或项目已被删除）。"
                    "要把这些内容作为新项目恢复吗？")
              : QStringLiteral("上次退出前，项目资料中有尚未保存的内容（%1）。要恢复这些内容吗？");
    if (!shell_.messages().confirm(question.arg(whichProject(last)))) {
        drop(last.id);
        return;
    }
    {
        QScopedValueRollback<bool> quiet(restoring_, true);
        if (last.newMode || asNew) {
            form_.openNew();
        } else {
            form_.projectQuery.moveTo(row);
            form_.openEditAt(last.page, QString());
        }
    }
    id_ = last.id;
    restore(last, asNew, last.page);
    put(true);
}

}  // namespace meridell::record
