#include "lists/core/ProjectDeletion.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/Dataset.h"
#include "data/Schema.h"

#include <optional>

namespace meridell::lists {

QString deletionQuestion(const QVariantList& key) {
    const QString question = QStringLiteral("确实要删除该项目吗？");
    if (key.isEmpty()) {
        return question;
    }
    auto part = [&key](int i) {
        const QString text = key.value(i).toString();
        return text.isEmpty() ? QStringLiteral("（未填写）") : text;
    };
    return question +
           QStringLiteral("\n项目名称：%1；项目负责人：%2；承担单位：%3").arg(part(0), part(1), part(2));
}

namespace {

using Memento = data::Dataset::Memento;

// Selects the rows of `key` in `table` and deletes them one by one from the first. The dataset's
// state right after selecting goes into `selected`, to put it back after a rollback.
void deleteRowsOfKey(data::Dataset& rows, const QString& table, const QVariantList& key,
                     std::optional<Memento>& selected) {
    rows.close();
    rows.setQuery(data::ProjectQuery::ofKey(table, key));
    rows.open();
    selected = rows.memento();
    while (!rows.isEmpty()) {
        rows.first();
        rows.remove();
    }
}

void restoreIfSelected(data::Dataset& rows, const std::optional<Memento>& selected) {
    if (selected) {
        rows.restore(*selected);
    }
}

}  // namespace

QVariantList currentProjectKey(const data::Dataset& projects) {
    QVariantList key;
    for (const char* column : data::kKeyColumns) {
        key << projects.value(QString::fromLatin1(column));
    }
    return key;
}

void deleteProject(data::Dataset& projects, data::Dataset& priorRows, data::Dataset& staffRows) {
    if (!projects.isOpen() || projects.currentRow() < 0) {
        throw Error(QStringLiteral("没有可删除的项目"));
    }
    data::Connection* connection = projects.connection();
    if (!connection) {
        throw Error(QStringLiteral("Dataset %1: no connection").arg(projects.objectName()));
    }
    const QVariantList key = currentProjectKey(projects);
    const Memento projectsBefore = projects.memento();
    std::optional<Memento> priorSelected;
    std::optional<Memento> staffSelected;
    // The lists show the project's rows gone (or, after a failure, as they were), not each row as
    // it is deleted.
    data::Dataset::QuietScope quiet{&projects, &priorRows, &staffRows};

    data::Transaction transaction(*connection);
    try {
        deleteRowsOfKey(priorRows, data::kPriorProjectTable, key, priorSelected);
        deleteRowsOfKey(staffRows, data::kStaffTable, key, staffSelected);
        projects.remove();
        transaction.commit();
    } catch (...) {
        try {
            transaction.rollback();
        } catch (...) {
            // The connection itself failed; the original error is the one to report.
        }
        projects.restore(projectsBefore);
        restoreIfSelected(priorRows, priorSelected);
        restoreIfSelected(staffRows, staffSelected);
        throw;
    }
}

}  // namespace meridell::lists
