#include "support/SmallDisk.h"
#include "word/core/Document.h"
#include "word/core/Generation.h"
#include "word/core/PdfConversion.h"
#include "word/core/PdfExport.h"

#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QTemporaryDir>
#include <QThread>
#include <QTimer>

#include <gtest/gtest.h>

using namespace meridell;

namespace {

// What every stand-in for LibreOffice does first: it reads the output folder and the documents
// from its arguments as LibreOffice does, and notes its arguments, locale and process number.
const char* kPrelude = R"(#!/bin/sh
log="$(dirname "$0")/office.log"
echo "run $$ LC_ALL=$LC_ALL LANG=$LANG $*" >> "$log"
out=; files=
while [ $# -gt 0 ]; do
  case "$1" in --outdir) out="$2"; shift 2;; -*) shift;; *) files="$files $1"; shift;; esac
done
pdfs() {
  for f in $files; do b=$(basename "$f"); b="${b%.*}"
    printf '%%PDF-1.4\n1 0 obj\n<<>>\nendobj\n%%%%EOF\n' > "$out/$b.pdf"
    echo "convert $f -> $out/$b.pdf using filter : writer_pdf_Export"
  done
}
)";

struct Case {
    const char* name;
    const char* behaviour;  // the rest of the stand-in's script
    int cancelAfterMs;      // 0: not cancelled
    QString failure;        // the start of the message, empty for none
    bool pdfMade;
};

void PrintTo(const Case& c, std::ostream* os) {
    *os << c.name;
}

// Whether a process is still there (a zombie waiting for its parent counts as gone).
bool runningNow(const QString& pid) {
    QFile stat("/proc/" + pid + "/stat");
    if (!stat.open(QIODevice::ReadOnly)) {
        return false;
    }
    const QByteArray text = stat.readAll();
    return !text.mid(text.lastIndexOf(')') + 2, 1).startsWith('Z');
}

// Whether the process still runs a while after it was killed: a signal is delivered
// asynchronously, and on a busy machine the process may take a moment to end.
bool alive(const QString& pid) {
    QElapsedTimer waited;
    waited.start();
    while (runningNow(pid)) {
        if (waited.elapsed() > 5000) {
            return true;
        }
        QThread::msleep(10);
    }
    return false;
}

class PdfConversionTest : public ::testing::TestWithParam<Case> {
protected:
    void SetUp() override {
        document = dir.filePath("区域 创新研究.doc");
        QFile file(document);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("a document");
        // The user's locale is one this machine has not generated.
        qputenv("LANG", "zh_CN.UTF-8");
        qputenv("LC_ALL", "zh_CN.UTF-8");
    }
    void TearDown() override {
        qunsetenv("LC_ALL");
        qputenv("LANG", "C.UTF-8");
    }
    word::PdfConverter fakeOffice(const char* behaviour) {
        const QString path = dir.filePath("soffice");
        QFile script(path);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QByteArray(kPrelude) + behaviour + "\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        word::PdfConverter converter(dir.filePath("profiles"));
        converter.program = path;
        converter.timeoutMs = 1000;
        converter.graceMs = 300;
        converter.workers = 2;
        return converter;
    }
    // Runs the conversion to its end and returns it finished.
    void run(word::PdfConversion& conversion, int cancelAfterMs) {
        QEventLoop loop;
        QObject::connect(&conversion, &word::PdfConversion::finished, &loop, &QEventLoop::quit);
        if (cancelAfterMs > 0) {
            QTimer::singleShot(cancelAfterMs, &conversion, &word::PdfConversion::cancel);
        }
        QTimer::singleShot(20000, &loop, &QEventLoop::quit);
        conversion.close();
        if (!conversion.isFinished()) {
            loop.exec();
        }
        ASSERT_TRUE(conversion.isFinished());
    }
    QString log() {
        QFile file(dir.filePath("office.log"));
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    }
    QTemporaryDir dir;
    QString document;
};

TEST_P(PdfConversionTest, EndsWholeOrLeavesNothingAndNoProcessBehind) {
    const Case& c = GetParam();
    const QString pdf = dir.filePath("区域 创新研究.pdf");
    QFile old(pdf);
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("the PDF of an earlier run");
    old.close();
    word::PdfConversion conversion(fakeOffice(c.behaviour));
    conversion.add(document, pdf);
    run(conversion, c.cancelAfterMs);

    EXPECT_EQ(conversion.wasCancelled(), c.cancelAfterMs > 0);
    EXPECT_TRUE(conversion.failure().startsWith(c.failure)) << conversion.failure().toStdString();
    EXPECT_EQ(conversion.failure().isEmpty(), c.failure.isEmpty()) << conversion.failure().toStdString();
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll().startsWith("%PDF-"), c.pdfMade);
    // Nothing half-written beside the target, nothing of the run's own folders, no process.
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden),
              (QStringList{"office.log", "soffice", "区域 创新研究.doc", "区域 创新研究.pdf"}));
    const QString said = log();
    EXPECT_TRUE(said.contains("LC_ALL=C.UTF-8 LANG=C.UTF-8")) << said.toStdString();
    for (QChar ch : said) {
        ASSERT_LT(ch.unicode(), 0x80) << "a name outside ASCII reached the converter: " << said.toStdString();
    }
    for (const QString& line : said.split('\n')) {
        if (line.startsWith("run ") || line.startsWith("child ")) {
            EXPECT_FALSE(alive(line.section(' ', 1, 1))) << line.toStdString();
        }
    }
}

const QString kFailed = word::pdfmessages::kFailed;

INSTANTIATE_TEST_SUITE_P(
    Behaviours, PdfConversionTest,
    ::testing::Values(
        Case{"Converts", "pdfs", 0, {}, true},
        Case{"LeavesAChildRunning",
             "(trap '' TERM; sleep 300) & echo \"child $!\" >> \"$log\"\npdfs",
             0,
             {},
             true},
        Case{"FailsInItsOwnWords", "echo 'Error: source file could not be loaded' >&2; exit 1", 0,
             kFailed + "\nError: source file could not be loaded", false},
        Case{"WritesHalfAFileAndSaysNothing",
             "for f in $files; do b=$(basename \"$f\"); echo '%PDF-1.4 half' > \"$out/${b%.*}.pdf\"; done", 0,
             kFailed, false},
        Case{"HangsPastTheTimeLimit", "sleep 30", 0,
             word::pdfmessages::kTimedOut.arg(1).arg("区域 创新研究.doc"), false},
        Case{"IgnoresTheRequestToEnd", "trap '' TERM; sleep 30", 200, {}, false},
        Case{"ForksAChildThatKeepsRunning",
             "(trap '' TERM; sleep 300) & echo \"child $!\" >> \"$log\"\nsleep 30",
             200,
             {},
             false}),
    [](const auto& param) { return std::string(param.param.name); });

TEST_F(PdfConversionTest, TheRunsShareTheDocumentsEachWithItsOwnProfile) {
    word::PdfConversion conversion(fakeOffice("sleep 0.3; pdfs"));
    conversion.expect(5);
    for (int i = 0; i < 5; ++i) {
        QFile::copy(document, dir.filePath(QStringLiteral("项目%1.doc").arg(i)));
        conversion.add(dir.filePath(QStringLiteral("项目%1.doc").arg(i)),
                       dir.filePath(QStringLiteral("项目%1.pdf").arg(i)));
    }
    run(conversion, 0);
    EXPECT_EQ(conversion.failure(), QString());
    EXPECT_EQ(conversion.converted(), 5);
    EXPECT_EQ(QDir(dir.path()).entryList({"项目*.pdf"}, QDir::Files).size(), 5);
    const QString said = log();
    EXPECT_TRUE(said.contains("UserInstallation=file://" + dir.filePath("profiles/1") + " "));
    EXPECT_TRUE(said.contains("UserInstallation=file://" + dir.filePath("profiles/2") + " "));
}

// A folder that takes no files is named as the cause, for the document and for its PDF.
TEST_F(PdfConversionTest, AFolderThatTakesNoFilesIsNamedAsTheCause) {
    test::SmallDisk disk(dir.filePath("app"), 1024 * 1024);
    if (!disk.isMounted()) {
        GTEST_SKIP() << "no right to mount a file system";
    }
    QDir(disk.folder()).mkpath("source");
    ASSERT_TRUE(QFile::copy(MERIDELL_BUILD_APP_DIR "/source/bookreport.doc",
                            disk.folder() + "/source/bookreport.doc"));
    ASSERT_TRUE(disk.setReadOnly(true));
    const QString expected = word::messages::kFolderNotWritable.arg(disk.folder());
    EXPECT_TRUE(word::folderTakesFiles(dir.path()));
    EXPECT_FALSE(word::folderTakesFiles(disk.folder()));

    word::OwnWordApplication own;
    bool first = true;
    QStringList told;
    word::GenerationContext context{AppPlaces::inPlace(disk.folder()), own, first,
                                    [&](const QString& text) { told << text; }};
    EXPECT_EQ(word::generate(context, word::designTaskBook(), [](word::Document&) {}), QString());
    EXPECT_EQ(told, QStringList{expected});

    word::PdfConversion conversion(fakeOffice("pdfs"));
    conversion.add(document, disk.folder() + "/设计任务书.pdf");
    run(conversion, 0);
    EXPECT_EQ(conversion.failure(), expected);
    ASSERT_TRUE(disk.setReadOnly(false));
}

}  // namespace
