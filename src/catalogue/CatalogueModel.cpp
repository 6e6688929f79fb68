#include "CatalogueModel.h"

#include "CatalogueDrag.h"
#include "ImageLists.h"

#include <QMimeData>

namespace {
// An index's internal id: node id · 9 for a node, node id · 9 + 1 + line for an object's detail line.
constexpr quintptr kStride = CatalogueTree::kDetailCount + 1;
constexpr quintptr nodeIndexId(int node) {
    return static_cast<quintptr>(node) * kStride;
}
int nodeOfId(quintptr id) {
    return static_cast<int>(id / kStride);
}
bool isDetailId(quintptr id) {
    return id % kStride != 0;
}

constexpr int kGroupImage = 3;
constexpr int kFolderImage = 5;
constexpr int kObjectImage = 4;
constexpr int kDetailImage = 1;
} // namespace

void CatalogueModel::setTree(std::shared_ptr<const CatalogueTree> tree) {
    beginResetModel();
    m_tree = std::move(tree);
    endResetModel();
}

int CatalogueModel::nodeId(const QModelIndex &index) const {
    if (!index.isValid() || isDetailId(index.internalId()))
        return -1;
    return nodeOfId(index.internalId());
}

QModelIndex CatalogueModel::childByText(const QModelIndex &parent, const QString &text) const {
    const int rows = rowCount(parent);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex child = index(row, 0, parent);
        if (child.data(Qt::DisplayRole).toString() == text)
            return child;
    }
    return {};
}

QModelIndex CatalogueModel::index(int row, int column, const QModelIndex &parent) const {
    if (!m_tree || column != 0 || row < 0 || row >= rowCount(parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, 0, nodeIndexId(m_tree->roots()[static_cast<std::size_t>(row)]));
    const int node = nodeOfId(parent.internalId());
    if (m_tree->node(node).kind == CatalogueTree::Kind::Object)
        return createIndex(row, 0, nodeIndexId(node) + 1 + static_cast<quintptr>(row));
    return createIndex(row, 0, nodeIndexId(m_tree->node(node).children[static_cast<std::size_t>(row)]));
}

QModelIndex CatalogueModel::parent(const QModelIndex &child) const {
    if (!m_tree || !child.isValid())
        return {};
    const int node = nodeOfId(child.internalId());
    if (isDetailId(child.internalId()))
        return createIndex(m_tree->node(node).row, 0, nodeIndexId(node));
    const int parentNode = m_tree->node(node).parent;
    if (parentNode < 0)
        return {};
    return createIndex(m_tree->node(parentNode).row, 0, nodeIndexId(parentNode));
}

int CatalogueModel::rowCount(const QModelIndex &parent) const {
    if (!m_tree)
        return 0;
    if (!parent.isValid())
        return static_cast<int>(m_tree->roots().size());
    if (isDetailId(parent.internalId()))
        return 0;
    const int node = nodeOfId(parent.internalId());
    if (const CommObject *object = m_tree->objectOf(node))
        return object->detailsRead;
    return static_cast<int>(m_tree->node(node).children.size());
}

int CatalogueModel::columnCount(const QModelIndex &) const {
    return 1;
}

QVariant CatalogueModel::data(const QModelIndex &index, int role) const {
    if (!m_tree || !index.isValid() || (role != Qt::DisplayRole && role != Qt::DecorationRole))
        return {};
    const int node = nodeOfId(index.internalId());
    if (isDetailId(index.internalId())) {
        if (role == Qt::DecorationRole)
            return ImageLists::systemImage(kDetailImage);
        return CatalogueTree::detailLines(*m_tree->objectOf(node)).at(static_cast<std::size_t>(index.row()));
    }
    const CatalogueTree::Node &n = m_tree->node(node);
    if (role == Qt::DisplayRole)
        return n.text;
    switch (n.kind) {
    case CatalogueTree::Kind::Group:
        return ImageLists::systemImage(kGroupImage);
    case CatalogueTree::Kind::Folder:
        return ImageLists::systemImage(kFolderImage);
    case CatalogueTree::Kind::Object:
        break;
    }
    return ImageLists::systemImage(kObjectImage);
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (m_tree && m_tree->objectOf(nodeId(index)))
        f |= Qt::ItemIsDragEnabled;
    return f;
}

QStringList CatalogueModel::mimeTypes() const {
    return {QLatin1String(kCommObjectMimeType)};
}

std::optional<DraggedObject> CatalogueModel::objectAt(const QModelIndex &index) const {
    const CommObject *object = m_tree ? m_tree->objectOf(nodeId(index)) : nullptr;
    if (!object)
        return std::nullopt;
    return DraggedObject{object->ganum, object->ga, object->name};
}

QMimeData *CatalogueModel::mimeData(const QModelIndexList &indexes) const {
    for (const QModelIndex &index : indexes) {
        if (const std::optional<DraggedObject> object = objectAt(index)) {
            auto *mime = new QMimeData;
            writeDraggedObject(*mime, *object);
            return mime;
        }
    }
    return nullptr;
}

Qt::DropActions CatalogueModel::supportedDragActions() const {
    return Qt::CopyAction;
}
