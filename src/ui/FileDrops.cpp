#include "ui/FileDrops.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QUrl>

#include <algorithm>

namespace meridell::ui {

namespace {

constexpr char kRefusalName[] = "fileDropRefusal";

// Watches one field, or a memo's viewport, where the memo's drags arrive. A drag carrying files is taken by
// the field, so that it goes no further up to the window, and then refused: the pointer shows that it cannot
// be dropped here, and a drop that comes all the same does nothing.
class FileDropRefusal : public QObject {
public:
    explicit FileDropRefusal(QWidget* field) : QObject(field) { setObjectName(kRefusalName); }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        switch (event->type()) {
            case QEvent::DragEnter: {
                auto* drag = static_cast<QDragEnterEvent*>(event);
                if (!carriesFiles(drag->mimeData())) {
                    return false;
                }
                drag->setDropAction(Qt::IgnoreAction);
                drag->accept();
                return true;
            }
            case QEvent::DragMove:
            case QEvent::Drop: {
                auto* drag = static_cast<QDropEvent*>(event);
                if (!carriesFiles(drag->mimeData())) {
                    return false;
                }
                drag->setDropAction(Qt::IgnoreAction);
                drag->ignore();
                return true;
            }
            default:
                return false;
        }
    }
};

void refuseOn(QWidget* receiver) {
    if (receiver->findChild<FileDropRefusal*>(kRefusalName, Qt::FindDirectChildrenOnly) != nullptr) {
        return;  // watched already
    }
    receiver->installEventFilter(new FileDropRefusal(receiver));
}

}  // namespace

bool carriesFiles(const QMimeData* data) {
    if (data == nullptr || !data->hasUrls()) {
        return false;
    }
    const QList<QUrl> urls = data->urls();
    return std::any_of(urls.begin(), urls.end(), [](const QUrl& url) { return url.isLocalFile(); });
}

void refuseFileDrops(QWidget* root) {
    QList<QLineEdit*> edits = root->findChildren<QLineEdit*>();
    QList<QPlainTextEdit*> memos = root->findChildren<QPlainTextEdit*>();
    if (auto* edit = qobject_cast<QLineEdit*>(root)) {
        edits.prepend(edit);
    }
    if (auto* memo = qobject_cast<QPlainTextEdit*>(root)) {
        memos.prepend(memo);
    }
    for (QLineEdit* edit : edits) {
        refuseOn(edit);
    }
    for (QPlainTextEdit* memo : memos) {
        refuseOn(memo);
        refuseOn(memo->viewport());
    }
}

}  // namespace meridell::ui
