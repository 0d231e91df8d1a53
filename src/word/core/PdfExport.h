#pragma once

#include "common/core/AppPlaces.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace meridell::word {

// The messages of a conversion to PDF.
namespace pdfmessages {
inline const QString kNoOffice = QStringLiteral(
    "对不起，系统没有找到LibreOffice，无法生成PDF文档。请先安装LibreOffice（Debian软件包 "
    "libreoffice-writer-nogui），再重试一遍。");
inline const QString kFailed = QStringLiteral("对不起，LibreOffice没有能够把文档转换为PDF文档。");
inline const QString kTimedOut =
    QStringLiteral("对不起，LibreOffice在%1秒内没有完成文档“%2”的转换，转换已经停止，没有生成它的PDF文档。");
inline const QString kCannotPlace =
    QStringLiteral("对不起，无法写入PDF文档“%1”，请关闭正在使用它的程序后重试一遍。");
inline const QString kProgressTitle = QStringLiteral("正在生成PDF文档......");
inline const QString kCancelled = QStringLiteral("已取消生成PDF文档。");
}  // namespace pdfmessages

// How documents are turned into PDF files: LibreOffice in headless mode, several runs at once,
// each with a profile folder of its own, so that no run meets another or an office suite the user
// has open. The profiles put the free Chinese faces in place of the Windows ones the templates name.
class PdfConverter {
public:
    explicit PdfConverter(QString profileRoot);

    // The program to run; empty: "soffice" (or "libreoffice") on the search path.
    QString program;
    // How long one document may take before its run is ended.
    int timeoutMs = 60 * 1000;
    // How long a run that is asked to end may take before it is ended by force.
    int graceMs = 3000;
    // How many runs convert at once: one per processor core.
    int workers = 1;

    // The program that would run, empty when none is installed.
    QString findProgram() const;
    // The profile folder of run `index` (from 1), with its settings in place; empty when the folder
    // cannot be written.
    QString profile(int index) const;

    // Converts the documents and waits for the end, the program's events going on meanwhile. Each
    // PDF takes its document's name with ".pdf" and replaces a file of that name in `outDir` only
    // once it is whole. `converted` hears how many documents are done so far. Returns the PDF files
    // written, in the order of `documents`. Throws meridell::Error with a Chinese message,
    // LibreOffice's own words on a line of their own, when LibreOffice is missing or fails.
    QStringList convert(const QStringList& documents, const QString& outDir,
                        const std::function<void(int)>& converted = {}) const;

private:
    QString profileRoot_;
};

// The program's own converter, with its profiles in the converter's folder of the program's places.
PdfConverter applicationPdfConverter(const AppPlaces& places);

// The PDF beside a document: the same name with ".pdf" in place of its extension.
QString pdfBeside(const QString& document, const QString& folder);

}  // namespace meridell::word
