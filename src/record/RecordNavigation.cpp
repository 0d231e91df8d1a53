// Keyboard navigation of the record form: one key-down handler per field of the navigation table,
// named after its control ("classCodeEditKeyDown", "projectDomainComboKeyDown"...).

#include "record/FieldEvents.h"
#include "record/RecordForm.h"
#include "record/core/Navigation.h"

namespace meridell::record {

void RecordForm::installNavigation() {
    for (const nav::Row& row : nav::table()) {
        QWidget* field = control(QString::fromLatin1(row.control));
        if (field == nullptr) {
            qFatal("record form: no control %s", row.control);
        }
        new KeyDownHandler(field, this, row);
    }
}

}  // namespace meridell::record
