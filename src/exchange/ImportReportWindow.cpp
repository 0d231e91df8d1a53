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

    summaryLabel = new QLabel(batchSummary(report_), this);
    summaryLabel->setObjectName("summaryLabel");
    summaryLabel->setAccessibleName(summaryLabel->text());
    summaryLabel->setWordWrap(true);
    layout->addWidget(summaryLabel);

    reportTree = new QTreeWidget(this);
    reportTree->setObjectName("reportTree");
    reportTree->setAccessibleName(QStringLiteral("各数据文件的导入结果"));
    reportTree->setHeaderLabels({QStringLiteral("数据文件 / 项目名称"), QStringLiteral("项目负责人"),
                                 QStringLiteral("承担单位"), QStringLiteral("结果")});
    reportTree->setColumnWidth(0, 220);
    reportTree->setColumnWidth(1, 80);
    reportTree->setColumnWidth(2, 150);
    reportTree->header()->setStretchLastSection(true);
    reportTree->setWordWrap(true);
    reportTree->setUniformRowHeights(false);
    layout->addWidget(reportTree, 1);
    fillTree();

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    saveButton = ui::namedButton(this, "saveButton", QStringLiteral("保存为电子表格"), context_,
                                 [this] { saveClicked(); });
    closeButton =
        ui::namedButton(this, "closeButton", QStringLiteral("关闭"), context_, [this] { accept(); });
    closeButton->setDefault(true);
    buttons->addWidget(saveButton);
    buttons->addWidget(closeButton);
    layout->addLayout(buttons);
}

void ImportReportWindow::fillTree() {
    for (const ArchiveReport& archive : report_.archives) {
        auto* line = new QTreeWidgetItem(
            reportTree, {archive.fileName(), QString(), QString(), archiveResultText(archive)});
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
void ImportReportWindow::saveClicked() {
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
