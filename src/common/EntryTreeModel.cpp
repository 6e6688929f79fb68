#include "EntryTreeModel.h"

EntryTreeModel::EntryTreeModel(qsizetype nodesPerEntry, QObject *parent)
    : QAbstractItemModel(parent), m_nodesPerEntry(nodesPerEntry) {
}

void EntryTreeModel::reload() {
    beginResetModel();
    endResetModel();
}

void EntryTreeModel::setRenaming(Rename rename, MayRename mayRename) {
    m_rename = std::move(rename);
    m_mayRename = std::move(mayRename);
}

qsizetype EntryTreeModel::entryOf(const QModelIndex &index) {
    return isEntryRow(index) ? index.row() : static_cast<qsizetype>(index.internalId() - 1);
}

qsizetype EntryTreeModel::flatPosition(const QModelIndex &index) const {
    if (!index.isValid())
        return -1;
    const qsizetype entry = entryOf(index) * m_nodesPerEntry;
    return isEntryRow(index) ? entry : entry + 1 + index.row();
}

QModelIndex EntryTreeModel::indexOf(qsizetype flat) const {
    if (flat < 0 || flat >= entryCount() * m_nodesPerEntry)
        return {};
    const QModelIndex entry = index(static_cast<int>(flat / m_nodesPerEntry), 0);
    const auto attribute = static_cast<int>(flat % m_nodesPerEntry);
    return attribute == 0 ? entry : index(attribute - 1, 0, entry);
}

Qt::ItemFlags EntryTreeModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags result = QAbstractItemModel::flags(index);
    if (index.isValid() && m_rename && (!m_mayRename || m_mayRename(flatPosition(index))))
        result |= Qt::ItemIsEditable;
    return result;
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
    return createIndex(row, column, parent.isValid() ? static_cast<quintptr>(parent.row()) + 1 : kEntryRow);
}

QModelIndex EntryTreeModel::parent(const QModelIndex &child) const {
    if (!child.isValid() || isEntryRow(child))
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, kEntryRow);
}

int EntryTreeModel::rowCount(const QModelIndex &parent) const {
    if (!parent.isValid())
        return static_cast<int>(entryCount());
    if (isEntryRow(parent) && parent.column() == 0)
        return static_cast<int>(m_nodesPerEntry - 1);
    return 0;
}

int EntryTreeModel::columnCount(const QModelIndex &) const {
    return 1;
}
