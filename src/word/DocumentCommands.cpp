#include "word/DocumentCommands.h"

#include "session/ProjectSession.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"
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

void run(ui::Shell& shell, WordApplication* application, const DocumentKind& kind,
         const std::function<void(Document&)>& fill) {
    // A failure outside the guarded stages reaches the standard error report.
    shell.guard([&] {
        OwnWordApplication own;
        GenerationContext generation{shell.appDir(), application ? *application : own, shell.WordFirstAttempt,
                                     [&shell](const QString& text) { shell.messages().inform(text); }};
        QString output = generate(generation, kind, fill);
        if (!output.isEmpty() && shell.openDocuments && !shell.messages().openDocument(output)) {
            shell.messages().inform(savedWithoutViewerMessage(output));
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
