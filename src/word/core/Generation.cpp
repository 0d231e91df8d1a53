#include "word/core/Generation.h"

#include "word/core/Document.h"

#include <QDir>
#include <QTemporaryFile>

#include <exception>

namespace meridell::word {

DocumentKind designTaskBook() {
    return {QStringLiteral("source/bookreport.doc"), QStringLiteral("设计任务书模板.doc"),
            QStringLiteral("设计任务书.doc"), messages::kConnectRetry, messages::kSaveConflict};
}

DocumentKind projectList(bool fromQueryPage) {
    return {QStringLiteral("source/projectlist.doc"), QStringLiteral("项目列表模板.doc"),
            QStringLiteral("项目列表.doc"),
            fromQueryPage ? messages::kConnectRetryQueryList : messages::kConnectRetry,
            messages::kListSaveConflict};
}

bool folderTakesFiles(const QString& folder) {
    QTemporaryFile probe(folder + QStringLiteral("/.meridell-XXXXXX"));
    return probe.open();
}

QString saveFailureMessage(const QString& folder, const QString& otherwise) {
    return folderTakesFiles(folder) ? otherwise
                                    : messages::kFolderNotWritable.arg(QDir::toNativeSeparators(folder));
}

namespace {

// Ends a run that failed from the working copy on: the document is dropped unsaved and the
// application told to quit.
void abandon(GenerationContext& context, Document& document) {
    document.close();
    try {
        context.word.quit();
    } catch (const std::exception&) {
        // The run is over either way.
    }
}

}  // namespace

QString generate(GenerationContext& context, const DocumentKind& kind,
                 const std::function<void(Document&)>& fill) {
    const QString templatePath = context.places.readOnlyDir + "/" + kind.templateName;
    const QString& folder = context.places.documentsDir;
    try {
        context.word.connect();
    } catch (const std::exception&) {
        context.inform(context.firstAttempt ? kind.connectRetry : messages::kNoWord);
        context.firstAttempt = false;
        return {};
    }
    context.word.show(QStringLiteral("软科学项目"));

    Document document;
    try {
        document.open(templatePath);
    } catch (const std::exception&) {
        context.inform(messages::kTemplateConflict);
        return {};
    }
    try {
        QDir().mkpath(folder);  // an installed program makes the user's documents folder on first use
        document.saveAs(folder + "/" + kind.workingName);
    } catch (const std::exception&) {
        abandon(context, document);
        context.inform(saveFailureMessage(folder, messages::kSaveConflict));
        return {};
    }
    try {
        fill(document);
    } catch (const std::exception&) {
        context.inform(messages::kFillFailed);
        abandon(context, document);
        return {};
    }
    const QString outputPath = folder + "/" + kind.outputName;
    try {
        document.saveAs(outputPath);
    } catch (const std::exception&) {
        abandon(context, document);
        context.inform(saveFailureMessage(folder, kind.outputConflict));
        return {};
    }
    context.firstAttempt = true;
    return outputPath;
}

}  // namespace meridell::word
