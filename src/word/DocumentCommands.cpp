#include "word/DocumentCommands.h"

#include "session/ProjectSession.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"
#include "word/core/Generation.h"

namespace meridell::word {

namespace {

void run(ui::Shell& shell, WordApplication* application, const DocumentKind& kind,
         const std::function<void(Document&)>& fill) {
    // A failure outside the guarded stages reaches the standard error report.
    shell.guard([&] {
        OwnWordApplication own;
        GenerationContext generation{shell.appDir(), application ? *application : own, shell.WordFirstAttempt,
                                     [&shell](const QString& text) { shell.messages().inform(text); }};
        QString output = generate(generation, kind, fill);
        if (!output.isEmpty() && shell.openDocuments) {
            shell.messages().openDocument(output);
        }
    });
}

}  // namespace

DocumentCommands::DocumentCommands(ui::Shell& shell, session::ProjectSession& session)
    : shell_(shell), session_(session) {}

void DocumentCommands::generateDesignTaskBook(Origin) {
    session::ProjectSession& s = session_;
    run(shell_, wordApplication, designTaskBook(),
        [&s](Document& document) { fillDesignTaskBook(document, s.ADOQuery1, s.ADOQuery2, s.ADOQuery3); });
}

void DocumentCommands::generateProjectList(Origin origin) {
    session::ProjectSession& s = session_;
    run(shell_, wordApplication, projectList(origin == Origin::QueryPage),
        [&s](Document& document) { fillProjectList(document, s.ADOQuery1); });
}

}  // namespace meridell::word
