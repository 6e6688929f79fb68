#pragma once

#include <QAbstractItemModel>
#include <QList>
#include <functional>

// A list of entries shown as a tree: one top row per entry and its nodes below it, in the same fixed
// shape for every entry. The nodes are numbered flat, as the program's files and lists address them:
// entry k at k·nodesPerEntry, its nodes after it in pre-order. Subclasses say how many entries there
// are and what each node shows; a node without text of its own is read out by the name of what it
// holds.
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
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

protected:
    // parents holds, for every node of an entry (0 the entry itself), the node it hangs under;
    // parents[0] is -1.
    EntryTreeModel(QList<qsizetype> parents, QObject *parent);
    // The shape of an entry whose nodes all hang directly under it.
    static QList<qsizetype> attributesBelow(qsizetype nodesPerEntry);

    virtual qsizetype entryCount() const = 0;
    virtual QString nodeText(qsizetype flat) const = 0;
    // What a node below an entry holds, for screen readers.
    virtual QString nodeName(qsizetype node) const = 0;
    virtual QVariant nodeIcon(qsizetype flat) const = 0;
    // What a screen reader says about a node besides its text; its name unless a subclass knows better.
    virtual QString nodeDescription(qsizetype flat) const;

    // The node within its entry (0: the entry) of a flat position.
    qsizetype nodeOf(qsizetype flat) const { return flat % nodesPerEntry(); }
    qsizetype nodesPerEntry() const { return m_parents.size(); }

private:
    const QList<qsizetype> m_parents;
    QList<QList<qsizetype>> m_children; // per node, the nodes that hang under it in order
    QList<int> m_rowInParent;           // per node below the entry, its row under its parent
    Rename m_rename;
    MayRename m_mayRename;
};

// The tree of one of the program's lists (an EntryList with node texts): the entries and the texts
// are the list's; subclasses name the nodes and give their pictures.
template <typename List> class EntryListTreeModel : public EntryTreeModel {
protected:
    // The list must outlive the model. Without a shape, every node hangs directly under its entry.
    EntryListTreeModel(const List &list, QObject *parent)
        : EntryListTreeModel(list, attributesBelow(List::kNodesPerEntry), parent) {}
    EntryListTreeModel(const List &list, QList<qsizetype> parents, QObject *parent)
        : EntryTreeModel(std::move(parents), parent), m_list(list) {}

    const List &list() const { return m_list; }

private:
    qsizetype entryCount() const override { return m_list.size(); }
    QString nodeText(qsizetype flat) const override { return m_list.nodeText(flat); }

    const List &m_list;
};
