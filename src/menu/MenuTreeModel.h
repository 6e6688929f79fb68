#pragma once

#include "MenuCommand.h"

#include <QAbstractItemModel>
#include <QIcon>
#include <functional>

// Shows the menu entries in `btree`: one row per entry with its base symbol, and below it the ten
// attributes in their fixed order (the state attribute with the current state icon).
class MenuTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    using SymbolIcons = std::function<QIcon(int index)>;
    // The picture the attribute rows carry.
    static constexpr int kAttributeSymbol = MenuList::kAttributeSymbol;

    // symbolIcons defaults to the program's menu symbols.
    explicit MenuTreeModel(const MenuList &menu, SymbolIcons symbolIcons = {}, QObject *parent = nullptr);

    // The entries were replaced, added, moved or removed.
    void reload();
    // Values and state icons changed; the rows stay as they are (expanded rows stay expanded).
    void refreshValues();
    // Entry k's text, symbol or attributes changed in place.
    void refreshEntry(qsizetype k);

    // In-place renaming: mayRename tells by flat position which nodes may be edited at all, rename
    // takes the text the user typed. Without them nothing is editable.
    void setRenaming(std::function<bool(qsizetype flat)> mayRename,
                     std::function<void(qsizetype flat, const QString &text)> rename);

    // The flat position of a node (entry 11·k, its attributes after it), and back.
    static qsizetype flatPosition(const QModelIndex &index);
    QModelIndex indexOf(qsizetype flat) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

private:
    const MenuList &m_menu;
    SymbolIcons m_symbolIcons;
    std::function<bool(qsizetype)> m_mayRename;
    std::function<void(qsizetype, const QString &)> m_rename;
};
