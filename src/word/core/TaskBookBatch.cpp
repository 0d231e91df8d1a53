#include "word/core/TaskBookBatch.h"

#include "common/core/Error.h"
#include "data/Dataset.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"
#include "word/core/Generation.h"
#include "word/core/PdfConversion.h"
#include "word/core/PdfExport.h"

#include <QDir>
#include <QEventLoop>
#include <QSet>
#include <QTimer>

#include <exception>

namespace meridell::word {

namespace {

constexpr int kLongestName = 80;  // characters: with ".pdf" well inside any file system's limit

bool refused(QChar c) {
    return c.unicode() < 0x20 || c == QChar(0x7F) || QStringView(u"\\/:*?\"<>|").contains(c);
}

// Puts the form's query back on its row however the batch ends.
struct BackOnRow {
    data::Dataset& projects;
    int row;
    ~BackOnRow() {
        try {
            if (row >= 0 && row < projects.recordCount()) {
                projects.moveTo(row);
            }
        } catch (const std::exception&) {
        }
    }
};

}  // namespace

QString safeFileName(const QString& name) {
    QString safe;
    safe.reserve(name.size());
    for (QChar c : name) {
        safe += refused(c) ? QChar(u'_') : c;
    }
    auto trimmable = [](QChar c) { return c.isSpace() || c == u'.'; };
    qsizetype begin = 0;
    qsizetype end = safe.size();
    while (begin < end && trimmable(safe[begin])) {
        ++begin;
    }
    while (end > begin && trimmable(safe[end - 1])) {
        --end;
    }
    safe = safe.mid(begin, std::min<qsizetype>(end - begin, kLongestName));
    if (!safe.isEmpty() && safe.back().isHighSurrogate()) {
        safe.chop(1);
    }
    while (!safe.isEmpty() && trimmable(safe.back())) {
        safe.chop(1);
    }
    return safe.isEmpty() ? QStringLiteral("设计任务书") : safe;
}

QStringList taskBookNames(const QStringList& projectNames) {
    QStringList names;
    QSet<QString> taken;
    for (const QString& project : projectNames) {
        const QString base = safeFileName(project);
        QString name = base;
        for (int n = 2; taken.contains(name.toCaseFolded()); ++n) {
            name = QStringLiteral("%1(%2)").arg(base).arg(n);
        }
        taken.insert(name.toCaseFolded());
        names << name;
    }
    return names;
}

TaskBookBatch::TaskBookBatch(const BatchContext& context, data::Dataset& projects, data::Dataset& prior,
                             data::Dataset& staff, QString folder, QObject* parent)
    : QObject(parent),
      context_(context),
      projects_(projects),
      prior_(prior),
      staff_(staff),
      folder_(std::move(folder)) {}

TaskBookBatch::~TaskBookBatch() = default;

int TaskBookBatch::pdfsWritten() const {
    return conversion_ ? conversion_->converted() : 0;
}

void TaskBookBatch::start() {
    count_ = projects_.recordCount();
    startRow_ = projects_.currentRow();
    if (count_ == 0) {
        return finish();
    }
    if (!folderTakesFiles(folder_)) {
        failure_ = messages::kFolderNotWritable.arg(QDir::toNativeSeparators(folder_));
        return finish();
    }
    const int nameColumn = projects_.fieldIndex(QStringLiteral("projectname"));
    QStringList projectNames;
    for (int row = 0; row < count_; ++row) {
        projectNames << (nameColumn < 0 ? QString() : projects_.valueAt(row, nameColumn).toString());
    }
    names_ = taskBookNames(projectNames);
    conversion_ = std::make_unique<PdfConversion>(context_.converter);
    conversion_->expect(count_);
    connect(conversion_.get(), &PdfConversion::progressed, this, &TaskBookBatch::conversionProgressed);
    connect(conversion_.get(), &PdfConversion::finished, this, &TaskBookBatch::conversionFinished);
    QTimer::singleShot(0, this, &TaskBookBatch::writeNext);
}

void TaskBookBatch::cancel() {
    if (finished_) {
        return;
    }
    cancelled_ = true;
    if (conversion_) {
        conversion_->cancel();  // its end ends the batch
    } else {
        finish();
    }
}

void TaskBookBatch::writeNext() {
    if (cancelled_ || finished_ || conversion_->isFinished()) {
        return;
    }
    try {
        writeOne();
    } catch (const std::exception& e) {
        failure_ = errorText(e);
        conversion_->cancel();
        return;
    }
    if (written_ < count_) {
        QTimer::singleShot(0, this, &TaskBookBatch::writeNext);
    } else {
        conversion_->close();
    }
}

void TaskBookBatch::writeOne() {
    const int row = written_;
    projects_.moveTo(row);
    Document document;
    try {
        document.open(context_.readOnlyDir + "/" + designTaskBook().templateName);
    } catch (const std::exception&) {
        throw Error(messages::kTemplateConflict);
    }
    try {
        fillDesignTaskBook(document, projects_, prior_, staff_);
    } catch (const std::exception&) {
        throw Error(messages::kFillFailed);
    }
    const QString path = folder_ + "/" + names_[row] + ".doc";
    try {
        document.saveAs(path);
    } catch (const std::exception&) {
        throw Error(
            saveFailureMessage(folder_, batchmessages::kCannotWrite.arg(QDir::toNativeSeparators(path))));
    }
    ++written_;
    conversion_->add(path, pdfBeside(path, folder_));
    conversionProgressed(conversion_->converted());
}

void TaskBookBatch::conversionProgressed(int converted) {
    emit progressed((written_ + std::min(converted, count_)) * 50 / count_);
}

void TaskBookBatch::conversionFinished() {
    if (failure_.isEmpty() && !cancelled_) {
        failure_ = conversion_->failure();
    }
    finish();
}

void TaskBookBatch::finish() {
    if (finished_) {
        return;
    }
    finished_ = true;
    { BackOnRow back{projects_, startRow_}; }
    emit finished();
}

int writeAllTaskBooks(const BatchContext& context, data::Dataset& projects, data::Dataset& prior,
                      data::Dataset& staff, const QString& folder) {
    TaskBookBatch batch(context, projects, prior, staff, folder);
    if (context.progress) {
        QObject::connect(&batch, &TaskBookBatch::progressed, context.progress);
    }
    QEventLoop loop;
    QObject::connect(&batch, &TaskBookBatch::finished, &loop, &QEventLoop::quit);
    batch.start();
    if (!batch.isFinished()) {
        loop.exec();
    }
    if (!batch.failure().isEmpty()) {
        throw Error(batch.failure());
    }
    return batch.documentsWritten();
}

}  // namespace meridell::word
