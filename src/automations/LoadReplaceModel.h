#pragma once

#include "LoadReplaceEntry.h"

#include <QAbstractItemModel>
#include <functional>

// Shows the rules in `rtree`: one row per rule (system picture 4) with its four attributes below it
// (picture 1): Host, Saveto, GANum, GA. Every row can be renamed in place.
class LoadReplaceModel : public QAbstractItemModel {
    Q_OBJECT
public:
    explicit LoadReplaceModel(const LoadReplaceList &rules, QObject *parent = nullptr);

    // The rules were replaced, added, moved or removed.
    void reload();
    // rename takes the text the user typed for the node at a flat position.
    void setRenaming(std::function<void(qsizetype flat, const QString &text)> rename);

    // The flat position of a node (rule 5·k, its attributes after it), and back.
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
    const LoadReplaceList &m_rules;
    std::function<void(qsizetype, const QString &)> m_rename;
};
