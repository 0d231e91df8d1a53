#include "word/core/Document.h"
#include "word/core/Generation.h"
#include "word/core/PdfExport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace meridell;

namespace {

// An installed program reads its templates from the installation and writes each document, its
// working copy and the converter's profiles into the user's own folders, made on first use.
TEST(InstalledDocumentsTest, TemplatesFromTheInstallationDocumentsIntoTheUsersFolder) {
    QTemporaryDir root;
    const QString share = root.filePath("share/meridell");
    ASSERT_TRUE(QDir().mkpath(share + "/source"));
    for (const char* name : {"bookreport.doc", "projectlist.doc"}) {
        ASSERT_TRUE(QFile::copy(QStringLiteral(MERIDELL_BUILD_APP_DIR "/source/") + QString::fromLatin1(name),
                                share + "/source/" + QString::fromLatin1(name)));
    }
    const QStringList installed = QDir(share + "/source").entryList(QDir::Files);
    UserFolders user;
    user.dataHome = root.filePath("home/data");
    user.stateHome = root.filePath("home/state");
    user.cacheHome = root.filePath("home/cache");
    user.documents = root.filePath("home/文档");
    const AppPlaces places = AppPlaces::installed(share, user);

    struct Case {
        word::DocumentKind kind;
        QString working;
        QString output;
    };
    const Case cases[] = {
        {word::designTaskBook(), "设计任务书模板.doc", "设计任务书.doc"},
        {word::projectList(false), "项目列表模板.doc", "项目列表.doc"},
    };
    for (const Case& c : cases) {
        word::OwnWordApplication own;
        bool first = true;
        QStringList told;
        word::GenerationContext context{places, own, first, [&](const QString& text) { told << text; }};
        const QString output = word::generate(context, c.kind, [](word::Document&) {});
        EXPECT_EQ(output, root.filePath("home/文档/Meridell/") + c.output);
        EXPECT_TRUE(QFile::exists(output)) << c.output.toStdString();
        EXPECT_TRUE(QFile::exists(places.documentsDir + "/" + c.working)) << c.working.toStdString();
        EXPECT_TRUE(told.isEmpty()) << told.join('\n').toStdString();
    }
    EXPECT_EQ(QDir(share + "/source").entryList(QDir::Files), installed)
        << "nothing written into the installation";
    EXPECT_EQ(word::pdfBeside(places.documentsDir + "/设计任务书.doc", places.documentsDir),
              root.filePath("home/文档/Meridell/设计任务书.pdf"));
    EXPECT_EQ(word::applicationPdfConverter(places).profile(1),
              root.filePath("home/cache/meridell/office/1"));
}

}  // namespace
