#pragma once

#include "data/Connection.h"
#include "data/Dataset.h"

#include <QObject>
#include <QString>

namespace meridell::data {

// Fixed places inside the application folder.
QString mainDatabasePath(const QString& appDir);      // source/project.mdb
QString exchangeDatabasePath(const QString& appDir);  // zip/project.mdb
QString stagingDir(const QString& appDir);            // zip

// The data module: the two connections and the auxiliary queries of the import and the query page.
class TDataModuleForm : public QObject {
    Q_OBJECT
public:
    explicit TDataModuleForm(QObject* parent = nullptr);
    ~TDataModuleForm() override;

    Connection ADOConnection1{"ADOConnection1"};  // main: source/project.mdb, open for the whole run
    Connection ADOConnection2{"ADOConnection2"};  // exchange: zip/project.mdb, open only while importing

    Dataset ADOQueryCopy1{"ADOQueryCopy1"};    // destination of imported table1 rows
    Dataset ADOQueryCopy2{"ADOQueryCopy2"};    // destination of imported table2 rows
    Dataset ADOQueryCopy3{"ADOQueryCopy3"};    // destination of imported table3 rows
    Dataset ADOQueryTemp{"ADOQueryTemp"};      // count of all projects (query page)
    Dataset ADOQuerySelect{"ADOQuerySelect"};  // duplicate lookup by project key
    Dataset ADOQueryMedia{"ADOQueryMedia"};    // source rows of a submitted database

    // Binds the auxiliary queries: the first five to the main connection, ADOQueryMedia to the exchange one.
    void bindQueries();
};

}  // namespace meridell::data
