#include "exchange/core/OfficeCopy.h"

#include "data/Connection.h"
#include "data/ProjectDatabaseCheck.h"
#include "data/SubmittedDatabase.h"
#include "exchange/core/SubmissionCopy.h"
#include "exchange/core/SubmittedDatabase.h"

#include <QFileInfo>
#include <QUuid>

namespace meridell::exchange {

QString officeCopyText(const OfficeCopyCounts& counts) {
    return QStringLiteral("已复制%1个项目，%2个项目已经存在，未重复复制。")
        .arg(counts.copied)
        .arg(counts.present);
}

void openCopySource(data::Connection& source, const QString& path) {
    source.close();
    if (!QFileInfo(path).isFile()) {
        throw data::DatabaseError(data::DatabaseError::Cause::CannotOpen, path);
    }
    source.setDatabaseFile(path);
    source.setReadOnly(true);
    source.open();
    refusingSubmission([&] {
        data::hardenSubmittedConnection(source);
        data::checkSubmittedColumns(data::checkSubmittedCatalogue(source));
        data::checkSubmittedNumbers(source);
    });
}

OfficeCopyCounts copyOfficeDatabase(data::Connection& office, data::Connection& source,
                                    const Progress& progress) {
    const ImportCounts counts = copySubmittedRows(office, source, progress);
    return {counts.total - counts.refused, counts.refused};
}

OfficeCopyCounts copyOfficeDatabase(const QString& officeAddress, const QString& sourcePath) {
    const QString unique = QUuid::createUuid().toString(QUuid::WithoutBraces);
    data::Connection office(QStringLiteral("office-copy-") + unique);
    data::Connection source(QStringLiteral("office-copy-source-") + unique);
    openCopySource(source, sourcePath);
    office.setDatabase(officeAddress);
    office.open();
    data::requireProjectDatabase(office);  // on a server, an empty database gets the tables first
    return copyOfficeDatabase(office, source);
}

}  // namespace meridell::exchange
