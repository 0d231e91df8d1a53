#pragma once

#include <QString>

namespace meridell::session {
class ProjectSession;
}
namespace meridell::ui {
class Shell;
}

namespace meridell::word {

class WordApplication;

// Which page started a generation: the messages of the query page speak of its query result.
enum class Origin { ProjectListPage, QueryPage };

// The document commands of the list pages, made from the project session's queries.
class DocumentCommands {
public:
    DocumentCommands(ui::Shell& shell, session::ProjectSession& session);

    // The application documents are made with; null means the program's own writer. Tests put one
    // here that cannot be reached.
    WordApplication* wordApplication = nullptr;
    // The LibreOffice program PDF files are made with; empty: the one on the search path.
    QString officeProgram;
    // How long LibreOffice may take for one document before it is stopped.
    int pdfTimeoutMs = 60 * 1000;
    // Whether a failure to reach the application is the first since the program started or a
    // document was last made: that one offers a retry, the later ones only say it failed.
    bool firstAttempt = true;

    // "生成Word文档": the design task book of the current project of the project query.
    void generateDesignTaskBook(Origin origin);
    // "生成项目列表": the project list document of every project in the project query.
    void generateProjectList(Origin origin);

    // "生成任务书PDF" and "生成列表PDF" beside the two: the same document, then its PDF (设计任务书.pdf,
    // 项目列表.pdf) in the application folder, opened in the desktop's viewer. The conversion runs
    // between the program's events under the progress window, whose "取消" stops it.
    void generateDesignTaskBookPdf(Origin origin);
    void generateProjectListPdf(Origin origin);

    // "生成全部设计任务书" on the query page: the task book of every project of the query result, as
    // a document and a PDF named after the project, in a folder the user chooses.
    void generateAllTaskBooks();

private:
    ui::Shell& shell_;
    session::ProjectSession& session_;
};

}  // namespace meridell::word
