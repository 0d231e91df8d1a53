#include "word/core/PdfExport.h"

#include "common/core/Error.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QUrl>

#include <filesystem>
#include <system_error>

namespace meridell::word {

namespace {

// The faces the templates name, each with the free face that stands in for it where the Windows
// fonts are missing, as LibreOffice's font replacement table of the private profile.
const std::pair<const char*, const char*> kReplacements[] = {
    {"SimSun", "Noto Serif CJK SC"},     {"宋体", "Noto Serif CJK SC"},  {"NSimSun", "Noto Sans Mono CJK SC"},
    {"新宋体", "Noto Sans Mono CJK SC"}, {"SimHei", "Noto Sans CJK SC"}, {"黑体", "Noto Sans CJK SC"},
    {"KaiTi", "AR PL UKai CN"},          {"楷体", "AR PL UKai CN"},
};

QByteArray profileSettings() {
    QByteArray xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<oor:items xmlns:oor=\"http://openoffice.org/2001/registry\" "
        "xmlns:xs=\"http://www.w3.org/2001/XMLSchema\" "
        "xmlns:xsi=\"http://www.w3.org/2001/XMLSchema-instance\">\n"
        "<item oor:path=\"/org.openoffice.Office.Common/Font/Substitution\"><prop oor:name=\"Replacement\" "
        "oor:op=\"fuse\"><value>true</value></prop></item>\n";
    int n = 0;
    for (const auto& [face, standIn] : kReplacements) {
        xml +=
            "<item oor:path=\"/org.openoffice.Office.Common/Font/Substitution/FontPairs\"><node "
            "oor:name=\"_" +
            QByteArray::number(n++) +
            "\" oor:op=\"replace\"><prop oor:name=\"Always\" oor:op=\"fuse\"><value>true</value></prop>"
            "<prop oor:name=\"OnScreenOnly\" oor:op=\"fuse\"><value>false</value></prop>"
            "<prop oor:name=\"ReplaceFont\" oor:op=\"fuse\"><value>" +
            QByteArray(face) + "</value></prop><prop oor:name=\"SubstituteFont\" oor:op=\"fuse\"><value>" +
            QByteArray(standIn) + "</value></prop></node></item>\n";
    }
    // No first-start wizard, no recovery of an earlier run, no macros.
    xml +=
        "<item oor:path=\"/org.openoffice.Setup/Office\"><prop oor:name=\"ooSetupInstCompleted\" "
        "oor:op=\"fuse\"><value>true</value></prop></item>\n"
        "<item oor:path=\"/org.openoffice.Office.Common/Security/Scripting\"><prop "
        "oor:name=\"MacroSecurityLevel\" "
        "oor:op=\"fuse\"><value>3</value></prop></item>\n"
        "</oor:items>\n";
    return xml;
}

QString failure(const QString& message, const QString& engineText) {
    QString detail = engineText.trimmed();
    return detail.isEmpty() ? message : message + "\n" + detail;
}

// Moves a finished PDF over the file of the same name, which is replaced in one step.
void place(const QString& from, const QString& to) {
    std::error_code error;
    std::filesystem::rename(std::filesystem::path(from.toStdString()),
                            std::filesystem::path(to.toStdString()), error);
    if (error) {
        throw Error(failure(pdfmessages::kCannotPlace.arg(QDir::toNativeSeparators(to)),
                            QString::fromLocal8Bit(error.message().c_str())));
    }
}

// Runs LibreOffice to its end; `converted` hears how many documents it has named as done. Returns
// what it wrote to its error channel. Throws when it cannot start, runs out of time or fails.
QString runOffice(const QString& soffice, const QStringList& arguments, int timeoutMs,
                  const std::function<void(int)>& converted) {
    QProcess office;
    office.setProgram(soffice);
    office.setArguments(arguments);
    office.setProcessChannelMode(QProcess::SeparateChannels);
    office.start();
    if (!office.waitForStarted(30000)) {
        throw Error(failure(pdfmessages::kFailed, office.errorString()));
    }
    // LibreOffice names each document as it converts it: one line of its output per document.
    QByteArray output;
    int done = 0;
    QElapsedTimer clock;
    clock.start();
    while (!office.waitForFinished(100) && office.state() != QProcess::NotRunning) {
        output += office.readAllStandardOutput();
        int lines = int(output.count("\nconvert ") + (output.startsWith("convert ") ? 1 : 0));
        if (lines != done && converted) {
            done = lines;
            converted(done);
        }
        if (clock.elapsed() > timeoutMs) {
            office.kill();
            office.waitForFinished(5000);
            throw Error(pdfmessages::kTimedOut);
        }
    }
    output += office.readAllStandardOutput();
    const QString errors = QString::fromLocal8Bit(office.readAllStandardError());
    if (office.exitStatus() != QProcess::NormalExit || office.exitCode() != 0) {
        throw Error(failure(pdfmessages::kFailed, errors.isEmpty() ? office.errorString() : errors));
    }
    return errors.isEmpty() ? QString::fromLocal8Bit(output) : errors;
}

}  // namespace

QString PdfConverter::findProgram() const {
    if (!program.isEmpty()) {
        QFileInfo info(program);
        if (info.isAbsolute()) {
            return info.isExecutable() ? program : QString();
        }
        return QStandardPaths::findExecutable(program);
    }
    for (const char* name : {"soffice", "libreoffice"}) {
        QString found = QStandardPaths::findExecutable(QLatin1String(name));
        if (!found.isEmpty()) {
            return found;
        }
    }
    return {};
}

void PdfConverter::prepareProfile() const {
    const QString settings = profileDir_ + "/user/registrymodifications.xcu";
    if (QFile::exists(settings)) {
        return;
    }
    QDir().mkpath(profileDir_ + "/user");
    QFile file(settings);
    if (!file.open(QIODevice::WriteOnly) || file.write(profileSettings()) < 0) {
        throw Error(failure(pdfmessages::kFailed, file.errorString()));
    }
}

QStringList PdfConverter::convert(const QStringList& documents, const QString& outDir,
                                  const std::function<void(int)>& converted) const {
    const QString soffice = findProgram();
    if (soffice.isEmpty()) {
        throw Error(pdfmessages::kNoOffice);
    }
    if (documents.isEmpty()) {
        return {};
    }
    prepareProfile();
    QTemporaryDir staging(outDir + "/.pdf-XXXXXX");
    if (!staging.isValid()) {
        throw Error(
            failure(pdfmessages::kCannotPlace.arg(QDir::toNativeSeparators(outDir)), staging.errorString()));
    }
    QStringList arguments{
        "-env:UserInstallation=" + QUrl::fromLocalFile(profileDir_).toString(QUrl::FullyEncoded),
        "--headless",
        "--norestore",
        "--nolockcheck",
        "--convert-to",
        "pdf",
        "--outdir",
        staging.path()};
    arguments += documents;
    const QString said = runOffice(soffice, arguments, timeoutMs, converted);
    QStringList written;
    for (const QString& document : documents) {
        const QString name = QFileInfo(document).completeBaseName() + ".pdf";
        const QString made = staging.path() + "/" + name;
        if (QFileInfo(made).size() <= 0) {
            throw Error(failure(pdfmessages::kFailed, said));
        }
        written << outDir + "/" + name;
    }
    for (int i = 0; i < documents.size(); ++i) {
        place(staging.path() + "/" + QFileInfo(written[i]).fileName(), written[i]);
    }
    if (converted) {
        converted(int(documents.size()));
    }
    return written;
}

PdfConverter applicationPdfConverter(const QString& appDir) {
    return PdfConverter(appDir + "/office");
}

}  // namespace meridell::word
