#pragma once

#include <QString>

namespace meridell::data::sql {

// The statements the program runs. Every write goes through the row operations of a Dataset.
inline const QString kAllProjects = QStringLiteral("Select * from table1");
inline const QString kAllPriorProjects = QStringLiteral("Select * from table2");
inline const QString kAllStaff = QStringLiteral("Select * from table3");
inline const QString kInitialProjects = QStringLiteral("select * from table1");
inline const QString kInitialPriorProjects = QStringLiteral("select * from table2");
inline const QString kInitialStaff = QStringLiteral("select * from table3");
inline const QString kPriorProjectsOfKey = QStringLiteral(
    "Select * from table2 where projectname=:text1 and projectman=:text2 and takeunit1=:text3");
inline const QString kStaffOfKey = QStringLiteral(
    "Select * from table3 where projectname=:text1 and projectman=:text2 and takeunit1=:text3");
inline const QString kProjectOfKey = QStringLiteral(
    "Select * from table1 where projectname=:text1 and projectman=:text2 and takeunit1=:text3");
inline const QString kPriorProjectSources =
    QStringLiteral("Select * from table2 where projectname is not null");
inline const QString kStaffSources = QStringLiteral("Select * from table3 where projectname is not null");
inline const QString kQueryPrefix = QStringLiteral("select * from table1 where ");

}  // namespace meridell::data::sql
