// Putting drafts back: when the form opens on a project (or on a new one) that has a draft, and at
// start-up for the draft the form still showed when the program ended.

#include "data/Schema.h"
#include "record/RecordForm.h"
#include "record/core/DraftStore.h"
#include "record/core/FieldTable.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

#include <QScopedValueRollback>

#include <algorithm>

namespace meridell::record {

namespace {

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

bool olderThan(const Draft& a, const Draft& b) {
    return a.written < b.written;
}

}  // namespace

void RecordForm::restoreDraft(const Draft& draft, bool asNew, int page) {
    if (isNewMode() && (page == kPriorProjectsPage || page == kStaffPage)) {
        page = 0;  // entering a row list would store the new project before it is asked for
    }
    if (page != pageStack->currentIndex()) {
        showPageQuietly(page);
        selectTreeNode(page);
    }
    applyDraftRow(projectQuery, draft.project, data::table1());
    if (!asNew) {
        restoreRow(pastProjectsQuery, draft.prior, data::table2());
        restoreRow(staffQuery, draft.staff, data::table3());
    }
}

void RecordForm::offerKeptDraft(bool keepPage) {
    if (restoringDraft_) {
        return;
    }
    const bool newMode = isNewMode();
    const QStringList key = newMode ? QStringList() : draftKey(storedKeyOf(projectQuery));
    std::optional<Draft> kept;
    for (const Draft& draft : drafts_->drafts()) {
        if (draft.id != draftId_ && draft.newMode == newMode && draft.key == key &&
            (!kept || !olderThan(draft, *kept))) {
            kept = draft;
        }
    }
    tellDraftNotices();
    if (!kept) {
        return;
    }
    if (!context_.messages().confirm(
            QStringLiteral("上次退出该页时，项目资料中有尚未保存的内容（%1）。要恢复这些内容吗？")
                .arg(whichProject(*kept)))) {
        dropDraft(kept->id);
        return;
    }
    draftId_ = kept->id;
    restoreDraft(*kept, false, keepPage ? pageStack->currentIndex() : kept->page);
    putDraft(true);
}

void RecordForm::offerDraftAtStart(const std::function<void()>& showList) {
    std::vector<Draft> open;
    for (const Draft& draft : drafts_->drafts()) {
        if (draft.open) {
            open.push_back(draft);
        }
    }
    tellDraftNotices();
    if (open.empty()) {
        return;
    }
    std::stable_sort(open.begin(), open.end(), olderThan);
    Draft last = open.back();
    open.pop_back();
    for (Draft& other : open) {  // offered when their project is opened
        other.open = false;
        drafts_->put(other);
    }
    tellDraftNotices();
    showList();
    const int row = last.newMode ? -1 : rowOfKey(projectQuery, last.key);
    // Only the project that still has the key the draft was written for takes its typing back.
    const bool asNew = !last.newMode && row < 0;
    const QString question =
        asNew ? QStringLiteral(
                    "上次退出前，项目资料中有尚未保存的内容（%1），但数据库中已没有它所属的项目"
                    "（项目名称、项目负责人或承担单位已不同，或项目已被删除）。"
                    "要把这些内容作为新项目恢复吗？")
              : QStringLiteral("上次退出前，项目资料中有尚未保存的内容（%1）。要恢复这些内容吗？");
    if (!context_.messages().confirm(question.arg(whichProject(last)))) {
        dropDraft(last.id);
        return;
    }
    {
        QScopedValueRollback<bool> quiet(restoringDraft_, true);
        if (last.newMode || asNew) {
            openNew();
        } else {
            projectQuery.moveTo(row);
            openEditAt(last.page, QString());
        }
    }
    draftId_ = last.id;
    restoreDraft(last, asNew, last.page);
    putDraft(true);
}

}  // namespace meridell::record
