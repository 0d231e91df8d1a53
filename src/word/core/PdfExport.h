#pragma once

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
inline const QString kTimedOut = QStringLiteral("对不起，LibreOffice没有在规定的时间内完成PDF文档的转换。");
inline const QString kCannotPlace =
    QStringLiteral("对不起，无法写入PDF文档“%1”，请关闭正在使用它的程序后重试一遍。");
}  // namespace pdfmessages

// Turns documents into PDF files with LibreOffice in headless mode. LibreOffice runs with a
// profile folder of its own, so it never meets an office suite the user has open, and that
// profile puts the free Chinese faces in place of the Windows ones the templates name.
class PdfConverter {
public:
    explicit PdfConverter(QString profileDir) : profileDir_(std::move(profileDir)) {}

    // The program to run; empty: "soffice" (or "libreoffice") on the search path.
    QString program;
    int timeoutMs = 30 * 60 * 1000;

    // The program that would run, empty when none is installed.
    QString findProgram() const;
    // Converts the documents in one run of LibreOffice. Each PDF takes its document's name with
    // ".pdf" and replaces a file of that name in `outDir` only once it is complete. `converted`
    // hears how many documents are done so far. Returns the PDF files written, in the order of
    // `documents`. Throws meridell::Error with a Chinese message, LibreOffice's own words on a line
    // of their own, when LibreOffice is missing or fails.
    QStringList convert(const QStringList& documents, const QString& outDir,
                        const std::function<void(int)>& converted = {}) const;

private:
    void prepareProfile() const;

    QString profileDir_;
};

// The program's own converter: its profile lives in the folder "office" of the application folder.
PdfConverter applicationPdfConverter(const QString& appDir);

}  // namespace meridell::word
