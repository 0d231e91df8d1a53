#include "word/core/TaskBookBatch.h"

#include "common/core/Error.h"
#include "data/Dataset.h"
#include "word/core/Document.h"
#include "word/core/Fills.h"
#include "word/core/Generation.h"
#include "word/core/PdfExport.h"

#include <QDir>
#include <QSet>

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

int writeAllTaskBooks(const BatchContext& context, data::Dataset& projects, data::Dataset& prior,
                      data::Dataset& staff, const QString& folder) {
    const int count = projects.recordCount();
    if (count == 0) {
        return 0;
    }
    BackOnRow back{projects, projects.currentRow()};
    const int nameColumn = projects.fieldIndex(QStringLiteral("projectname"));
    QStringList projectNames;
    for (int row = 0; row < count; ++row) {
        projectNames << (nameColumn < 0 ? QString() : projects.valueAt(row, nameColumn).toString());
    }
    const QStringList names = taskBookNames(projectNames);
    const QString templatePath = context.appDir + "/" + designTaskBook().templateName;
    QStringList documents;
    for (int row = 0; row < count; ++row) {
        projects.moveTo(row);
        Document document;
        try {
            document.open(templatePath);
        } catch (const std::exception&) {
            throw Error(messages::kTemplateConflict);
        }
        try {
            fillDesignTaskBook(document, projects, prior, staff);
        } catch (const std::exception&) {
            throw Error(messages::kFillFailed);
        }
        const QString path = folder + "/" + names[row] + ".doc";
        try {
            document.saveAs(path);
        } catch (const std::exception&) {
            throw Error(batchmessages::kCannotWrite.arg(QDir::toNativeSeparators(path)));
        }
        documents << path;
        if (context.progress) {
            context.progress((row + 1) * 50 / count);
        }
    }
    context.converter.convert(documents, folder, [&](int converted) {
        if (context.progress) {
            context.progress(50 + std::min(converted, count) * 50 / count);
        }
    });
    return count;
}

}  // namespace meridell::word
