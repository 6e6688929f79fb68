#include "MenuTreeModel.h"

#include "ImageLists.h"

#include <iterator>

namespace {
// Entry rows carry 0 as internal id; attribute rows carry their entry's row + 1.
constexpr quintptr kEntryRow = 0;
constexpr int kStateAttribute = 3;
constexpr int kLvAttribute = 5;
// What each attribute row holds, for screen readers: an empty Wert or Soundname has no text of its own.
const QString kAttributeNames[] = {u"Typ"_qs, u"Aktion"_qs,  u"Wert"_qs, u"Symbolstatus"_qs, u"GAN"_qs,
                                   u"LV"_qs,  u"Balloon"_qs, u"Msg"_qs,  u"Sound"_qs,        u"Soundname"_qs};
static_assert(qsizetype(std::size(kAttributeNames)) == MenuList::kNodesPerEntry - 1);
} // namespace

MenuTreeModel::MenuTreeModel(const MenuList &menu, SymbolIcons symbolIcons, QObject *parent)
    : QAbstractItemModel(parent), m_menu(menu),
      m_symbolIcons(symbolIcons ? std::move(symbolIcons) : SymbolIcons(&ImageLists::symbolImage)) {
}

void MenuTreeModel::reload() {
    beginResetModel();
    endResetModel();
}

void MenuTreeModel::refreshValues() {
    for (int k = 0; k < rowCount(); ++k) {
        const QModelIndex entry = index(k, 0);
        emit dataChanged(index(kStateAttribute, 0, entry), index(kLvAttribute, 0, entry));
    }
}

void MenuTreeModel::refreshEntry(qsizetype k) {
    if (k < 0 || k >= m_menu.size())
        return;
    const QModelIndex entry = index(static_cast<int>(k), 0);
    emit dataChanged(entry, entry);
    emit dataChanged(index(0, 0, entry), index(rowCount(entry) - 1, 0, entry));
}

void MenuTreeModel::setRenaming(std::function<bool(qsizetype)> mayRename,
                                std::function<void(qsizetype, const QString &)> rename) {
    m_mayRename = std::move(mayRename);
    m_rename = std::move(rename);
}

qsizetype MenuTreeModel::flatPosition(const QModelIndex &index) {
    if (!index.isValid())
        return -1;
    if (index.internalId() == kEntryRow)
        return MenuList::flatPosition(index.row());
    return MenuList::flatPosition(static_cast<qsizetype>(index.internalId() - 1)) + 1 + index.row();
}

QModelIndex MenuTreeModel::indexOf(qsizetype flat) const {
    if (flat < 0 || flat >= m_menu.nodeCount())
        return {};
    const QModelIndex entry = index(static_cast<int>(flat / MenuList::kNodesPerEntry), 0);
    const auto attribute = static_cast<int>(flat % MenuList::kNodesPerEntry);
    return attribute == 0 ? entry : index(attribute - 1, 0, entry);
}

Qt::ItemFlags MenuTreeModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags result = QAbstractItemModel::flags(index);
    if (index.isValid() && m_mayRename && m_mayRename(flatPosition(index)))
        result |= Qt::ItemIsEditable;
    return result;
}

bool MenuTreeModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (role != Qt::EditRole || !(flags(index) & Qt::ItemIsEditable) || !m_rename)
        return false;
    m_rename(flatPosition(index), value.toString());
    emit dataChanged(index, index);
    return true;
}

QModelIndex MenuTreeModel::index(int row, int column, const QModelIndex &parent) const {
    if (!hasIndex(row, column, parent))
        return {};
    if (!parent.isValid())
        return createIndex(row, column, kEntryRow);
    return createIndex(row, column, static_cast<quintptr>(parent.row()) + 1);
}

QModelIndex MenuTreeModel::parent(const QModelIndex &child) const {
    if (!child.isValid() || child.internalId() == kEntryRow)
        return {};
    return createIndex(static_cast<int>(child.internalId() - 1), 0, kEntryRow);
}

int MenuTreeModel::rowCount(const QModelIndex &parent) const {
    if (!parent.isValid())
        return static_cast<int>(m_menu.size());
    if (parent.internalId() == kEntryRow && parent.column() == 0)
        return static_cast<int>(MenuList::kNodesPerEntry - 1);
    return 0;
}

int MenuTreeModel::columnCount(const QModelIndex &) const {
    return 1;
}

QVariant MenuTreeModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    const bool isEntry = index.internalId() == kEntryRow;
    const qsizetype k = isEntry ? index.row() : static_cast<qsizetype>(index.internalId() - 1);
    if (k >= m_menu.size())
        return {};
    const MenuCommand &entry = m_menu.at(k);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return isEntry ? entry.bezeichnung : m_menu.nodeText(MenuList::flatPosition(k) + 1 + index.row());
    case Qt::AccessibleTextRole: {
        // No row goes without a name: an empty attribute is read by what it holds.
        const QString text = data(index, Qt::DisplayRole).toString();
        return text.isEmpty() && !isEntry ? kAttributeNames[index.row()] : text;
    }
    case Qt::AccessibleDescriptionRole:
        if (isEntry)
            return {};
        // The state row's text is always the same; its picture is what it tells.
        if (index.row() == kStateAttribute)
            return u"Bild "_qs + QString::number(entry.stateIcon);
        return kAttributeNames[index.row()];
    case Qt::DecorationRole:
        if (isEntry)
            return m_symbolIcons(entry.symbol);
        return m_symbolIcons(index.row() == kStateAttribute ? entry.stateIcon : kAttributeSymbol);
    default:
        return {};
    }
}
