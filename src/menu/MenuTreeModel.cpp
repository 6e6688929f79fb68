#include "MenuTreeModel.h"

#include "ImageLists.h"

#include <iterator>

namespace {
constexpr int kStateAttribute = 3;
constexpr int kLvAttribute = 5;
// What each attribute row holds, for screen readers: an empty Wert or Soundname has no text of its own.
const QString kAttributeNames[] = {u"Typ"_qs, u"Aktion"_qs,  u"Wert"_qs, u"Symbolstatus"_qs, u"GAN"_qs,
                                   u"LV"_qs,  u"Balloon"_qs, u"Msg"_qs,  u"Sound"_qs,        u"Soundname"_qs};
static_assert(qsizetype(std::size(kAttributeNames)) == MenuList::kNodesPerEntry - 1);
} // namespace

MenuTreeModel::MenuTreeModel(const MenuList &menu, SymbolIcons symbolIcons, QObject *parent)
    : EntryTreeModel(MenuList::kNodesPerEntry, parent), m_menu(menu),
      m_symbolIcons(symbolIcons ? std::move(symbolIcons) : SymbolIcons(&ImageLists::symbolImage)) {
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

QVariant MenuTreeModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    const bool isEntry = isEntryRow(index);
    const qsizetype k = entryOf(index);
    if (k >= m_menu.size())
        return {};
    const MenuCommand &entry = m_menu.at(k);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return isEntry ? entry.bezeichnung : m_menu.nodeText(flatPosition(index));
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
