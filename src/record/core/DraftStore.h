#pragma once

#include "record/core/Draft.h"

#include <QSet>
#include <QString>
#include <QStringList>

#include <vector>

namespace meridell::record {

// The draft file of the application folder and the drafts in it, read at the first use and written
// whole on every change (through a new file renamed into place).
//
// The file is used only while it is a regular file or not there at all. A link (whether it points
// somewhere or nowhere), a folder or anything else in its place is never followed: it is moved
// aside to a free name (draft.json.bad, draft.json.bad2, ...), and when that fails no draft is read
// or written. A file that is damaged, of another format or version, or larger than kMostBytes is
// moved aside the same way. Each such thing, and a draft that cannot be written, is told once.
class DraftStore {
public:
    static constexpr qint64 kMostBytes = 16 << 20;

    explicit DraftStore(QString path);

    const QString& path() const { return path_; }
    // Every draft, in the order they were first written.
    const std::vector<Draft>& drafts();
    const Draft* find(const QString& id);
    // Writes `draft` in place of the draft with its id, or adds it; the oldest drafts left over go
    // when the file would grow past its limit. False when the file could not be written.
    bool put(const Draft& draft);
    // Removes the draft with this id. False when the file could not be written.
    bool remove(const QString& id);

    // What the user is to be told since the last call, each kind of trouble once in a run.
    QStringList takeNotices();

private:
    enum class Trouble { NotAFile, Damaged, CannotWrite };
    void load();
    bool write();
    // Whether the path holds a regular file or nothing; moves anything else aside.
    bool pathUsable();
    // Renames what is at the path to the first free aside name; that name, or empty on failure.
    QString moveAside();
    void tell(Trouble trouble, const QString& text);

    QString path_;
    bool loaded_ = false;
    bool usable_ = true;  // false once the path held something that could not be moved aside
    std::vector<Draft> drafts_;
    QByteArray written_;  // what the file holds since the last write, to skip writing it again
    QSet<int> told_;
    QStringList notices_;
};

}  // namespace meridell::record
