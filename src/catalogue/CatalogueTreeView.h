#pragma once

#include "CatalogueModel.h"
#include "DropTargets.h"

#include <QStringList>
#include <QTreeView>

class QMenu;

// `ovtree`: the catalogue as a tree, a drag source for its objects. A new tree replaces the old
// one in one reset; the expanded folders and the selection come back where they still exist.
// Since dragging needs a mouse, the context menu of an object (right click, the context-menu key
// or Shift+F10) offers "Ablegen auf …" with the drop targets on screen.
class CatalogueTreeView : public QTreeView {
    Q_OBJECT
public:
    explicit CatalogueTreeView(QWidget *parent = nullptr);

    void showCatalogue(std::shared_ptr<const CatalogueTree> tree);
    const CatalogueModel &catalogueModel() const { return m_model; }
    // Where objects can be put; the context menu offers those shown.
    DropTargets &dropTargets() { return m_dropTargets; }

signals:
    // The node about to be selected: a node id of the tree, or -1 for a detail line.
    void nodeChanging(int nodeId);
    // A click; nodeId as above for the selected node (-1 when none is selected).
    void nodeClicked(int nodeId);

protected:
    void contextMenuEvent(QContextMenuEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showObjectMenu(const QModelIndex &index, std::optional<QPoint> globalPos);
    using Path = QStringList;
    void collectExpanded(const QModelIndex &parent, Path &path, std::vector<Path> &into) const;
    QModelIndex find(const Path &path) const;
    Path pathOf(QModelIndex index) const;

    CatalogueModel m_model;
    DropTargets m_dropTargets;
    QMenu *m_objectMenu = nullptr;
    QMenu *m_dropOnto = nullptr;
    bool m_restoring = false;
};
