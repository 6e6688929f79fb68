#pragma once

#include "CatalogueModel.h"

#include <QStringList>
#include <QTreeView>

// `ovtree`: the catalogue as a tree, a drag source for its objects. A new tree replaces the old
// one in one reset; the expanded folders and the selection come back where they still exist.
class CatalogueTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit CatalogueTreeView(QWidget *parent = nullptr);

    void showCatalogue(std::shared_ptr<const CatalogueTree> tree);
    const CatalogueModel &catalogueModel() const { return m_model; }

signals:
    // The node about to be selected: a node id of the tree, or -1 for a detail line.
    void nodeChanging(int nodeId);
    // A click; nodeId as above for the selected node (-1 when none is selected).
    void nodeClicked(int nodeId);

private:
    using Path = QStringList;
    void collectExpanded(const QModelIndex &parent, Path &path, std::vector<Path> &into) const;
    QModelIndex find(const Path &path) const;
    Path pathOf(QModelIndex index) const;

    CatalogueModel m_model;
    bool m_restoring = false;
};
