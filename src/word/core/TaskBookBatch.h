#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>

namespace meridell::data {
class Dataset;
}

namespace meridell::word {

class PdfConverter;
class PdfConversion;

// The messages of writing the task books of many projects at once.
namespace batchmessages {
inline const QString kChooseFolder = QStringLiteral("选择保存设计任务书的文件夹");
inline const QString kNoProjects = QStringLiteral("当前的查询结果中没有项目，没有可以生成的设计任务书。");
inline const QString kCannotWrite = QStringLiteral("对不起，无法写入文件“%1”。");
inline const QString kDone =
    QStringLiteral("已生成%1个项目的设计任务书（Word文档和PDF文档各%1份），保存在文件夹“%2”中。");
inline const QString kProgressTitle = QStringLiteral("正在生成设计任务书......");
inline const QString kCancelled =
    QStringLiteral("已取消生成设计任务书。文件夹“%3”中已有%1份Word文档和%2份PDF文档，都是完整的。");
}  // namespace batchmessages

// A project's name as a file name: the characters that file systems refuse or treat specially
// become "_", blanks and dots at either end are dropped, an overlong name is cut; an empty one
// becomes "设计任务书".
QString safeFileName(const QString& name);
// File names (without extension) for the task books of projects of these names, in their order:
// each safe for a file system, a name taken before (letter case aside) numbered "(2)", "(3)" and on.
QStringList taskBookNames(const QStringList& projectNames);

// What the batch needs from the program.
struct BatchContext {
    QString readOnlyDir;  // where the template is
    const PdfConverter& converter;
    // Position of the progress window, 0 to 100.
    std::function<void(int)> progress;
};

// Writes the design task book of every project of `projects` into `folder`, as a document named
// after the project and its PDF. The documents are written one at a time between the program's
// events, and each is handed to the converter as soon as it is written, whose runs convert
// meanwhile. `projects` is put back on the row it stood on; `prior` and `staff` are pointed at each
// project in turn and left closed.
class TaskBookBatch : public QObject {
    Q_OBJECT
public:
    TaskBookBatch(const BatchContext& context, data::Dataset& projects, data::Dataset& prior,
                  data::Dataset& staff, QString folder, QObject* parent = nullptr);
    ~TaskBookBatch() override;
    TaskBookBatch(const TaskBookBatch&) = delete;
    TaskBookBatch& operator=(const TaskBookBatch&) = delete;

    void start();
    // Stops writing and converting; finished() follows.
    void cancel();

    bool isFinished() const { return finished_; }
    bool wasCancelled() const { return cancelled_; }
    // Empty unless the batch failed: then what the user is told.
    const QString& failure() const { return failure_; }
    int documentsWritten() const { return written_; }
    int pdfsWritten() const;

signals:
    // 0 to 100: the documents make the first half, their PDFs the second.
    void progressed(int percent);
    void finished();

private:
    void writeNext();
    void writeOne();
    void conversionProgressed(int converted);
    void conversionFinished();
    void finish();

    BatchContext context_;
    data::Dataset& projects_;
    data::Dataset& prior_;
    data::Dataset& staff_;
    QString folder_;
    QStringList names_;
    std::unique_ptr<PdfConversion> conversion_;
    int startRow_ = -1;
    int count_ = 0;
    int written_ = 0;
    bool cancelled_ = false;
    bool finished_ = false;
    QString failure_;
};

// Runs a TaskBookBatch to its end, the program's events going on meanwhile. Returns the number of
// projects written. Throws meridell::Error with a Chinese message on failure.
int writeAllTaskBooks(const BatchContext& context, data::Dataset& projects, data::Dataset& prior,
                      data::Dataset& staff, const QString& folder);

}  // namespace meridell::word
