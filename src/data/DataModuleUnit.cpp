#include "data/DataModuleUnit.h"

#include "data/Statements.h"

namespace meridell::data {

QString mainDatabasePath(const QString& appDir) {
    return appDir + "/source/project.mdb";
}
QString exchangeDatabasePath(const QString& appDir) {
    return appDir + "/zip/project.mdb";
}
QString stagingDir(const QString& appDir) {
    return appDir + "/zip";
}

TDataModuleForm::TDataModuleForm(QObject* parent) : QObject(parent) {
    setObjectName("DataModuleForm");
    ADOQueryCopy1.setSql(sql::kInitialProjects);
    ADOQueryCopy2.setSql(sql::kInitialPriorProjects);
    ADOQueryCopy3.setSql(sql::kInitialStaff);
    ADOQueryTemp.setSql(sql::kAllProjects);
    ADOQuerySelect.setSql(sql::kProjectOfKey);
    ADOQueryMedia.setSql(sql::kAllProjects);
}

TDataModuleForm::~TDataModuleForm() {
    for (Dataset* d :
         {&ADOQueryCopy1, &ADOQueryCopy2, &ADOQueryCopy3, &ADOQueryTemp, &ADOQuerySelect, &ADOQueryMedia}) {
        d->setConnection(nullptr);
    }
}

void TDataModuleForm::bindQueries() {
    for (Dataset* d : {&ADOQueryCopy1, &ADOQueryCopy2, &ADOQueryCopy3, &ADOQueryTemp, &ADOQuerySelect}) {
        d->setConnection(&ADOConnection1);
    }
    ADOQueryMedia.setConnection(&ADOConnection2);
}

}  // namespace meridell::data
