#pragma once

#include "EntryTreeModel.h"
#include "MenuCommand.h"

#include <QIcon>

// Shows the menu entries in `btree`: one row per entry with its base symbol, and below it the ten
// attributes in their fixed order (the state attribute with the current state icon).
class MenuTreeModel : public EntryListTreeModel<MenuList> {
    Q_OBJECT
public:
    using SymbolIcons = std::function<QIcon(int index)>;
    // The picture the attribute rows carry.
    static constexpr int kAttributeSymbol = MenuList::kAttributeSymbol;

    // symbolIcons defaults to the program's menu symbols.
    explicit MenuTreeModel(const MenuList &menu, SymbolIcons symbolIcons = {}, QObject *parent = nullptr);

    // Values and state icons changed; the rows stay as they are (expanded rows stay expanded).
    void refreshValues();
    // Entry k's text, symbol or attributes changed in place.
    void refreshEntry(qsizetype k);

private:
    QString nodeName(qsizetype node) const override { return kMenuAttributes[node - 1].name; }
    QString nodeDescription(qsizetype flat) const override;
    QVariant nodeIcon(qsizetype flat) const override;

    SymbolIcons m_symbolIcons;
};
