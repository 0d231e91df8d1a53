#include "lists/ProjectCommands.h"

#include "common/core/Error.h"
#include "data/Databases.h"
#include "data/Dataset.h"
#include "lists/core/ProjectDeletion.h"
#include "lists/core/ProjectWorkbook.h"
#include "session/ProjectSession.h"
#include "ui/MessageService.h"

#include <QDir>

namespace meridell::lists {

bool deleteCurrentProject(ui::MessageService& messages, session::ProjectSession& session) {
    const data::Dataset& projects = session.projectQuery;
    const bool onProject = projects.isOpen() && projects.currentRow() >= 0;
    if (!messages.confirmDestruction(
            deletionQuestion(onProject ? currentProjectKey(projects) : QVariantList()))) {
        return false;
    }
    deleteProject(session.projectQuery, session.pastProjectsQuery, session.staffQuery);
    return true;
}

void exportProjectWorkbook(ui::MessageService& messages, session::ProjectSession& session) {
    const data::Dataset& projects = session.projectQuery;
    const data::ProjectQuery selection =
        projects.isOpen() && projects.query() ? *projects.query() : data::ProjectQuery::allProjects();
    const QString path =
        messages.chooseSaveFile(QStringLiteral("导出Excel"), QString(),
                                QStringLiteral("Excel 工作簿 (*.xlsx)"), QStringLiteral("xlsx"));
    if (path.isEmpty()) {
        return;
    }
    WorkbookCounts counts;
    try {
        counts = writeProjectWorkbook(session.databases().mainConnection, selection, path);
    } catch (const Error& e) {
        messages.inform(e.text());
        return;
    }
    messages.inform(QStringLiteral("已将%1个项目导出到电子表格“%2”。")
                        .arg(counts.projects)
                        .arg(QDir::toNativeSeparators(path)));
}

}  // namespace meridell::lists
