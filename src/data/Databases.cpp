#include "data/Databases.h"

#include "common/core/AppPlaces.h"
#include "data/Statements.h"

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
    projectCopy.setSql(sql::kInitialProjects);
    pastProjectCopy.setSql(sql::kInitialPriorProjects);
    staffCopy.setSql(sql::kInitialStaff);
    projectCount.setSql(sql::kAllProjects);
    duplicateLookup.setSql(sql::kProjectOfKey);
    submittedRows.setSql(sql::kAllProjects);
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
