#include "exchange/ImportReportWindow.h"

#include "common/core/Error.h"
#include "ui/Buttons.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace meridell::exchange {

ImportReportWindow::ImportReportWindow(ui::Shell& context, BatchReport report, QWidget* parent)
    : QDialog(parent), context_(context), report_(std::move(report)) {
    setObjectName("importReportWindow");
    setWindowTitle(QStringLiteral("导入报告"));
    setAccessibleName(windowTitle());
    resize(900, 480);
    auto* layout = new QVBoxLayout(this);

    Label1 = new QLabel(batchSummary(report_), this);
    Label1->setObjectName("Label1");
    Label1->setAccessibleName(Label1->text());
    Label1->setWordWrap(true);
    layout->addWidget(Label1);

    ReportTree = new QTreeWidget(this);
    ReportTree->setObjectName("ReportTree");
    ReportTree->setAccessibleName(QStringLiteral("各数据文件的导入结果"));
    ReportTree->setHeaderLabels({QStringLiteral("数据文件 / 项目名称"), QStringLiteral("项目负责人"),
                                 QStringLiteral("承担单位"), QStringLiteral("结果")});
    ReportTree->setColumnWidth(0, 220);
    ReportTree->setColumnWidth(1, 80);
    ReportTree->setColumnWidth(2, 150);
    ReportTree->header()->setStretchLastSection(true);
    ReportTree->setWordWrap(true);
    ReportTree->setUniformRowHeights(false);
    layout->addWidget(ReportTree, 1);
    fillTree();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    SaveButton = ui::namedButton(this, "SaveButton", QStringLiteral("保存为电子表格"), context_,
                                 [this] { SaveButtonClick(); });
    CloseButton =
        ui::namedButton(this, "CloseButton", QStringLiteral("关闭"), context_, [this] { accept(); });
    CloseButton->setDefault(true);
    buttons->addWidget(SaveButton);
    buttons->addWidget(CloseButton);
    layout->addLayout(buttons);
}

void ImportReportWindow::fillTree() {
    for (const ArchiveReport& archive : report_.archives) {
        auto* line = new QTreeWidgetItem(
            ReportTree, {archive.fileName(), QString(), QString(), archiveResultText(archive)});
        line->setToolTip(0, QDir::toNativeSeparators(archive.file));
        line->setToolTip(3, archiveResultText(archive));
        if (!archive.read) {
            line->setForeground(3, QColor(Qt::darkGray));
        } else if (!archive.outcome.finished) {
            line->setForeground(3, QColor(Qt::red));
        }
        for (const RefusedProject& p : archive.outcome.counts.refusedProjects) {
            auto* refused = new QTreeWidgetItem(line, {p.projectname, p.projectman, p.takeunit1,
                                                       QStringLiteral("已经存在，由于重复而未导入")});
            refused->setToolTip(0, p.projectname);
        }
        line->setExpanded(true);
    }
}

// 保存为电子表格: the report as an .xlsx file the user names.
void ImportReportWindow::SaveButtonClick() {
    ui::MessageService& messages = context_.messages();
    const QString path =
        messages.chooseSaveFile(QStringLiteral("保存导入报告"), QString(),
                                QStringLiteral("Excel 工作簿 (*.xlsx)"), QStringLiteral("xlsx"));
    if (path.isEmpty()) {
        return;
    }
    try {
        saveBatchReport(report_, path);
    } catch (const Error& e) {
        messages.inform(e.text());
        return;
    }
    messages.inform(QStringLiteral("导入报告已保存到“%1”。").arg(QDir::toNativeSeparators(path)));
}

}  // namespace meridell::exchange
