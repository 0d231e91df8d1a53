#include "word/DocumentCommands.h"

#include "app/AppContext.h"
#include "app/MessageService.h"
#include "record/InformationUnit.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"
#include "word/core/Generation.h"

namespace meridell::word {

namespace {

void run(app::AppContext& context, const DocumentKind& kind, const std::function<void(Document&)>& fill) {
    // A failure outside the guarded stages reaches the standard error report.
    context.guard([&] {
        OwnWordApplication own;
        GenerationContext generation{
            context.appDir(), context.wordApplication ? *context.wordApplication : own,
            context.WordFirstAttempt, [&context](const QString& text) { context.messages().inform(text); }};
        QString output = generate(generation, kind, fill);
        if (!output.isEmpty() && context.openDocuments) {
            context.messages().openDocument(output);
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
