#pragma once

#include "record/core/Draft.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QTimer;

namespace meridell::ui {
class Shell;
}

namespace meridell::record {

class DraftStore;
class RecordForm;
class RecordPages;

// The drafts of the record form: the typed but unsaved rows of its three queries are written to the
// project's draft when the typing pauses, when the page or the field changes and when the form is
// left; saving removes the draft. Opening the form on a project (or on a new one) with a draft asks
// whether to put it back, and so does the start of the program for the draft the form still showed
// when the program ended.
class RecordDrafts : public QObject {
    Q_OBJECT
public:
    // Watches the queries and the focus of `form`, whose page, mode and openings it reads and uses.
    RecordDrafts(RecordForm& form, RecordPages& pages, ui::Shell& shell);
    ~RecordDrafts() override;

    DraftStore& store() const { return *store_; }

    // Whether one of the three queries holds a typed change that is not stored.
    bool holdsTypedChanges() const;
    // A new draft for this opening of the form.
    void startSession();
    // Writes the draft with the form left (false) or still showing it (true); false when there is
    // nothing typed or it could not be written.
    bool put(bool open);
    // Writes the draft at once when the form is open with typed changes.
    void writeNow();
    // The form is left: nothing more is written until it opens again.
    void stop();
    // After a save: the time in the status bar; the draft follows what is left unsaved.
    void saved();
    // After a save that stored nothing: the typing is written to the draft at once, so that it is
    // offered when the project is opened again. A draft that cannot be written is not a second
    // failure to tell: nothing is thrown.
    void keepAfterFailedSave() noexcept;
    // The question whether to restore the draft kept for this opening. `keepPage`: the form stays on
    // its page rather than going to the draft's.
    void offerKept(bool keepPage);
    // At start-up: offers the draft the form still showed when the program last ended. `showList`
    // docks the project list page on every project, under the form.
    void offerAtStart(const std::function<void()>& showList);

private:
    void timeout();
    Draft current(bool open) const;
    void drop(const QString& id);
    void tellNotices();
    void restore(const Draft& draft, bool asNew, int page);

    RecordForm& form_;
    RecordPages& pages_;
    ui::Shell& shell_;
    std::unique_ptr<DraftStore> store_;
    QTimer* timer_ = nullptr;  // restarted by every edit; writes the draft when it runs out
    QString id_;               // the draft of this opening of the form
    bool restoring_ = false;   // an opening that puts a draft back asks nothing
};

}  // namespace meridell::record
