#include "exchange/core/Import.h"

#include "common/core/Error.h"
#include "data/Connection.h"
#include "data/Databases.h"
#include "data/Schema.h"
#include "exchange/core/SubmissionCopy.h"
#include "exchange/core/SubmittedDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace meridell::exchange {

namespace {

const QString kNoFolder = QStringLiteral("目录丢失，无法导入项目申报数据！");
const QString kCopyFailed = QStringLiteral("文件拷贝失败，无法导入项目申报数据！");
const QString kWrongFile = QStringLiteral("项目数据导入失败,您选择了错误的数据文件!");
const QString kFailed = QStringLiteral("项目数据导入失败,您可能选择了错误的数据文件!");

// Opens the exchange connection afresh on the unpacked database and checks it. The main
// connection is opened only when it is closed: closing it would close the record form's queries
// and drop whatever the user has typed there and not yet saved.
void connect(const ImportPlaces& places, data::Databases& module) {
    data::Connection& main = module.mainConnection;
    if (!main.isOpen()) {
        if (!main.address().isServer()) {  // an office database on a server stays where it is
            main.setDatabaseFile(places.app.databasePath);
        }
        main.open();
    }
    refusingSubmission(
        [&] { data::openSubmittedDatabase(module.exchangeConnection, places.submittedDatabase()); });
}

void cleanUp(const ImportPlaces& places, data::Databases& module, const ImportHooks& hooks) {
    if (hooks.closeProgress) {
        hooks.closeProgress();
    }
    module.exchangeConnection.close();
    emptyFolder(places.stagingDir());
}

// The closing message of a failed import. A wrong file is the likely cause of most failures, but
// not of a database that another program holds, of a full disk, of a read-only file or of a
// connection to the server that was cut: those are named, so that the user sees the same archive will do once
// the cause is gone.
QString failureText(const std::exception& e) {
    if (const auto* archive = dynamic_cast<const ArchiveError*>(&e)) {
        return kFailed + QChar(u'\n') + archive->text();
    }
    const auto* engine = dynamic_cast<const data::DatabaseError*>(&e);
    if (!engine) {
        return kFailed;
    }
    using Cause = data::DatabaseError::Cause;
    switch (engine->cause()) {
        case Cause::Busy:
        case Cause::DiskFull:
        case Cause::ReadOnly:
        case Cause::Lost:
            return QStringLiteral("项目数据导入失败，") + data::DatabaseError::sentence(engine->cause()) +
                   QChar(u'\n') + engine->engineText();
        default:
            return kFailed;
    }
}

// The reason of a failed import as the batch report names it: the import's own message, or the
// Chinese sentence of the check that refused the submission.
QString failureReason(const std::exception& e) {
    const QString text = failureText(e);
    const auto* own = dynamic_cast<const Error*>(&e);
    if (text != kFailed || !own || dynamic_cast<const data::DatabaseError*>(&e)) {
        return text;
    }
    const QString reason = own->text();
    if (reason.isEmpty() || reason.front().unicode() < 0x2e80) {
        return text;
    }
    return kFailed + QChar(u'\n') + reason;
}

}  // namespace

QString ImportPlaces::stagingDir() const {
    return app.stagingDir;
}

QString ImportPlaces::stagingArchive() const {
    return stagingDir() + QStringLiteral("/project.zip");
}

QString ImportPlaces::submittedDatabase() const {
    return app.submittedDatabasePath();
}

QString importFinishedText(const ImportCounts& counts) {
    if (counts.refused == 0) {
        return QStringLiteral("执行完毕,您所选的文件中共有%1个项目,已经全部导入！").arg(counts.total);
    }
    return QStringLiteral("执行完毕,有%1个项目已经存在,由于重复而不允许导入,实际导入%2个项目！")
        .arg(counts.refused)
        .arg(counts.total - counts.refused);
}

bool CheckDataDir(const ImportPlaces& places, const QString& chosen,
                  const std::function<void(const QString&)>& inform) {
    QDir().mkpath(places.stagingDir());
    if (!QFileInfo(places.stagingDir()).isDir()) {
        inform(kNoFolder);
        return false;
    }
    // The staging copy lives only for this import: it is checked but not forced to the disk.
    if (!copyReplacing(chosen, places.stagingArchive(), places.copyTarget, Durability::Scratch)) {
        inform(kCopyFailed);
        return false;
    }
    return true;
}

void checkSubmittedDatabase(data::Connection& submitted) {
    refusingSubmission([&] { data::checkSubmittedDatabase(submitted); });
}

ImportCounts copySubmission(data::Databases& module, const Progress& progress) {
    return copySubmittedRows(module.mainConnection, module.exchangeConnection, progress);
}

ArchiveOutcome runImport(const ImportPlaces& places, data::Databases& module, const QString& chosen,
                         const ImportHooks& hooks) {
    ArchiveOutcome outcome;
    // The first message of a failing step is the reason the outcome gives.
    auto informFailure = [&](const QString& text) {
        if (outcome.failure.isEmpty()) {
            outcome.failure = text;
        }
        hooks.inform(text);
    };
    // Only a database unpacked from the chosen archive is ever imported.
    QFile::remove(places.submittedDatabase());
    try {
        hooks.repaint();
        hooks.showProgress();
        hooks.progress(5);
        QString unpackedNothing;  // why the archive held nothing to unpack
        if (CheckDataDir(places, chosen, informFailure)) {
            hooks.repaint();
            unpackedNothing = UnZipProject(places.stagingArchive(), places.stagingDir(), places.limits);
        }
        hooks.progress(10);
        if (!QFileInfo(places.submittedDatabase()).isFile()) {
            informFailure(unpackedNothing.isEmpty() ? kWrongFile
                                                    : kWrongFile + QChar(u'\n') + unpackedNothing);
        } else {
            hooks.progress(15);
            connect(places, module);
            outcome.counts = copySubmission(module, hooks.progress);
            outcome.finished = true;
            hooks.progress(100);
            hooks.hideProgress();
            hooks.repaint();
            hooks.inform(importFinishedText(outcome.counts));
        }
    } catch (const std::exception& e) {
        outcome.finished = false;
        outcome.failure = failureReason(e);
        const auto* engine = dynamic_cast<const data::DatabaseError*>(&e);
        outcome.mainDatabaseBusy = engine && engine->cause() == data::DatabaseError::Cause::Busy;
        hooks.hideProgress();
        hooks.beep();
        hooks.repaint();
        hooks.inform(failureText(e));
    }
    cleanUp(places, module, hooks);
    return outcome;
}

}  // namespace meridell::exchange
