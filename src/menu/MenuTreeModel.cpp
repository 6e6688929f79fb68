#include "MenuTreeModel.h"

#include "ImageLists.h"

namespace {
// The rows a new value changes: the state, its number and the value.
constexpr qsizetype kStateNode = 1 + kMenuStateAttribute;
constexpr qsizetype kLvNode = kStateNode + 2;
} // namespace

MenuTreeModel::MenuTreeModel(const MenuList &menu, SymbolIcons symbolIcons, QObject *parent)
    : EntryListTreeModel(menu, parent),
      m_symbolIcons(symbolIcons ? std::move(symbolIcons) : SymbolIcons(&ImageLists::symbolImage)) {
}

void MenuTreeModel::refreshValues() {
    for (qsizetype k = 0; k < list().size(); ++k) {
        const qsizetype entry = MenuList::flatPosition(k);
        emit dataChanged(indexOf(entry + kStateNode), indexOf(entry + kLvNode));
    }
}

void MenuTreeModel::refreshEntry(qsizetype k) {
    if (k < 0 || k >= list().size())
        return;
    const qsizetype entry = MenuList::flatPosition(k);
    emit dataChanged(indexOf(entry), indexOf(entry));
    emit dataChanged(indexOf(entry + 1), indexOf(entry + MenuList::kNodesPerEntry - 1));
}

QString MenuTreeModel::nodeDescription(qsizetype flat) const {
    // The state row's text is always the same; its picture is what it tells.
    if (nodeOf(flat) == kStateNode)
        return u"Bild "_qs + QString::number(list().at(flat / MenuList::kNodesPerEntry).stateIcon);
    return EntryTreeModel::nodeDescription(flat);
}

QVariant MenuTreeModel::nodeIcon(qsizetype flat) const {
    const MenuCommand &entry = list().at(flat / MenuList::kNodesPerEntry);
    switch (nodeOf(flat)) {
    case 0:
        return m_symbolIcons(entry.symbol);
    case kStateNode:
        return m_symbolIcons(entry.stateIcon);
    default:
        return m_symbolIcons(kAttributeSymbol);
    }
}
