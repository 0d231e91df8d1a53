#include "word/DocumentCommands.h"

#include "app/AppContext.h"
#include "app/MessageService.h"
#include "record/InformationUnit.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"
#include "word/core/Generation.h"

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

void run(app::AppContext& context, const DocumentKind& kind, const std::function<void(Document&)>& fill) {
    // A failure outside the guarded stages reaches the standard error report.
    context.guard([&] {
        OwnWordApplication own;
        GenerationContext generation{
            context.appDir(), context.wordApplication ? *context.wordApplication : own,
            context.WordFirstAttempt, [&context](const QString& text) { context.messages().inform(text); }};
        QString output = generate(generation, kind, fill);
        if (!output.isEmpty() && context.openDocuments && !context.messages().openDocument(output)) {
            context.messages().inform(savedWithoutViewerMessage(output));
        }
    });
}

}  // namespace

void generateDesignTaskBook(app::AppContext& context, Origin) {
    record::TInformationForm& form = *context.InformationForm;
    run(context, designTaskBook(), [&form](Document& document) {
        fillDesignTaskBook(document, form.ADOQuery1, form.ADOQuery2, form.ADOQuery3);
    });
}

void generateProjectList(app::AppContext& context, Origin origin) {
    record::TInformationForm& form = *context.InformationForm;
    run(context, projectList(origin == Origin::QueryPage),
        [&form](Document& document) { fillProjectList(document, form.ADOQuery1); });
}

}  // namespace meridell::word
