#include "CatalogueTreeView.h"

#include <QItemSelectionModel>

CatalogueTreeView::CatalogueTreeView(QWidget *parent) : QTreeView(parent) {
    setObjectName(u"ovtree"_qs);
    setAccessibleName(u"Kommunikationsobjekte"_qs);
    setHeaderHidden(true);
    setUniformRowHeights(true);
    setEditTriggers(NoEditTriggers);
    setDragEnabled(true);
    setDragDropMode(DragOnly);
    setDefaultDropAction(Qt::CopyAction);
    setModel(&m_model);
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex &current) {
        if (!m_restoring && current.isValid())
            emit nodeChanging(m_model.nodeId(current));
    });
    connect(this, &QTreeView::clicked, this, [this] {
        const QModelIndex current = currentIndex();
        emit nodeClicked(current.isValid() ? m_model.nodeId(current) : -1);
    });
}

void CatalogueTreeView::showCatalogue(std::shared_ptr<const CatalogueTree> tree) {
    std::vector<Path> expanded;
    Path path;
    collectExpanded({}, path, expanded);
    const Path selected = pathOf(currentIndex());

    m_model.setTree(std::move(tree));

    // Putting the old state back is no new choice of the user: `selectedGan` stays as it was.
    m_restoring = true;
    for (const Path &p : expanded)
        if (const QModelIndex index = find(p); index.isValid())
            expand(index);
    if (const QModelIndex index = find(selected); index.isValid())
        setCurrentIndex(index);
    m_restoring = false;
}

void CatalogueTreeView::collectExpanded(const QModelIndex &parent, Path &path, std::vector<Path> &into) const {
    const int rows = m_model.rowCount(parent);
    for (int row = 0; row < rows; ++row) {
        const QModelIndex child = m_model.index(row, 0, parent);
        if (!isExpanded(child))
            continue;
        path.append(child.data().toString());
        into.push_back(path);
        collectExpanded(child, path, into);
        path.removeLast();
    }
}

CatalogueTreeView::Path CatalogueTreeView::pathOf(QModelIndex index) const {
    Path path;
    for (; index.isValid(); index = index.parent())
        path.prepend(index.data().toString());
    return path;
}

QModelIndex CatalogueTreeView::find(const Path &path) const {
    QModelIndex index;
    for (const QString &text : path) {
        index = m_model.childByText(index, text);
        if (!index.isValid())
            return {};
    }
    return index;
}
