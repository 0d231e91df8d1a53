#include "app/Translations.h"
#include "common/core/Error.h"
#include "common/core/Fonts.h"
#include "ui/MessageService.h"
#include "ui/StartFolder.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFontInfo>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextLayout>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

namespace meridell::app {

using ui::fileDialogStartFolder;
namespace {

// Whether a caption holds English words; a mnemonic such as "(&N)" is no word.
bool hasLatinLetter(QString text) {
    text.remove(QRegularExpression(QStringLiteral("\\(&.\\)")));
    return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isLetter() && c.unicode() < 0x80; });
}

TEST(ChineseDialogs, StandardButtonsAndTheFileDialogSpeakChinese) {
    QTranslator* translator = installChineseTranslations(*qApp);
    ASSERT_NE(translator, nullptr) << "qtbase_zh_CN is installed with qt6-translations-l10n";

    QMessageBox box;
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel | QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(box.button(QMessageBox::Ok)->text(), QStringLiteral("确定"));
    EXPECT_EQ(box.button(QMessageBox::Cancel)->text(), QStringLiteral("取消"));
    for (QAbstractButton* button : box.buttons()) {
        EXPECT_FALSE(hasLatinLetter(button->text().remove("&Y").remove("&N")))
            << button->text().toStdString();
    }

    QFileDialog dialog(nullptr, QStringLiteral("选择要导入的数据文件"));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    for (const char* name : {"lookInLabel", "fileNameLabel", "fileTypeLabel"}) {
        auto* label = dialog.findChild<QLabel*>(QLatin1String(name));
        ASSERT_NE(label, nullptr) << name;
        EXPECT_FALSE(hasLatinLetter(label->text())) << name << ": " << label->text().toStdString();
    }

    QCoreApplication::removeTranslator(translator);
    delete translator;
    QMessageBox english;
    english.setStandardButtons(QMessageBox::Ok);
    EXPECT_EQ(english.button(QMessageBox::Ok)->text(), QStringLiteral("OK")) << "no translation left behind";
}

// Enter takes the default answer: Yes for an ordinary question, No for one that destroys data.
TEST(ChineseDialogs, EnterKeepsTheDataWhenAQuestionWouldDestroyIt) {
    ui::DialogMessageService messages;
    const struct {
        bool destroys;
        bool answer;
    } cases[] = {{false, true}, {true, false}};
    for (const auto& c : cases) {
        QString defaultCaption;
        QTimer::singleShot(0, [&] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            ASSERT_NE(box, nullptr);
            defaultCaption = box->defaultButton()->text();
            box->defaultButton()->click();
        });
        const QString question = QStringLiteral("确实要删除该项目吗？");
        EXPECT_EQ(c.destroys ? messages.confirmDestruction(question) : messages.confirm(question), c.answer);
        EXPECT_EQ(defaultCaption, c.answer ? QStringLiteral("是(&Y)") : QStringLiteral("否(&N)"));
    }
}

TEST(ChineseDialogs, FileDialogStartsInTheAskedTheLastOrTheHomeFolder) {
    QTemporaryDir asked;
    QTemporaryDir last;
    const QString gone = asked.path() + "/gone";
    EXPECT_EQ(fileDialogStartFolder(asked.path(), last.path()), asked.path());
    EXPECT_EQ(fileDialogStartFolder(QString(), last.path()), last.path());
    EXPECT_EQ(fileDialogStartFolder(gone, last.path()), last.path());
    EXPECT_EQ(fileDialogStartFolder(QString(), gone), QDir::homePath());
    EXPECT_EQ(fileDialogStartFolder(QString(), QString()), QDir::homePath());
    // A file is no folder to start in.
    QFile file(asked.path() + "/project.zip");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    EXPECT_EQ(fileDialogStartFolder(file.fileName(), QString()), QDir::homePath());
}

// The families of every glyph run of `text` drawn in `font`.
QStringList runFamilies(const QFont& font, const QString& text) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QStringList families;
    for (const QGlyphRun& run : layout.glyphRuns()) {
        families << run.rawFont().familyName();
    }
    families.removeDuplicates();
    return families;
}

TEST(Fonts, EachChineseFamilyResolvesToItsInstalledFaceForLatinTextToo) {
    struct Case {
        QString asked;
        QString face;
    };
    const Case cases[] = {
        {QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC")},
        {QStringLiteral("楷体_GB2312"), QStringLiteral("AR PL UKai CN")},
        {QStringLiteral("黑体"), QStringLiteral("Noto Sans CJK SC")},
        {QStringLiteral("隶书"), QStringLiteral("AR PL UKai CN")},
    };
    for (const Case& c : cases) {
        for (bool bold : {false, true}) {
            const QFont font = pixelFont(c.asked, 12, bold);
            const QFontInfo info(font);
            EXPECT_EQ(info.family(), c.face) << c.asked.toStdString();
            EXPECT_EQ(info.pixelSize(), 12) << c.asked.toStdString();
            EXPECT_EQ(info.bold(), bold) << c.asked.toStdString();
            EXPECT_EQ(runFamilies(font, QStringLiteral("身份证号110105194912310021X，Lanvere科学技术厅")),
                      QStringList{c.face})
                << c.asked.toStdString() << ": digits and letters come from the Chinese face";
        }
    }
    EXPECT_EQ(installedFamily(QStringLiteral("Noto Sans Mono")), QStringLiteral("Noto Sans Mono"));
}

TEST(Fonts, DigitsOfTheSongFaceAreNoTallerThanTheChinese) {
    const QFont font = pixelFont(QStringLiteral("宋体"), 12);
    const QFontMetrics metrics(font);
    EXPECT_LE(metrics.tightBoundingRect(QStringLiteral("2026")).height(),
              metrics.tightBoundingRect(QStringLiteral("项目")).height());
}

TEST(EngineErrors, AChineseSentenceComesFirstAndTheEngineTextOnItsOwnLine) {
    const QString engine = QStringLiteral("no such table: table1 Unable to execute statement");
    const QStringList lines = explainedErrorText(engine).split('\n');
    ASSERT_EQ(lines.size(), 2);
    EXPECT_TRUE(lines[0].front().unicode() >= 0x4e00) << lines[0].toStdString();
    EXPECT_EQ(lines[1], engine);
    const QString own = QStringLiteral("对不起，帮助文件丢失！");
    EXPECT_EQ(explainedErrorText(own), own);
    EXPECT_EQ(explainedErrorText(QString()).split('\n').size(), 2);
}

}  // namespace
}  // namespace meridell::app
