#include "word/DocumentCommands.h"

#include "app/AppContext.h"
#include "app/MessageService.h"
#include "common/core/Error.h"
#include "exchange/ProgressBarUnit.h"
#include "record/InformationUnit.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"
#include "word/core/Generation.h"
#include "word/core/PdfExport.h"
#include "word/core/TaskBookBatch.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

namespace meridell::word {

namespace {

// Where no viewer starts, the user learns where the document lies, to open it with a program of
// their choice.
QString savedWithoutViewerMessage(const QString& path) {
    return QStringLiteral(
               "文档已保存为：\n%1\n本机没有找到可以打开它的程序，请您用Word、WPS或LibreOffice打开该文件。")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()));
}

// The wait cursor for as long as a command works.
struct BusyCursor {
    BusyCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~BusyCursor() { QApplication::restoreOverrideCursor(); }
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

PdfConverter converterOf(const app::AppContext& context) {
    PdfConverter converter = applicationPdfConverter(context.appDir());
    converter.program = context.officeProgram;
    return converter;
}

// Runs the generation procedure; returns the output document, empty when the run failed (and has
// said why).
QString run(app::AppContext& context, const DocumentKind& kind, const std::function<void(Document&)>& fill) {
    QString output;
    context.guard([&] {
        OwnWordApplication own;
        GenerationContext generation{
            context.appDir(), context.wordApplication ? *context.wordApplication : own,
            context.WordFirstAttempt, [&context](const QString& text) { context.messages().inform(text); }};
        output = generate(generation, kind, fill);
    });
    return output;
}

void openWhenAsked(app::AppContext& context, const QString& path) {
    if (!path.isEmpty() && context.openDocuments && !context.messages().openDocument(path)) {
        context.messages().inform(savedWithoutViewerMessage(path));
    }
}

// The document, then its PDF beside it.
void runPdf(app::AppContext& context, const DocumentKind& kind, const std::function<void(Document&)>& fill) {
    BusyCursor busy;
    const QString document = run(context, kind, fill);
    if (document.isEmpty()) {
        return;
    }
    try {
        QStringList pdf = converterOf(context).convert({document}, context.appDir());
        openWhenAsked(context, pdf.value(0));
    } catch (const std::exception& e) {
        context.messages().inform(errorText(e));
    }
}

std::function<void(Document&)> taskBookFill(app::AppContext& context) {
    record::TInformationForm& form = *context.InformationForm;
    return [&form](Document& document) {
        fillDesignTaskBook(document, form.ADOQuery1, form.ADOQuery2, form.ADOQuery3);
    };
}

std::function<void(Document&)> listFill(app::AppContext& context) {
    record::TInformationForm& form = *context.InformationForm;
    return [&form](Document& document) { fillProjectList(document, form.ADOQuery1); };
}

}  // namespace

void generateDesignTaskBook(app::AppContext& context, Origin) {
    openWhenAsked(context, run(context, designTaskBook(), taskBookFill(context)));
}

void generateProjectList(app::AppContext& context, Origin origin) {
    openWhenAsked(context, run(context, projectList(origin == Origin::QueryPage), listFill(context)));
}

void generateDesignTaskBookPdf(app::AppContext& context, Origin) {
    runPdf(context, designTaskBook(), taskBookFill(context));
}

void generateProjectListPdf(app::AppContext& context, Origin origin) {
    runPdf(context, projectList(origin == Origin::QueryPage), listFill(context));
}

void generateAllTaskBooks(app::AppContext& context) {
    record::TInformationForm& form = *context.InformationForm;
    if (form.ADOQuery1.recordCount() == 0) {
        context.messages().inform(batchmessages::kNoProjects);
        return;
    }
    const QString folder = context.messages().chooseFolder(batchmessages::kChooseFolder, QDir::homePath());
    if (folder.isEmpty()) {
        return;
    }
    exchange::TProgressBarForm& progress = *context.ProgressBarForm;
    const QString title = progress.windowTitle();
    progress.setWindowTitle(batchmessages::kProgressTitle);
    progress.setPosition(0);
    context.messages().showWindow(progress);
    int written = 0;
    QString failure;
    {
        BusyCursor busy;
        const PdfConverter converter = converterOf(context);
        BatchContext batch{context.appDir(), converter,
                           [&progress](int value) { progress.setPosition(value); }};
        try {
            written = writeAllTaskBooks(batch, form.ADOQuery1, form.ADOQuery2, form.ADOQuery3, folder);
        } catch (const std::exception& e) {
            failure = errorText(e);
        }
    }
    progress.hide();
    progress.setWindowTitle(title);
    context.messages().inform(failure.isEmpty()
                                  ? batchmessages::kDone.arg(written).arg(QDir::toNativeSeparators(folder))
                                  : failure);
}

}  // namespace meridell::word
