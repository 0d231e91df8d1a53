#pragma once

namespace meridell::app {
class AppContext;
}

namespace meridell::word {

// Which page started a generation: the messages of the query page speak of its query result.
enum class Origin { ProjectListPage, QueryPage };

// "生成Word文档": the design task book of the current project of the project query.
void generateDesignTaskBook(app::AppContext& context, Origin origin);
// "生成项目列表": the project list document of every project in the project query.
void generateProjectList(app::AppContext& context, Origin origin);

// "生成PDF文档" beside each of the two: the same document, then its PDF (设计任务书.pdf,
// 项目列表.pdf) in the application folder, opened in the desktop's viewer.
void generateDesignTaskBookPdf(app::AppContext& context, Origin origin);
void generateProjectListPdf(app::AppContext& context, Origin origin);

// "生成全部设计任务书" on the query page: the task book of every project of the query result, as
// a document and a PDF named after the project, in a folder the user chooses.
void generateAllTaskBooks(app::AppContext& context);

}  // namespace meridell::word
