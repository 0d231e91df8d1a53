#pragma once

#include "data/Connection.h"
#include "data/Dataset.h"

#include <QObject>
#include <QString>

namespace meridell::data {

// Fixed places inside the application folder of a program running in place.
QString mainDatabasePath(const QString& appDir);      // source/project.mdb
QString exchangeDatabasePath(const QString& appDir);  // zip/project.mdb
QString stagingDir(const QString& appDir);            // zip

// The databases object: the two connections and the auxiliary queries of the import and the query page.
class Databases : public QObject {
    Q_OBJECT
public:
    explicit Databases(QObject* parent = nullptr);
    ~Databases() override;

    Connection mainConnection{"mainConnection"};  // main: source/project.mdb, open for the whole run
    Connection exchangeConnection{
        "exchangeConnection"};  // exchange: zip/project.mdb, open only while importing

    Dataset projectCopy{"projectCopy"};          // destination of imported table1 rows
    Dataset pastProjectCopy{"pastProjectCopy"};  // destination of imported table2 rows
    Dataset staffCopy{"staffCopy"};              // destination of imported table3 rows
    Dataset projectCount{"projectCount"};        // count of all projects (query page)
    Dataset duplicateLookup{"duplicateLookup"};  // duplicate lookup by project key
    Dataset submittedRows{"submittedRows"};      // source rows of a submitted database

    // Binds the auxiliary queries: the first five to the main connection, submittedRows to the exchange one.
    void bindQueries();
};

}  // namespace meridell::data
