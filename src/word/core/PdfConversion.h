#pragma once

#include "word/core/PdfExport.h"

#include <QObject>
#include <QString>
#include <QTemporaryDir>

#include <memory>
#include <vector>

namespace meridell::word {

// Documents turned into PDF files by several runs of the converter at once, each run with its own
// profile and a share of the documents. Documents may be added while earlier ones convert.
// LibreOffice reads only ASCII copies in a private temporary folder, so a Chinese name never
// reaches it; each PDF is then written beside its target under a temporary name and renamed, so
// that it appears only whole. The first failure ends every run; PDFs already in place stay.
class PdfConversion : public QObject {
    Q_OBJECT
public:
    explicit PdfConversion(const PdfConverter& converter, QObject* parent = nullptr);
    // Ends every run still going at once.
    ~PdfConversion() override;
    PdfConversion(const PdfConversion&) = delete;
    PdfConversion& operator=(const PdfConversion&) = delete;

    // Adds a document; its PDF replaces the file `pdf` once whole.
    void add(const QString& document, const QString& pdf);
    // How many documents will be added in all, so that the runs share them evenly.
    void expect(int total) { expected_ = total; }
    // No more documents: finished() follows once the last PDF is in place.
    void close();
    // Ends every run; finished() follows once they are over.
    void cancel();

    bool isFinished() const { return finished_; }
    bool wasCancelled() const { return cancelled_; }
    // Empty unless the conversion failed: then what the user is told.
    const QString& failure() const { return failure_; }
    // PDFs in place.
    int converted() const { return converted_; }

signals:
    // Documents converted so far, those whose PDF is still being placed included.
    void progressed(int documents);
    void finished();

private:
    struct Item;
    struct Worker;

    void dispatch();
    void startWorker(Worker& worker);
    void documentDone(Worker& worker);
    void runEnded(Worker& worker, bool ok, const QString& said);
    void timedOut(Worker& worker);
    void placeWhole(Worker& worker);
    bool place(const Item& item);
    void fail(const QString& message);
    void stopAll();
    void finishIfIdle();
    QString stagedInput(const Item& item) const;
    QString stagedOutput(const Item& item) const;

    PdfConverter converter_;
    QString program_;
    QTemporaryDir staging_;
    std::vector<Item> queue_;
    std::vector<std::unique_ptr<Worker>> workers_;
    int expected_ = 0;
    int added_ = 0;
    int assigned_ = 0;
    int converted_ = 0;
    bool closed_ = false;
    bool stopping_ = false;
    bool cancelled_ = false;
    bool finished_ = false;
    QString failure_;
};

}  // namespace meridell::word
