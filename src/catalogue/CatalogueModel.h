#pragma once

#include "CatalogueDrag.h"
#include "CatalogueTree.h"

#include <QAbstractItemModel>
#include <memory>

// Shows a CatalogueTree: groups, folders and objects with their eight detail lines, each with its
// picture. Objects are dragged as kCommObjectMimeType (see CatalogueDrag.h).
class CatalogueModel : public QAbstractItemModel {
    Q_OBJECT
public:
    using QAbstractItemModel::QAbstractItemModel;

    // Replaces the tree in one reset.
    void setTree(std::shared_ptr<const CatalogueTree> tree);
    const CatalogueTree *tree() const { return m_tree.get(); }

    // The tree's node id of an index, or -1 for a detail line (and the invalid index).
    int nodeId(const QModelIndex &index) const;
    // The object of an object node, as a drag carries it; none for any other node.
    std::optional<DraggedObject> objectAt(const QModelIndex &index) const;
    // The first child of parent with exactly this text.
    QModelIndex childByText(const QModelIndex &parent, const QString &text) const;

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    Qt::DropActions supportedDragActions() const override;

private:
    std::shared_ptr<const CatalogueTree> m_tree;
};
