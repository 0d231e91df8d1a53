// Drafts of the record form: typed but unsaved rows written to the draft file shortly after the
// typing pauses, removed when they are saved or the form is left, and put back after a crash.

#include "common/core/Error.h"
#include "record/InformationUnit.h"
#include "record/core/Draft.h"
#include "ui/Shell.h"

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

void TInformationForm::installDrafts() {
    draftTimer_ = new QTimer(this);
    draftTimer_->setSingleShot(true);
    draftTimer_->setInterval(kDraftDelayMs);
    connect(draftTimer_, &QTimer::timeout, this, [this] { draftTimeout(); });
    // Every typed value, and every store or cancel of a row, starts the pause again.
    for (data::Dataset* rows : {&ADOQuery1, &ADOQuery2, &ADOQuery3}) {
        connect(rows, &data::Dataset::fieldChanged, draftTimer_, qOverload<>(&QTimer::start));
        connect(rows, &data::Dataset::stateChanged, draftTimer_, qOverload<>(&QTimer::start));
    }
    // Connected after the buttons' own handlers, so this runs once they have saved or left.
    for (QPushButton* button : {Button2, Button3, Button4, Button6}) {
        connect(button, &QPushButton::clicked, this, [this] { settleDraft(); });
    }
}

bool TInformationForm::holdsTypedChanges() const {
    return typedIn(ADOQuery1) || typedIn(ADOQuery2) || typedIn(ADOQuery3);
}

void TInformationForm::draftTimeout() {
    if (isVisible() && holdsTypedChanges()) {
        writeDraftNow();
    } else {
        removeDraft(draftPath(context_.appDir()));
    }
}

// After a save or the leave: nothing typed is left unsaved, or the form is closed.
void TInformationForm::settleDraft() {
    if (!isVisible() || !holdsTypedChanges()) {
        draftTimer_->stop();
        removeDraft(draftPath(context_.appDir()));
    }
}

void TInformationForm::writeDraftNow() {
    draftTimer_->stop();
    if (!isVisible() || !holdsTypedChanges()) {
        return;
    }
    Draft draft;
    draft.newMode = isNewMode();
    draft.page = PageControl1->currentIndex();
    draft.project = draftRowOf(ADOQuery1);
    draft.prior = typedRowOf(ADOQuery2);
    draft.staff = typedRowOf(ADOQuery3);
    // A draft that cannot be written is no reason to interrupt the typing: the next pause tries
    // again, and what is saved is saved in the database as always.
    writeDraft(draftPath(context_.appDir()), draft);
}

namespace {

void restoreRow(data::Dataset& rows, const std::optional<DraftRow>& row) {
    if (!row) {
        return;
    }
    if (row->rowId == 0) {
        rows.append();
    } else if (!rows.moveToRowId(row->rowId)) {
        return;  // the row is gone: there is nothing to put its typing back into
    }
    applyDraftRow(rows, *row);
}

}  // namespace

void TInformationForm::restoreDraft(const Draft& draft) {
    if (draft.newMode) {
        openNew();
    } else {
        if (!ADOQuery1.moveToRowId(draft.project.rowId)) {
            throw Error(QStringLiteral("没有找到草稿所属的项目，它可能已被删除，草稿中的内容无法恢复。"));
        }
        openEditAt(draft.page, QString());
    }
    applyDraftRow(ADOQuery1, draft.project);
    restoreRow(ADOQuery2, draft.prior);
    restoreRow(ADOQuery3, draft.staff);
}

}  // namespace meridell::record
