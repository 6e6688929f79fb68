#pragma once

#include "EntryTreeModel.h"
#include "LoadReplaceEntry.h"

// Shows the rules in `rtree`: one row per rule (system picture 4) with its four attributes below it
// (picture 1): Host, Saveto, GANum, GA. Every row can be renamed in place once renaming is set.
class LoadReplaceModel : public EntryTreeModel {
    Q_OBJECT
public:
    explicit LoadReplaceModel(const LoadReplaceList &rules, QObject *parent = nullptr);

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    qsizetype entryCount() const override { return m_rules.size(); }

    const LoadReplaceList &m_rules;
};
