#pragma once

#include <QAbstractItemModel>
#include <QFileSystemModel>
#include <QHash>
#include <QList>
#include <QPersistentModelIndex>

#include <memory>
#include <vector>

namespace meridell::exchange {

// The folders of the machine under one root node, "计算机": its children are places (the file
// system's root, the home folder, the mounted volumes), each showing its folders through a file
// system model of its own. Files are not shown. The root itself is no folder.
class ComputerTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    struct Place {
        QString label;
        QString path;
    };

    explicit ComputerTreeModel(QObject* parent = nullptr);
    ~ComputerTreeModel() override;

    // The file system's root, the home folder and the mounted volumes of the machine.
    static QList<Place> machinePlaces();
    // Replaces the places; the tree starts again collapsed.
    void setPlaces(const QList<Place>& places);

    QModelIndex rootIndex() const;
    bool isRoot(const QModelIndex& index) const;
    // The folder of a node; empty for the root.
    QString filePath(const QModelIndex& index) const;
    // The node of a folder inside one of the places (the innermost place holding it).
    QModelIndex indexForPath(const QString& path) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    bool hasChildren(const QModelIndex& parent = {}) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    // One node of the tree: the root (place -1), a place (its source is the place's folder) or a
    // folder below a place.
    struct Node {
        Node* parent = nullptr;
        int place = -1;
        QPersistentModelIndex source;
    };

    Node* node(const QModelIndex& index) const;
    bool isPlace(const Node* n) const { return n && n->parent == &root_; }
    QModelIndex indexOf(Node* n, int column = 0) const;
    Node* intern(Node* parent, const QModelIndex& source) const;
    Node* nodeForSource(int place, const QModelIndex& source) const;
    void watch(int place);
    void clearNodes();

    Node root_;
    QList<Place> places_;
    std::vector<std::unique_ptr<QFileSystemModel>> models_;
    std::vector<std::unique_ptr<Node>> placeNodes_;
    mutable std::vector<std::unique_ptr<Node>> nodes_;
    mutable QHash<QPair<int, const void*>, Node*> bySource_;
    std::vector<bool> pending_;  // per place: a change announced to the views, not yet finished
};

}  // namespace meridell::exchange
