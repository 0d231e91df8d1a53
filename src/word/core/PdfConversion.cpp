#include "word/core/PdfConversion.h"

#include "word/core/Generation.h"
#include "word/core/OfficeProcess.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QTimer>
#include <QUrl>

#include <algorithm>

namespace meridell::word {

struct PdfConversion::Item {
    QString document;
    QString pdf;
    int id = 0;
    bool placed = false;
};

struct PdfConversion::Worker {
    int index = 0;
    QString profile;
    std::unique_ptr<QLockFile> profileLock;
    OfficeProcess* run = nullptr;  // while busy
    std::vector<Item> items;
    int named = 0;  // documents the run has named so far
    QTimer limit;
};

namespace {

QString withDetail(const QString& message, const QString& detail) {
    return detail.trimmed().isEmpty() ? message : message + "\n" + detail.trimmed();
}

// A PDF as the converter leaves it once done: the header first and the end-of-file mark last.
bool isWholePdf(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() < 16 || file.read(5) != "%PDF-") {
        return false;
    }
    file.seek(std::max<qint64>(0, file.size() - 1024));
    return file.readAll().contains("%%EOF");
}

// The extension of a staged copy: the document's own when it is plain ASCII, else "doc".
QString stagedSuffix(const QString& document) {
    const QString suffix = QFileInfo(document).suffix().toLower();
    const bool plain = !suffix.isEmpty() && std::all_of(suffix.begin(), suffix.end(), [](QChar c) {
        return c.unicode() < 0x80 && c.isLetterOrNumber();
    });
    return plain ? suffix : QStringLiteral("doc");
}

}  // namespace

PdfConversion::PdfConversion(const PdfConverter& converter, QObject* parent)
    : QObject(parent),
      converter_(converter),
      program_(converter.findProgram()),
      staging_(QDir::tempPath() + QStringLiteral("/meridell-pdf-XXXXXX")) {
    if (staging_.isValid()) {
        QDir(staging_.path()).mkpath(QStringLiteral("in"));
        QDir(staging_.path()).mkpath(QStringLiteral("out"));
    }
}

PdfConversion::~PdfConversion() {
    for (auto& worker : workers_) {
        delete worker->run;  // ends its process group before the staging folder goes
        worker->run = nullptr;
    }
}

QString PdfConversion::stagedInput(const Item& item) const {
    return staging_.path() + QStringLiteral("/in/d%1.").arg(item.id) + stagedSuffix(item.document);
}

QString PdfConversion::stagedOutput(const Item& item) const {
    return staging_.path() + QStringLiteral("/out/d%1.pdf").arg(item.id);
}

void PdfConversion::add(const QString& document, const QString& pdf) {
    if (stopping_ || finished_) {
        return;
    }
    queue_.push_back({document, pdf, ++added_});
    dispatch();
}

void PdfConversion::close() {
    closed_ = true;
    dispatch();
}

void PdfConversion::cancel() {
    if (finished_) {
        return;
    }
    cancelled_ = true;
    stopAll();
}

void PdfConversion::dispatch() {
    if (stopping_ || finished_) {
        return;
    }
    if (program_.isEmpty()) {
        return fail(pdfmessages::kNoOffice);
    }
    if (!staging_.isValid()) {
        return fail(withDetail(pdfmessages::kFailed, staging_.errorString()));
    }
    const int count = std::max(1, converter_.workers);
    for (int i = 0; i < count && !queue_.empty() && !stopping_; ++i) {
        if (i == int(workers_.size())) {
            workers_.push_back(std::make_unique<Worker>());
            workers_.back()->index = i + 1;
        }
        Worker& worker = *workers_[i];
        if (worker.run) {
            continue;
        }
        // An even share of what is still to come, at least one document. A run starts once its
        // share is there, so that each run starts LibreOffice once.
        const int unassigned = std::max(expected_, added_) - assigned_;
        const int share = std::max(1, (unassigned + count - 1) / count);
        const int taken = std::min(share, int(queue_.size()));
        if (taken < share && !closed_) {
            break;
        }
        worker.items.assign(queue_.begin(), queue_.begin() + taken);
        queue_.erase(queue_.begin(), queue_.begin() + taken);
        assigned_ += taken;
        startWorker(worker);
    }
    finishIfIdle();
}

namespace {

// The run's own profile, or one in the staging folder while another program holds it.
QString lockedProfile(const PdfConverter& converter, int index, std::unique_ptr<QLockFile>& lock,
                      const QString& staging) {
    QString profile = converter.profile(index);
    if (!profile.isEmpty()) {
        lock = std::make_unique<QLockFile>(profile + QStringLiteral(".lock"));
        lock->setStaleLockTime(0);
        if (lock->tryLock(0)) {
            return profile;
        }
        lock.reset();
    }
    return PdfConverter(staging).profile(index);
}

}  // namespace

void PdfConversion::startWorker(Worker& worker) {
    QStringList inputs;
    for (const Item& item : worker.items) {
        inputs << stagedInput(item);
        if (!QFile::copy(item.document, inputs.back())) {
            worker.items.clear();
            return fail(withDetail(pdfmessages::kFailed, QDir::toNativeSeparators(item.document)));
        }
    }
    if (worker.profile.isEmpty()) {
        worker.profile = lockedProfile(converter_, worker.index, worker.profileLock, staging_.path());
    }
    if (worker.profile.isEmpty()) {
        worker.items.clear();
        return fail(withDetail(pdfmessages::kFailed, QDir::toNativeSeparators(staging_.path())));
    }
    const QStringList arguments =
        QStringList{QStringLiteral("-env:UserInstallation=") +
                        QUrl::fromLocalFile(worker.profile).toString(QUrl::FullyEncoded),
                    QStringLiteral("--headless"),
                    QStringLiteral("--norestore"),
                    QStringLiteral("--nolockcheck"),
                    QStringLiteral("--convert-to"),
                    QStringLiteral("pdf"),
                    QStringLiteral("--outdir"),
                    staging_.path() + QStringLiteral("/out")} +
        inputs;
    worker.named = 0;
    worker.run = new OfficeProcess(this);
    worker.limit.setSingleShot(true);
    worker.limit.disconnect(this);
    connect(&worker.limit, &QTimer::timeout, this, [this, &worker] { timedOut(worker); });
    connect(worker.run, &OfficeProcess::documentDone, this, [this, &worker] { documentDone(worker); });
    connect(worker.run, &OfficeProcess::ended, this,
            [this, &worker](bool ok, const QString& said) { runEnded(worker, ok, said); });
    worker.limit.start(converter_.timeoutMs);
    worker.run->start(program_, arguments);
}

void PdfConversion::documentDone(Worker& worker) {
    ++worker.named;
    worker.limit.start(converter_.timeoutMs);
    placeWhole(worker);
    int pending = 0;
    for (const auto& w : workers_) {
        pending += w->run ? std::min<int>(w->named, int(w->items.size())) : 0;
        for (const Item& item : w->items) {
            pending -= item.placed ? 1 : 0;
        }
    }
    emit progressed(std::min(added_, converted_ + std::max(0, pending)));
}

void PdfConversion::runEnded(Worker& worker, bool ok, const QString& said) {
    worker.limit.stop();
    worker.run->deleteLater();
    worker.run = nullptr;
    if (!stopping_) {
        placeWhole(worker);
    }
    const bool allPlaced =
        std::all_of(worker.items.begin(), worker.items.end(), [](const Item& item) { return item.placed; });
    for (const Item& item : worker.items) {
        QFile::remove(stagedInput(item));
        QFile::remove(stagedOutput(item));
    }
    worker.items.clear();
    if (!stopping_ && (!ok || !allPlaced)) {
        return fail(withDetail(pdfmessages::kFailed, said));
    }
    emit progressed(converted_);
    stopping_ ? finishIfIdle() : dispatch();
}

void PdfConversion::timedOut(Worker& worker) {
    auto pending =
        std::find_if(worker.items.begin(), worker.items.end(), [](const Item& item) { return !item.placed; });
    const QString name = pending == worker.items.end() ? QString() : QFileInfo(pending->document).fileName();
    fail(pdfmessages::kTimedOut.arg((converter_.timeoutMs + 999) / 1000).arg(name));
}

void PdfConversion::placeWhole(Worker& worker) {
    for (Item& item : worker.items) {
        if (stopping_) {
            return;
        }
        if (!item.placed && isWholePdf(stagedOutput(item)) && place(item)) {
            item.placed = true;
            ++converted_;
            QFile::remove(stagedOutput(item));
        }
    }
}

bool PdfConversion::place(const Item& item) {
    QFile made(stagedOutput(item));
    QSaveFile target(item.pdf);
    if (made.open(QIODevice::ReadOnly) && target.open(QIODevice::WriteOnly) &&
        target.write(made.readAll()) >= 0 && target.commit()) {
        return true;
    }
    const QString folder = QFileInfo(item.pdf).absolutePath();
    fail(saveFailureMessage(
        folder,
        withDetail(pdfmessages::kCannotPlace.arg(QDir::toNativeSeparators(item.pdf)), target.errorString())));
    return false;
}

void PdfConversion::fail(const QString& message) {
    if (failure_.isEmpty() && !cancelled_) {
        failure_ = message;
    }
    stopAll();
}

void PdfConversion::stopAll() {
    stopping_ = true;
    queue_.clear();
    for (auto& worker : workers_) {
        worker->limit.stop();
        if (worker->run) {
            worker->run->stop(converter_.graceMs);
        }
    }
    finishIfIdle();
}

void PdfConversion::finishIfIdle() {
    const bool busy = std::any_of(workers_.begin(), workers_.end(), [](const auto& w) { return w->run; });
    if (finished_ || busy || (!stopping_ && (!closed_ || !queue_.empty()))) {
        return;
    }
    finished_ = true;
    staging_.remove();
    emit finished();
}

}  // namespace meridell::word
