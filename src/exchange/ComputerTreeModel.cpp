#include "exchange/ComputerTreeModel.h"

#include <QDir>
#include <QFileIconProvider>
#include <QStorageInfo>

namespace meridell::exchange {

namespace {

// Volumes that hold user data: block devices and the usual mount places, not the kernel's own.
bool isUserVolume(const QStorageInfo& volume) {
    const QString root = volume.rootPath();
    if (!volume.isValid() || !volume.isReady() || volume.isRoot()) {
        return false;
    }
    return volume.device().startsWith("/dev/") || root.startsWith("/media/") || root.startsWith("/mnt/") ||
           root.startsWith("/run/media/");
}

}  // namespace

ComputerTreeModel::ComputerTreeModel(QObject* parent) : QAbstractItemModel(parent) {}

ComputerTreeModel::~ComputerTreeModel() = default;

QList<ComputerTreeModel::Place> ComputerTreeModel::machinePlaces() {
    QList<Place> places{{QDir::rootPath(), QDir::rootPath()}};
    const QString home = QDir::homePath();
    places.append({QStringLiteral("主文件夹 (%1)").arg(QDir::home().dirName()), home});
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (isUserVolume(volume) && volume.rootPath() != home) {
            QString name = volume.displayName();
            places.append(
                {name == volume.rootPath() ? name : QStringLiteral("%1 (%2)").arg(name, volume.rootPath()),
                 volume.rootPath()});
        }
    }
    return places;
}

void ComputerTreeModel::clearNodes() {
    bySource_.clear();
    nodes_.clear();
    placeNodes_.clear();
    models_.clear();
    pending_.clear();
}

void ComputerTreeModel::setPlaces(const QList<Place>& places) {
    beginResetModel();
    clearNodes();
    places_ = places;
    for (int i = 0; i < places_.size(); ++i) {
        auto model = std::make_unique<QFileSystemModel>();
        model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
        model->setReadOnly(true);
        QModelIndex top = model->setRootPath(places_[i].path);
        models_.push_back(std::move(model));
        auto n = std::make_unique<Node>();
        n->parent = &root_;
        n->place = i;
        n->source = top;
        placeNodes_.push_back(std::move(n));
        pending_.push_back(false);
        watch(i);
    }
    endResetModel();
}

// Passes the changes of one place's file system model on, for the folders the views have seen.
void ComputerTreeModel::watch(int place) {
    QFileSystemModel* model = models_[place].get();
    auto begin = [this, place](const QModelIndex& parent, int first, int last, bool insert) {
        Node* n = nodeForSource(place, parent);
        if (!n) {
            return;
        }
        pending_[place] = true;
        if (insert) {
            beginInsertRows(indexOf(n), first, last);
        } else {
            beginRemoveRows(indexOf(n), first, last);
        }
    };
    auto end = [this, place](bool insert) {
        if (!pending_[place]) {
            return;
        }
        pending_[place] = false;
        insert ? endInsertRows() : endRemoveRows();
    };
    connect(model, &QAbstractItemModel::rowsAboutToBeInserted, this,
            [begin](const QModelIndex& p, int a, int b) { begin(p, a, b, true); });
    connect(model, &QAbstractItemModel::rowsInserted, this, [end] { end(true); });
    connect(model, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            [begin](const QModelIndex& p, int a, int b) { begin(p, a, b, false); });
    connect(model, &QAbstractItemModel::rowsRemoved, this, [end] { end(false); });
    connect(model, &QAbstractItemModel::dataChanged, this,
            [this, place](const QModelIndex& from, const QModelIndex& to) {
                Node* parent = nodeForSource(place, from.parent());
                if (parent) {
                    QModelIndex p = indexOf(parent);
                    emit dataChanged(index(from.row(), 0, p), index(to.row(), 0, p));
                }
            });
    connect(model, &QAbstractItemModel::layoutAboutToBeChanged, this,
            [this] { emit layoutAboutToBeChanged(); });
    connect(model, &QAbstractItemModel::layoutChanged, this, [this] {
        // The nodes follow their folders through persistent indexes; the views' indexes follow them.
        for (const QModelIndex& old : persistentIndexList()) {
            changePersistentIndex(old, indexOf(node(old), old.column()));
        }
        emit layoutChanged();
    });
}

ComputerTreeModel::Node* ComputerTreeModel::node(const QModelIndex& index) const {
    return index.isValid() ? static_cast<Node*>(index.internalPointer()) : nullptr;
}

QModelIndex ComputerTreeModel::indexOf(Node* n, int column) const {
    if (!n) {
        return {};
    }
    if (n == &root_) {
        return createIndex(0, column, n);
    }
    if (isPlace(n)) {
        return createIndex(n->place, column, n);
    }
    if (!n->source.isValid()) {
        return {};
    }
    return createIndex(n->source.row(), column, n);
}

ComputerTreeModel::Node* ComputerTreeModel::intern(Node* parent, const QModelIndex& source) const {
    const auto key = qMakePair(parent->place, source.internalPointer());
    Node* known = bySource_.value(key);
    // The file system model may reuse the place of a removed folder for a new one.
    if (known && known->parent == parent && known->source == source) {
        return known;
    }
    auto n = std::make_unique<Node>();
    n->parent = parent;
    n->place = parent->place;
    n->source = source;
    Node* made = n.get();
    nodes_.push_back(std::move(n));
    bySource_.insert(key, made);
    return made;
}

ComputerTreeModel::Node* ComputerTreeModel::nodeForSource(int place, const QModelIndex& source) const {
    if (!source.isValid()) {
        return nullptr;
    }
    Node* top = placeNodes_[place].get();
    if (top->source == source) {
        return top;
    }
    Node* known = bySource_.value(qMakePair(place, source.internalPointer()));
    return known && known->source == source ? known : nullptr;
}

QModelIndex ComputerTreeModel::rootIndex() const {
    return createIndex(0, 0, const_cast<Node*>(&root_));
}

bool ComputerTreeModel::isRoot(const QModelIndex& index) const {
    return node(index) == &root_;
}

QString ComputerTreeModel::filePath(const QModelIndex& index) const {
    Node* n = node(index);
    if (!n || n == &root_ || !n->source.isValid()) {
        return {};
    }
    return models_[n->place]->filePath(n->source);
}

QModelIndex ComputerTreeModel::indexForPath(const QString& path) const {
    const QString clean = QDir::cleanPath(path);
    int best = -1;
    for (int i = 0; i < places_.size(); ++i) {
        const QString top = QDir::cleanPath(places_[i].path);
        bool inside = clean == top || clean.startsWith(top.endsWith('/') ? top : top + '/');
        if (inside && (best < 0 || top.size() > QDir::cleanPath(places_[best].path).size())) {
            best = i;
        }
    }
    if (best < 0) {
        return {};
    }
    Node* top = placeNodes_[best].get();
    QModelIndexList chain;
    for (QModelIndex s = models_[best]->index(clean); s.isValid() && s != top->source; s = s.parent()) {
        chain.prepend(s);
    }
    Node* n = top;
    for (const QModelIndex& s : chain) {
        n = intern(n, s);
    }
    return indexOf(n);
}

QModelIndex ComputerTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) {
        return {};
    }
    Node* p = node(parent);
    if (!p) {
        return row == 0 ? rootIndex() : QModelIndex();
    }
    if (p == &root_) {
        return row < int(placeNodes_.size()) ? createIndex(row, 0, placeNodes_[size_t(row)].get())
                                             : QModelIndex();
    }
    QModelIndex source = models_[p->place]->index(row, 0, p->source);
    return source.isValid() ? createIndex(row, 0, intern(p, source)) : QModelIndex();
}

QModelIndex ComputerTreeModel::parent(const QModelIndex& child) const {
    Node* n = node(child);
    return n && n != &root_ ? indexOf(n->parent) : QModelIndex();
}

int ComputerTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.column() > 0) {
        return 0;
    }
    Node* p = node(parent);
    if (!p) {
        return 1;
    }
    if (p == &root_) {
        return int(placeNodes_.size());
    }
    return p->source.isValid() ? models_[p->place]->rowCount(p->source) : 0;
}

int ComputerTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

bool ComputerTreeModel::hasChildren(const QModelIndex& parent) const {
    Node* p = node(parent);
    if (!p || p == &root_) {
        return true;
    }
    return p->source.isValid() && models_[p->place]->hasChildren(p->source);
}

bool ComputerTreeModel::canFetchMore(const QModelIndex& parent) const {
    Node* p = node(parent);
    return p && p != &root_ && p->source.isValid() && models_[p->place]->canFetchMore(p->source);
}

void ComputerTreeModel::fetchMore(const QModelIndex& parent) {
    Node* p = node(parent);
    if (p && p != &root_ && p->source.isValid()) {
        models_[p->place]->fetchMore(p->source);
    }
}

QVariant ComputerTreeModel::data(const QModelIndex& index, int role) const {
    Node* n = node(index);
    if (!n) {
        return {};
    }
    if (n == &root_) {
        if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
            return QStringLiteral("计算机");
        }
        if (role == Qt::DecorationRole) {
            return QFileIconProvider().icon(QFileIconProvider::Computer);
        }
        return {};
    }
    if (isPlace(n) && (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)) {
        return places_[n->place].label;
    }
    return n->source.isValid() ? models_[n->place]->data(n->source, role) : QVariant();
}

Qt::ItemFlags ComputerTreeModel::flags(const QModelIndex& index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

}  // namespace meridell::exchange
