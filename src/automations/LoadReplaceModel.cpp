#include "LoadReplaceModel.h"

#include "ImageLists.h"

namespace {
// Rule rows carry 0 as internal id; attribute rows carry their rule's row + 1.
constexpr quintptr kRuleRow = 0;
constexpr int kRulePicture = 4;
constexpr int kAttributePicture = 1;
// What each attribute row holds, for screen readers: an empty Host has no text of its own.
const QString kAttributeNames[] = {u"Host"_qs, u"Saveto"_qs, u"GANum"_qs, u"GA"_qs};
} // namespace

LoadReplaceModel::LoadReplaceModel(const LoadReplaceList &rules, QObject *parent)
    : QAbstractItemModel(parent), m_rules(rules) {
}

void LoadReplaceModel::reload() {
    beginResetModel();
    endResetModel();
}

void LoadReplaceModel::setRenaming(std::function<void(qsizetype, const QString &)> rename) {
    m_rename = std::move(rename);
}

qsizetype LoadReplaceModel::flatPosition(const QModelIndex &index) {
    if (!index.isValid())
        return -1;
    if (index.internalId() == kRuleRow)
        return LoadReplaceList::flatPosition(index.row());
    return LoadReplaceList::flatPosition(static_cast<qsizetype>(index.internalId() - 1)) + 1 + index.row();
}

QModelIndex LoadReplaceModel::indexOf(qsizetype flat) const {
    if (flat < 0 || flat >= m_rules.nodeCount())
        return {};
    const QModelIndex rule = index(static_cast<int>(flat / LoadReplaceList::kNodesPerEntry), 0);
    const auto attribute = static_cast<int>(flat % LoadReplaceList::kNodesPerEntry);
    return attribute == 0 ? rule : index(attribute - 1, 0, rule);
}

Qt::ItemFlags LoadReplaceModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags result = QAbstractItemModel::flags(index);
    if (index.isValid() && m_rename)
        result |= Qt::ItemIsEditable;
    return result;
}

bool LoadReplaceModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable))
        return false;
    m_rename(flatPosition(index), value.toString());
    emit dataChanged(index, index);
    return true;
}

QModelIndex LoadReplaceModel::index(int row, int column, const QModelIndex &parent) const {
    if (!hasIndex(row, column, parent))
        return {};
    return createIndex(row, column, parent.isValid() ? static_cast<quintptr>(parent.row()) + 1 : kRuleRow);
}

QModelIndex LoadReplaceModel::parent(const QModelIndex &child) const {
    if (!child.isValid() || child.internalId() == kRuleRow)
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, kRuleRow);
}

int LoadReplaceModel::rowCount(const QModelIndex &parent) const {
    if (!parent.isValid())
        return static_cast<int>(m_rules.size());
    if (parent.internalId() == kRuleRow && parent.column() == 0)
        return static_cast<int>(LoadReplaceList::kNodesPerEntry - 1);
    return 0;
}

int LoadReplaceModel::columnCount(const QModelIndex &) const {
    return 1;
}

QVariant LoadReplaceModel::data(const QModelIndex &index, int role) const {
    const qsizetype flat = flatPosition(index);
    if (flat < 0 || flat >= m_rules.nodeCount())
        return {};
    const bool isRule = index.internalId() == kRuleRow;
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_rules.nodeText(flat);
    case Qt::AccessibleTextRole: {
        const QString text = m_rules.nodeText(flat);
        return text.isEmpty() && !isRule ? kAttributeNames[index.row()] : text;
    }
    case Qt::AccessibleDescriptionRole:
        return isRule ? QVariant() : kAttributeNames[index.row()];
    case Qt::DecorationRole:
        return ImageLists::systemImage(isRule ? kRulePicture : kAttributePicture);
    default:
        return {};
    }
}
