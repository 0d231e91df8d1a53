#include "word/DocumentCommands.h"

#include "common/core/Error.h"
#include "session/ProjectSession.h"
#include "ui/MessageService.h"
#include "ui/Shell.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"
#include "word/core/Generation.h"
#include "word/core/PdfConversion.h"
#include "word/core/PdfExport.h"
#include "word/core/TaskBookBatch.h"

#include <QApplication>
#include <QDir>
#include <QEventLoop>
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

PdfConverter converterOf(const ui::Shell& shell, const QString& officeProgram, int timeoutMs) {
    PdfConverter converter = applicationPdfConverter(shell.places());
    converter.program = officeProgram;
    converter.timeoutMs = timeoutMs;
    return converter;
}

// Lets `work` run to its end between the program's events, under the progress window with
// "取消". `percent` turns the work's progress into the bar's position.
template <class Work>
void waitUnderProgress(ui::Shell& shell, const QString& title, Work& work,
                       const std::function<int(int)>& percent) {
    shell.showCancellableProgress(title, [&work] { work.cancel(); });
    QEventLoop loop;
    QObject::connect(&work, &Work::progressed, &loop, [&](int value) { shell.setProgress(percent(value)); });
    QObject::connect(&work, &Work::finished, &loop, &QEventLoop::quit);
    if (!work.isFinished()) {
        loop.exec();
    }
    if (!work.isFinished()) {
        work.cancel();  // the program is ending: the work ends with it
    }
    shell.hideProgress();
}

// Runs the generation procedure; returns the output document, empty when the run failed (and has
// said why).
QString run(ui::Shell& shell, WordApplication* application, bool& firstAttempt, const DocumentKind& kind,
            const std::function<void(Document&)>& fill) {
    QString output;
    shell.guard([&] {
        OwnWordApplication own;
        GenerationContext generation{shell.places(), application ? *application : own, firstAttempt,
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
void runPdf(ui::Shell& shell, WordApplication* application, bool& firstAttempt, const PdfConverter& converter,
            const DocumentKind& kind, const std::function<void(Document&)>& fill) {
    QString document;
    {
        BusyCursor busy;
        document = run(shell, application, firstAttempt, kind, fill);
    }
    if (document.isEmpty()) {
        return;
    }
    if (converter.findProgram().isEmpty()) {
        shell.messages().inform(pdfmessages::kNoOffice);
        return;
    }
    PdfConversion conversion(converter);
    const QString pdf = pdfBeside(document, shell.places().documentsDir);
    conversion.add(document, pdf);
    conversion.close();
    waitUnderProgress(shell, pdfmessages::kProgressTitle, conversion, [](int done) { return done * 100; });
    if (conversion.wasCancelled()) {
        shell.messages().inform(pdfmessages::kCancelled);
    } else if (!conversion.failure().isEmpty()) {
        shell.messages().inform(conversion.failure());
    } else {
        openWhenAsked(shell, pdf);
    }
}

std::function<void(Document&)> taskBookFill(session::ProjectSession& s) {
    return [&s](Document& document) {
        fillDesignTaskBook(document, s.projectQuery, s.pastProjectsQuery, s.staffQuery);
    };
}

std::function<void(Document&)> listFill(session::ProjectSession& s) {
    return [&s](Document& document) { fillProjectList(document, s.projectQuery); };
}

}  // namespace

DocumentCommands::DocumentCommands(ui::Shell& shell, session::ProjectSession& session)
    : shell_(shell), session_(session) {}

void DocumentCommands::generateDesignTaskBook(Origin) {
    openWhenAsked(shell_,
                  run(shell_, wordApplication, firstAttempt, designTaskBook(), taskBookFill(session_)));
}

void DocumentCommands::generateProjectList(Origin origin) {
    openWhenAsked(shell_, run(shell_, wordApplication, firstAttempt, projectList(origin == Origin::QueryPage),
                              listFill(session_)));
}

void DocumentCommands::generateDesignTaskBookPdf(Origin) {
    runPdf(shell_, wordApplication, firstAttempt, converterOf(shell_, officeProgram, pdfTimeoutMs),
           designTaskBook(), taskBookFill(session_));
}

void DocumentCommands::generateProjectListPdf(Origin origin) {
    runPdf(shell_, wordApplication, firstAttempt, converterOf(shell_, officeProgram, pdfTimeoutMs),
           projectList(origin == Origin::QueryPage), listFill(session_));
}

void DocumentCommands::generateAllTaskBooks() {
    session::ProjectSession& s = session_;
    if (s.projectQuery.recordCount() == 0) {
        shell_.messages().inform(batchmessages::kNoProjects);
        return;
    }
    const QString folder = shell_.messages().chooseFolder(batchmessages::kChooseFolder, QDir::homePath());
    if (folder.isEmpty()) {
        return;
    }
    const PdfConverter converter = converterOf(shell_, officeProgram, pdfTimeoutMs);
    BatchContext context{shell_.places().readOnlyDir, converter, {}};
    TaskBookBatch batch(context, s.projectQuery, s.pastProjectsQuery, s.staffQuery, folder);
    batch.start();
    waitUnderProgress(shell_, batchmessages::kProgressTitle, batch, [](int percent) { return percent; });
    const QString shown = QDir::toNativeSeparators(folder);
    if (batch.wasCancelled()) {
        shell_.messages().inform(
            batchmessages::kCancelled.arg(batch.documentsWritten()).arg(batch.pdfsWritten()).arg(shown));
    } else if (!batch.failure().isEmpty()) {
        shell_.messages().inform(explainedErrorText(batch.failure()));
    } else {
        shell_.messages().inform(batchmessages::kDone.arg(batch.documentsWritten()).arg(shown));
    }
}

}  // namespace meridell::word
