#include "data/Databases.h"

#include "common/core/AppPlaces.h"

namespace meridell::data {

QString mainDatabasePath(const QString& appDir) {
    return AppPlaces::inPlace(appDir).databasePath;
}
QString exchangeDatabasePath(const QString& appDir) {
    return AppPlaces::inPlace(appDir).submittedDatabasePath();
}
QString stagingDir(const QString& appDir) {
    return AppPlaces::inPlace(appDir).stagingDir;
}

Databases::Databases(QObject* parent) : QObject(parent) {
    setObjectName("databases");
    projectCopy.setQuery(ProjectQuery::allProjects());
    pastProjectCopy.setQuery(ProjectQuery::allOf(kPriorProjectTable));
    staffCopy.setQuery(ProjectQuery::allOf(kStaffTable));
    projectCount.setQuery(ProjectQuery::allProjects());
    duplicateLookup.setQuery(ProjectQuery::ofKey(kProjectTable, {}));
    submittedRows.setQuery(ProjectQuery::allProjects());
}

Databases::~Databases() {
    for (Dataset* d :
         {&projectCopy, &pastProjectCopy, &staffCopy, &projectCount, &duplicateLookup, &submittedRows}) {
        d->setConnection(nullptr);
    }
}

void Databases::bindQueries() {
    for (Dataset* d : {&projectCopy, &pastProjectCopy, &staffCopy, &projectCount, &duplicateLookup}) {
        d->setConnection(&mainConnection);
    }
    submittedRows.setConnection(&exchangeConnection);
}

}  // namespace meridell::data
