#pragma once

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

// The two document commands of the list pages, made from the project session's queries.
class DocumentCommands {
public:
    DocumentCommands(ui::Shell& shell, session::ProjectSession& session);

    // The application documents are made with; null means the program's own writer. Tests put one
    // here that cannot be reached.
    WordApplication* wordApplication = nullptr;

    // "生成Word文档": the design task book of the current project of the project query.
    void generateDesignTaskBook(Origin origin);
    // "生成项目列表": the project list document of every project in the project query.
    void generateProjectList(Origin origin);

private:
    ui::Shell& shell_;
    session::ProjectSession& session_;
};

}  // namespace meridell::word
