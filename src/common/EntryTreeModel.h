#pragma once

#include <QAbstractItemModel>
#include <functional>

// A list of entries shown as a tree: one row per entry, its attributes as rows below it. The nodes
// are numbered flat, as the program's files and lists address them: entry k at k·nodesPerEntry, its
// attributes after it. Subclasses say how many entries there are and what each row shows.
class EntryTreeModel : public QAbstractItemModel {
    Q_OBJECT
public:
    using Rename = std::function<void(qsizetype flat, const QString &text)>;
    using MayRename = std::function<bool(qsizetype flat)>;

    // The entries were replaced, added, moved or removed.
    void reload();
    // In-place renaming: rename takes the text the user typed for the node at a flat position;
    // without it nothing is editable. mayRename, when given, tells which nodes may be edited at all.
    void setRenaming(Rename rename, MayRename mayRename = {});

    // The flat position of a node, and back.
    qsizetype flatPosition(const QModelIndex &index) const;
    QModelIndex indexOf(qsizetype flat) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

protected:
    EntryTreeModel(qsizetype nodesPerEntry, QObject *parent);
    virtual qsizetype entryCount() const = 0;

    static bool isEntryRow(const QModelIndex &index) { return index.internalId() == kEntryRow; }
    // The entry a valid row shows or belongs to.
    static qsizetype entryOf(const QModelIndex &index);

private:
    // Entry rows carry 0 as internal id; attribute rows carry their entry's row + 1.
    static constexpr quintptr kEntryRow = 0;

    const qsizetype m_nodesPerEntry;
    Rename m_rename;
    MayRename m_mayRename;
};
