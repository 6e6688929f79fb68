#include "EntryTreeModel.h"

// Every index carries its node's flat position as internal id.

EntryTreeModel::EntryTreeModel(QList<qsizetype> parents, QObject *parent)
    : QAbstractItemModel(parent), m_parents(std::move(parents)), m_children(m_parents.size()),
      m_rowInParent(m_parents.size(), 0) {
    for (qsizetype node = 1; node < m_parents.size(); ++node) {
        QList<qsizetype> &siblings = m_children[m_parents.at(node)];
        m_rowInParent[node] = static_cast<int>(siblings.size());
        siblings.append(node);
    }
}

QList<qsizetype> EntryTreeModel::attributesBelow(qsizetype nodesPerEntry) {
    QList<qsizetype> parents(nodesPerEntry, 0);
    parents[0] = -1;
    return parents;
}

void EntryTreeModel::reload() {
    beginResetModel();
    endResetModel();
}

void EntryTreeModel::setRenaming(Rename rename, MayRename mayRename) {
    m_rename = std::move(rename);
    m_mayRename = std::move(mayRename);
}

qsizetype EntryTreeModel::flatPosition(const QModelIndex &index) const {
    return index.isValid() ? static_cast<qsizetype>(index.internalId()) : -1;
}

QModelIndex EntryTreeModel::indexOf(qsizetype flat) const {
    if (flat < 0 || flat >= entryCount() * nodesPerEntry())
        return {};
    const qsizetype node = nodeOf(flat);
    const int row = node == 0 ? static_cast<int>(flat / nodesPerEntry()) : m_rowInParent.at(node);
    return createIndex(row, 0, static_cast<quintptr>(flat));
}

QString EntryTreeModel::nodeDescription(qsizetype flat) const {
    return nodeName(nodeOf(flat));
}

Qt::ItemFlags EntryTreeModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags result = QAbstractItemModel::flags(index);
    if (index.isValid() && m_rename && (!m_mayRename || m_mayRename(flatPosition(index))))
        result |= Qt::ItemIsEditable;
    return result;
}

QVariant EntryTreeModel::data(const QModelIndex &index, int role) const {
    const qsizetype flat = flatPosition(index);
    if (flat < 0 || flat >= entryCount() * nodesPerEntry())
        return {};
    const bool isEntry = nodeOf(flat) == 0;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return nodeText(flat);
    case Qt::AccessibleTextRole: {
        // No node goes without a name: an empty one is read by what it holds.
        const QString text = nodeText(flat);
        return text.isEmpty() && !isEntry ? nodeName(nodeOf(flat)) : text;
    }
    case Qt::AccessibleDescriptionRole:
        return isEntry ? QVariant() : QVariant(nodeDescription(flat));
    case Qt::DecorationRole:
        return nodeIcon(flat);
    default:
        return {};
    }
}

bool EntryTreeModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_rename(flatPosition(index), value.toString());
    emit dataChanged(index, index);
    return true;
}

QModelIndex EntryTreeModel::index(int row, int column, const QModelIndex &parent) const {
    if (!hasIndex(row, column, parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, static_cast<quintptr>(row * nodesPerEntry()));
    const qsizetype parentFlat = flatPosition(parent);
    const qsizetype entryStart = parentFlat - nodeOf(parentFlat);
    return createIndex(row, column, static_cast<quintptr>(entryStart + m_children.at(nodeOf(parentFlat)).at(row)));
}

QModelIndex EntryTreeModel::parent(const QModelIndex &child) const {
    if (!child.isValid())
        return {};
    const qsizetype flat = flatPosition(child);
    const qsizetype node = nodeOf(flat);
    if (node == 0)
        return {};
    return indexOf(flat - node + m_parents.at(node));
}

int EntryTreeModel::rowCount(const QModelIndex &parent) const {
    if (!parent.isValid())
        return static_cast<int>(entryCount());
    if (parent.column() != 0)
        return 0;
    return static_cast<int>(m_children.at(nodeOf(flatPosition(parent))).size());
}

int EntryTreeModel::columnCount(const QModelIndex &) const {
    return 1;
}
