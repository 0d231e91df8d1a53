// Drafts of the record form: the typed but unsaved rows written to the project's draft when the
// typing pauses, when the page or the field changes and when the form is left; removed once they
// are saved.

#include "record/RecordForm.h"
#include "record/core/DraftStore.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

#include <QApplication>
#include <QTime>
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

}  // namespace

void RecordForm::installDrafts() {
    drafts_ = std::make_unique<DraftStore>(context_.places().draftPath);
    draftTimer_ = new QTimer(this);
    draftTimer_->setSingleShot(true);
    draftTimer_->setInterval(kDraftDelayMs);
    connect(draftTimer_, &QTimer::timeout, this, [this] { draftTimeout(); });
    // Every typed value, and every store or cancel of a row, starts the pause again.
    for (data::Dataset* rows : {&projectQuery, &pastProjectsQuery, &staffQuery}) {
        connect(rows, &data::Dataset::fieldChanged, draftTimer_, qOverload<>(&QTimer::start));
        connect(rows, &data::Dataset::stateChanged, draftTimer_, qOverload<>(&QTimer::start));
    }
    // The focus leaving a field of the form: what was typed into it is kept at once.
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget* old, QWidget*) {
        if (old && isAncestorOf(old)) {
            writeDraftNow();
        }
    });
}

bool RecordForm::holdsTypedChanges() const {
    return typedIn(projectQuery) || typedIn(pastProjectsQuery) || typedIn(staffQuery);
}

void RecordForm::startDraftSession() {
    draftId_ = QUuid::createUuid().toString(QUuid::WithoutBraces);
}

void RecordForm::draftTimeout() {
    if (!isVisible()) {
        return;  // a draft kept by leaving stays
    }
    if (holdsTypedChanges()) {
        writeDraftNow();
    } else {
        dropDraft(draftId_);
    }
}

Draft RecordForm::currentDraft(bool open) const {
    Draft draft;
    draft.id = draftId_;
    draft.written = QDateTime::currentDateTime();
    draft.open = open;
    draft.newMode = isNewMode();
    draft.page = PageControl1->currentIndex();
    draft.key = draft.newMode ? QStringList() : draftKey(storedKeyOf(projectQuery));
    draft.project = draftRowOf(projectQuery);
    draft.prior = typedRowOf(pastProjectsQuery);
    draft.staff = typedRowOf(staffQuery);
    return draft;
}

bool RecordForm::putDraft(bool open) {
    if (draftId_.isEmpty() || !projectQuery.isOpen() || !holdsTypedChanges()) {
        dropDraft(draftId_);
        return false;
    }
    // A draft that cannot be written is no reason to interrupt the typing: the user is told once,
    // and what is saved is saved in the database as always.
    const bool written = drafts_->put(currentDraft(open));
    tellDraftNotices();
    return written;
}

void RecordForm::writeDraftNow() {
    draftTimer_->stop();
    if (isVisible()) {
        putDraft(true);
    }
}

void RecordForm::dropDraft(const QString& id) {
    if (!id.isEmpty() && drafts_->find(id)) {
        drafts_->remove(id);
        tellDraftNotices();
    }
}

void RecordForm::tellDraftNotices() {
    for (const QString& notice : drafts_->takeNotices()) {
        context_.messages().inform(notice);
    }
}

void RecordForm::draftSaved() {
    context_.showStatus(
        QStringLiteral("已保存（%1）").arg(QTime::currentTime().toString(QStringLiteral("HH:mm:ss"))));
    if (holdsTypedChanges()) {
        writeDraftNow();
    } else {
        draftTimer_->stop();
        dropDraft(draftId_);
    }
}

}  // namespace meridell::record
