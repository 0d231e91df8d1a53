#include "data/Choices.h"

namespace meridell::data {

namespace {

QStringList numbered(int from, int to, int width) {
    QStringList out;
    for (int i = from; i <= to; ++i) {
        out << QStringLiteral("%1").arg(i, width, 10, QLatin1Char('0'));
    }
    return out;
}

}  // namespace

ChoiceList choicesOfColumn(const QString& column) {
    if (column == "projectdomain") {
        return {{"社会发展",
                 "宏观经济战略与管理",
                 "经济科技体制改革",
                 "农业与农村发展",
                 "环保、资源利用与可持续发展",
                 "高新技术及其产业发展",
                 "科技管理",
                 "科技政策",
                 "知识产权管理",
                 "技术创新与管理",
                 "信息经济与信息管理",
                 "金融与财税管理",
                 "区域发展",
                 "产业发展",
                 "企业管理",
                 "人才与人力资源管理",
                 "公共政策",
                 "公共管理",
                 "软科学理论和方法",
                 "其它"},
                20};
    }
    if (column == "code") {
        return {numbered(1, 20, 2), 20};
    }
    if (column == "monthstart" || column == "monthend") {
        return {numbered(1, 12, 2), 12};
    }
    if (column == "sex") {
        return {{"男", "女"}, 0};
    }
    if (column == "technicalstandard") {
        return {{"讲师", "副教授", "教授", "研究员", "副研究员", "助理研究员", "教授级高工(农)", "高工(农)",
                 "工程师(农)", "经济师", "高级经济师", "其它"},
                0};
    }
    if (column == "degree") {
        return {{"学士", "硕士", "博士", "其它"}, 0};
    }
    if (column == "degreecountry") {
        return {{"中国", "中国台湾", "中国香港", "美国", "加拿大", "英国", "德国", "法国", "原苏联", "俄罗斯",
                 "意大利", "澳大利亚", "日本", "韩国", "新加坡", "印度", "墨西哥", "巴西", "南非"},
                0};
    }
    if (column == "character") {
        return {{"高等院校", "科研单位", "政府机关", "其它"}, 0};
    }
    return {};
}

}  // namespace meridell::data
