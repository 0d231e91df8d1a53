#pragma once

#include "common/core/AppPlaces.h"

#include <QString>

#include <functional>

namespace meridell::word {

class Document;

// The application documents are made with ("connecting to Word"). A run connects, shows it, and
// after a failure from the working copy on tells it to quit.
class WordApplication {
public:
    virtual ~WordApplication() = default;
    // Throws meridell::Error when the application cannot be reached.
    virtual void connect() = 0;
    virtual void show(const QString& caption) = 0;
    virtual void quit() = 0;
};

// The program's own document writer: always at hand, with no window to show and nothing to end.
class OwnWordApplication : public WordApplication {
public:
    void connect() override {}
    void show(const QString&) override {}
    void quit() override {}
};

// The messages of a generation run.
namespace messages {
inline const QString kConnectRetry = QStringLiteral("对不起，由于Office后台服务配置的问题，您需要重试一遍！");
inline const QString kConnectRetryQueryList =
    QStringLiteral("对不起，由于Office后台服务配置的问题，请重试一遍！");
inline const QString kNoWord = QStringLiteral("对不起，系统没有找到Word应用程序！");
inline const QString kTemplateConflict =
    QStringLiteral("系统和某些已打开的Word文档冲突，您需要关闭该Word文档！");
inline const QString kSaveConflict = QStringLiteral("系统和某些已打开的Word文档冲突，请您重试一遍！");
inline const QString kListSaveConflict = QStringLiteral("系统和某些已打开的Word文档冲突！");
inline const QString kFillFailed = QStringLiteral("对不起，Word报表初始化失败！");
inline const QString kFolderNotWritable =
    QStringLiteral("对不起，文件夹“%1”不能写入（它可能是只读的，或者您没有写入它的权限），文档没有保存。");
}  // namespace messages

// Whether a new file can be made in `folder`, tried by making one and removing it again.
bool folderTakesFiles(const QString& folder);
// The message for a file that could not be saved in `folder`: the folder's own when it takes no
// files, otherwise `otherwise`.
QString saveFailureMessage(const QString& folder, const QString& otherwise);

// The files and wording of one kind of document.
struct DocumentKind {
    QString templateName;  // relative to the folder of the read-only files
    QString workingName;   // the copy saved before filling, in the documents folder
    QString outputName;    // the filled document
    QString connectRetry;  // shown when the first attempt to connect fails
    QString outputConflict;
};

DocumentKind designTaskBook();
// The query page words its retry message for the project list differently.
DocumentKind projectList(bool fromQueryPage);

// What a run needs from the program.
struct GenerationContext {
    AppPlaces places;  // the template from its read-only folder, the documents into theirs
    WordApplication& word;
    bool& firstAttempt;  // whether a failure to connect offers a retry; a success sets it again
    std::function<void(const QString&)> inform;
};

// The generation procedure: connect, show, open the template, save the working copy, fill, save
// the output. Each guarded stage that fails shows its message and ends the run. Returns the path
// of the output document, or an empty text when the run failed.
QString generate(GenerationContext& context, const DocumentKind& kind,
                 const std::function<void(Document&)>& fill);

}  // namespace meridell::word
