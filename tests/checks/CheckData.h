#pragma once

#include "support/TestFolder.h"

#include <QString>
#include <QVariantList>
#include <QVariantMap>

#include <functional>

// Projects for the tests of the hand-in check.
namespace meridell::test::checkdata {

extern const QString kName;
extern const QString kMan;
extern const QString kUnit;

// A project with nothing to find: every field of the form filled and consistent.
QVariantMap completeProject();

using Key = QVariantList;  // projectname, projectman, takeunit1
using Children = std::function<void(SqlFile& db, const Key& key)>;

void addPrior(SqlFile& db, const Key& key);
void addStaff(SqlFile& db, const Key& key, const QString& who, const QVariant& idcard);
// One prior project; the leader and one more member, both with sound numbers.
void soundChildren(SqlFile& db, const Key& key);
// Stores `project` in table1 with the rows `children` adds under its key; returns its rowid.
qint64 storeProject(SqlFile& db, const QVariantMap& project, const Children& children = soundChildren);

}  // namespace meridell::test::checkdata
