#include "word/DocumentCommands.h"

#include "common/core/Error.h"
#include "session/ProjectSession.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"
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

PdfConverter converterOf(const ui::Shell& shell, const QString& officeProgram) {
    PdfConverter converter = applicationPdfConverter(shell.appDir());
    converter.program = officeProgram;
    return converter;
}

// Runs the generation procedure; returns the output document, empty when the run failed (and has
// said why).
QString run(ui::Shell& shell, WordApplication* application, const DocumentKind& kind,
            const std::function<void(Document&)>& fill) {
    QString output;
    shell.guard([&] {
        OwnWordApplication own;
        GenerationContext generation{shell.appDir(), application ? *application : own, shell.WordFirstAttempt,
                                     [&shell](const QString& text) { shell.messages().inform(text); }};
        output = generate(generation, kind, fill);
    });
    return output;
}

void openWhenAsked(ui::Shell& shell, const QString& path) {
    if (!path.isEmpty() && shell.openDocuments && !shell.messages().openDocument(path)) {
        shell.messages().inform(savedWithoutViewerMessage(path));
    }
}

// The document, then its PDF beside it.
void runPdf(ui::Shell& shell, WordApplication* application, const QString& officeProgram,
            const DocumentKind& kind, const std::function<void(Document&)>& fill) {
    BusyCursor busy;
    const QString document = run(shell, application, kind, fill);
    if (document.isEmpty()) {
        return;
    }
    try {
        QStringList pdf = converterOf(shell, officeProgram).convert({document}, shell.appDir());
        openWhenAsked(shell, pdf.value(0));
    } catch (const std::exception& e) {
        shell.messages().inform(explainedErrorText(errorText(e)));
    }
}

std::function<void(Document&)> taskBookFill(session::ProjectSession& s) {
    return [&s](Document& document) { fillDesignTaskBook(document, s.ADOQuery1, s.ADOQuery2, s.ADOQuery3); };
}

std::function<void(Document&)> listFill(session::ProjectSession& s) {
    return [&s](Document& document) { fillProjectList(document, s.ADOQuery1); };
}

}  // namespace

DocumentCommands::DocumentCommands(ui::Shell& shell, session::ProjectSession& session)
    : shell_(shell), session_(session) {}

void DocumentCommands::generateDesignTaskBook(Origin) {
    openWhenAsked(shell_, run(shell_, wordApplication, designTaskBook(), taskBookFill(session_)));
}

void DocumentCommands::generateProjectList(Origin origin) {
    openWhenAsked(shell_,
                  run(shell_, wordApplication, projectList(origin == Origin::QueryPage), listFill(session_)));
}

void DocumentCommands::generateDesignTaskBookPdf(Origin) {
    runPdf(shell_, wordApplication, officeProgram, designTaskBook(), taskBookFill(session_));
}

void DocumentCommands::generateProjectListPdf(Origin origin) {
    runPdf(shell_, wordApplication, officeProgram, projectList(origin == Origin::QueryPage),
           listFill(session_));
}

void DocumentCommands::generateAllTaskBooks() {
    session::ProjectSession& s = session_;
    if (s.ADOQuery1.recordCount() == 0) {
        shell_.messages().inform(batchmessages::kNoProjects);
        return;
    }
    const QString folder = shell_.messages().chooseFolder(batchmessages::kChooseFolder, QDir::homePath());
    if (folder.isEmpty()) {
        return;
    }
    shell_.showProgress(batchmessages::kProgressTitle);
    int written = 0;
    QString failure;
    {
        BusyCursor busy;
        const PdfConverter converter = converterOf(shell_, officeProgram);
        BatchContext batch{shell_.appDir(), converter, [this](int value) { shell_.setProgress(value); }};
        try {
            written = writeAllTaskBooks(batch, s.ADOQuery1, s.ADOQuery2, s.ADOQuery3, folder);
        } catch (const std::exception& e) {
            failure = explainedErrorText(errorText(e));
        }
    }
    shell_.hideProgress();
    shell_.messages().inform(failure.isEmpty()
                                 ? batchmessages::kDone.arg(written).arg(QDir::toNativeSeparators(folder))
                                 : failure);
}

}  // namespace meridell::word
