#pragma once

#include "data/Dataset.h"
#include "data/ProjectDatabaseCheck.h"
#include "data/ProjectQuery.h"
#include "data/Schema.h"
#include "data/ScratchDatabase.h"
#include "data/ServerDatabase.h"

#include <QVariantMap>

#include <memory>

namespace meridell::test {

inline constexpr int kProjects = 10;

// A value as a reader sees it, whatever type the engine's driver gave it: numbers by their value.
inline QString shown(const QVariant& value) {
    if (value.isNull()) {
        return QStringLiteral("∅");
    }
    switch (value.typeId()) {
        case QMetaType::Double:
        case QMetaType::Int:
        case QMetaType::LongLong:
        case QMetaType::UInt:
        case QMetaType::ULongLong:
            return QString::number(value.toDouble(), 'g', 15);
        default:
            return value.toString();
    }
}

// The same office on both engines: a database file and a database on a throwaway server, each
// with the same ten projects, their prior projects and staff, written through the program's own
// datasets in the same order; then one project changed, which moves it on the server's disk.
class EngineOffices : public data::test::ServerTest {
protected:
    void SetUp() override {
        data::test::ServerTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) {
            return;
        }
        ASSERT_NO_THROW(data::requireProjectDatabase(connection));
        QStringList ddl;
        for (const data::TableDef* t : data::allTables()) {
            ddl << data::createTableSql(*t);
            if (t != &data::table1()) {
                ddl << data::createKeyIndexSql(*t);
            }
        }
        ddl << data::createYearIndexSql();
        file_ = std::make_unique<data::test::ScratchDatabase>(ddl);
        for (data::Connection* c : {&file_->connection, &connection}) {
            ASSERT_NO_THROW(fill(*c));
        }
    }

    data::Connection& file() { return file_->connection; }
    data::Connection& server() { return connection; }

    static void append(data::Dataset& rows, const QVariantMap& values) {
        rows.append();
        for (auto it = values.begin(); it != values.end(); ++it) {
            rows.setValue(it.key(), it.value());
        }
        rows.post();
    }

    static void fill(data::Connection& c) {
        const QStringList columns{"projectname",   "projectman", "takeunit1", "classcode",
                                  "projectdomain", "character",  "director",  "technicalstandard",
                                  "degree",        "sex",        "yearstart", "cost",
                                  "projectbase"};
        const QVariant none;
        const QVariantList rows[kProjects] = {
            {"城市化研究", "张三", "省社科院", "A01-01", "经济", "科研院所", "省教育厅", "研究员", "博士",
             "男", "2025", 12.5, QStringLiteral("\u3000\t ")},
            {"农村养老保障", "李四", "湖南大学", "B02-03", "社会学", "高等院校", "省教育厅", "教授", "硕士",
             "女", "2026", 8, "基础扎实"},
            {"阿里模式研究", "王五", "中南大学", "A01-02", "经济", "高等院校", "教育部", "副教授", "博士",
             "男", "2026", none, none},
            {"Zeta Study", "zhao", "O'Neil Institute", "C10", "管理", "企业", none, "讲师", "学士", "女",
             "2024", 3.25, ""},
            {"100%_达成", "钱七", "省社科院", "A01_9", "法学", "科研院所", "省社科联", "研究员", "博士", "男",
             "2025", 20, "有"},
            {"重庆发展", "孙八", "长沙理工大学", "B02-01", "社会学", "高等院校", "省教育厅", "教授", none,
             "男", "2025", 1.75, none},
            {"银行改革", "周九", "省社科院", "a01-03", "经济", "科研院所", "省社科联", "研究员", "博士", "女",
             "2026", 0, "\n有\n"},
            {"曾经研究", "吴十", "湖南大学", "D01", "历史", "高等院校", "教育部", "教授", "硕士", "男", none,
             none, "有"},
            {"长沙银行史", "郑一", "湖南师范大学", "B02-02", "历史", "高等院校", "省教育厅", "副研究员",
             "硕士", "女", "2024", 7.5, "有"},
            {"单位测试", "冯二", "ＡＢＣ研究所", "E05", "经济", "科研院所", "省社科联", none, none, none,
             "2025", 2, "有"},
        };
        data::Dataset projects("projects"), prior("prior"), staff("staff");
        for (auto [rows_, table] :
             {std::pair{&projects, data::kProjectTable}, std::pair{&prior, data::kPriorProjectTable},
              std::pair{&staff, data::kStaffTable}}) {
            rows_->setConnection(&c);
            rows_->setQuery(data::ProjectQuery::allOf(table));
            rows_->open();
        }
        for (const QVariantList& row : rows) {
            QVariantMap values;
            for (int i = 0; i < columns.size(); ++i) {
                values.insert(columns[i], row[i]);
            }
            append(projects, values);
            const QVariantMap key{{"projectname", row[0]}, {"projectman", row[1]}, {"takeunit1", row[2]}};
            QVariantMap leader = key;
            leader.insert("name", row[1]);
            leader.insert("idcard", row[1] == QVariant("李四") ? "43010119800101001X" : "123");
            append(staff, leader);
            if (row[3].toString().startsWith(u'B')) {
                QVariantMap past = key;
                past.insert("name", QStringLiteral("前期项目"));
                append(prior, past);
            }
        }
        // The first project changed afterwards: a server writes the changed row anew at the end.
        projects.first();
        projects.edit();
        projects.setValue("telephone", QStringLiteral("0731-1234567"));
        projects.setValue("registerdate", QStringLiteral("2024-05-01"));
        projects.post();
    }

private:
    std::unique_ptr<data::test::ScratchDatabase> file_;
};

}  // namespace meridell::test
