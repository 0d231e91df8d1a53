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

}  // namespace meridell::word
