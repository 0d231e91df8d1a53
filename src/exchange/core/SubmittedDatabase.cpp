#include "exchange/core/SubmittedDatabase.h"

#include "common/core/Error.h"

namespace meridell::exchange {

void refuseSubmission(const QString& why) {
    throw Error(QStringLiteral("提交的数据文件不是项目数据库：%1").arg(why));
}

namespace {

using Reason = data::SubmissionRefused::Reason;

// The sentence of a reason, with %1, %2 ... for its details in order.
QString sentenceOf(Reason reason) {
    switch (reason) {
        case Reason::Unavailable:
            return QStringLiteral("数据库连接不可用");
        case Reason::SettingRefused:
            return QStringLiteral("数据库不接受安全设置 %1");
        case Reason::EngineFailure:
            return QStringLiteral("%1");
        case Reason::ForeignEntry:
            return QStringLiteral("含有不属于项目数据库的 %1 %2");
        case Reason::NotPlainTable:
            return QStringLiteral("%1 不是带行号的普通数据表（%2%3）");
        case Reason::ForeignTable:
            return QStringLiteral("含有不属于项目数据库的表 %1");
        case Reason::ComputedColumn:
            return QStringLiteral("%1 的列 %2 是计算列");
        case Reason::PartialIndex:
            return QStringLiteral("%1 的索引 %2 带有条件");
        case Reason::ExpressionIndex:
            return QStringLiteral("%1 的索引 %2 建在表达式上");
        case Reason::TooFewColumns:
            return QStringLiteral("%1 的列数不足");
        case Reason::WrongColumn:
            return QStringLiteral("%1 的第%2列不是 %3");
        case Reason::Damaged:
            return QStringLiteral("文件已损坏");
        case Reason::NumberOutOfRange:
            return QStringLiteral("数字列中有超出范围的数值");
        case Reason::NumberText:
            return QStringLiteral("数字列中有文字“%1”");
        case Reason::NumberBlob:
            return QStringLiteral("数字列中有二进制数据");
        case Reason::UnreadableKey:
            return QStringLiteral("项目名称、项目负责人或承担单位中有无法识别的文字");
        case Reason::UnreadableText:
            return QStringLiteral("%1 列中有无法识别的文字");
    }
    return QStringLiteral("%1");
}

}  // namespace

QString refusalReason(const data::SubmissionRefused& refusal) {
    QStringList details = refusal.details();
    if (refusal.reason() == Reason::NotPlainTable && details.size() == 3 && !details[2].isEmpty()) {
        details[2] = QStringLiteral("，无行号");
    }
    const QString text = sentenceOf(refusal.reason());
    switch (details.size()) {
        case 0:
            return text;
        case 1:
            return text.arg(details[0]);
        case 2:
            return text.arg(details[0], details[1]);
        default:
            return text.arg(details[0], details[1], details[2]);
    }
}

QVariant submittedNumber(const QVariant& value) {
    return refusingSubmission([&] { return data::submittedNumber(value); });
}

}  // namespace meridell::exchange
