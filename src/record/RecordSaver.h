#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace meridell::data {
class Dataset;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::record {

class BindingSet;
class FieldRules;
class RecordPages;
class RowListPage;
struct MessageFrame;

// Saving the record form's project: "保存新增" stores the new project and its leader as the first
// staff row, "保存修改" stores the changed row and stamps its key into the listed rows, and a row
// list of a new project opens for typing only once the project is stored. Every save runs all or
// nothing over the three queries.
class RecordSaver {
public:
    // `saved` runs after every save that went through; `unsaved` after one that failed (another
    // seat changed or deleted the project, the connection to the server was cut), with the typing
    // back in the queries, so that it can be kept before the failure is told.
    RecordSaver(const RecordPages& pages, BindingSet& bindings, data::Dataset& project,
                data::Dataset& priorRows, data::Dataset& staffRows, ui::Shell& shell, FieldRules& rules,
                std::function<void()> saved, std::function<void()> unsaved = {});

    // The message naming the empty required fields, or an empty text when all are filled.
    QString requiredFieldMessage(const MessageFrame& frame) const;
    // Runs `work` as one save of the three queries; the grids show only where it ends.
    void runSaved(const std::function<void()>& work);
    // Stores the appended project row and its leader as the first staff row, both or neither; then
    // the project query holds every project, positioned on the new one, put into editing again.
    void storeNewProject();
    // "保存新增": true once the project is stored (even if showing it again failed).
    bool saveNew();
    // "保存修改".
    void saveChanges();
    // Entering a row list's page: in edit mode the list opens at once; in new mode only once the
    // project is stored, which happens here. True when the project has just been stored.
    bool enterRowList(RowListPage& list, bool newMode);

private:
    // The project row's own values put in order before it is stored.
    void normaliseProject();

    const RecordPages& pages_;
    BindingSet& bindings_;
    data::Dataset& project_;
    data::Dataset& priorRows_;
    data::Dataset& staffRows_;
    ui::Shell& shell_;
    FieldRules& rules_;
    std::function<void()> saved_;
    std::function<void()> unsaved_;
};

}  // namespace meridell::record
