#include "word/core/PdfExport.h"

#include "common/core/Error.h"
#include "word/core/PdfConversion.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QThread>

#include <algorithm>

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

}  // namespace

PdfConverter::PdfConverter(QString profileRoot)
    : workers(std::max(1, QThread::idealThreadCount())), profileRoot_(std::move(profileRoot)) {}

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

QString PdfConverter::profile(int index) const {
    const QString folder = profileRoot_ + "/" + QString::number(index);
    const QString settings = folder + "/user/registrymodifications.xcu";
    if (QFile::exists(settings)) {
        return folder;
    }
    if (!QDir().mkpath(folder + "/user")) {
        return {};
    }
    QSaveFile file(settings);
    if (!file.open(QIODevice::WriteOnly) || file.write(profileSettings()) < 0 || !file.commit()) {
        return {};
    }
    return folder;
}

QStringList PdfConverter::convert(const QStringList& documents, const QString& outDir,
                                  const std::function<void(int)>& converted) const {
    if (findProgram().isEmpty()) {
        throw Error(pdfmessages::kNoOffice);
    }
    PdfConversion conversion(*this);
    conversion.expect(int(documents.size()));
    QStringList written;
    for (const QString& document : documents) {
        written << pdfBeside(document, outDir);
        conversion.add(document, written.back());
    }
    if (converted) {
        QObject::connect(&conversion, &PdfConversion::progressed, converted);
    }
    QEventLoop loop;
    QObject::connect(&conversion, &PdfConversion::finished, &loop, &QEventLoop::quit);
    conversion.close();
    if (!conversion.isFinished()) {
        loop.exec();
    }
    if (!conversion.failure().isEmpty()) {
        throw Error(conversion.failure());
    }
    return written;
}

PdfConverter applicationPdfConverter(const AppPlaces& places) {
    return PdfConverter(places.converterProfileDir);
}

QString pdfBeside(const QString& document, const QString& folder) {
    return folder + "/" + QFileInfo(document).completeBaseName() + ".pdf";
}

}  // namespace meridell::word
