#include "CatalogueTreeView.h"

#include "CatalogueTexts.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QMenu>

CatalogueTreeView::CatalogueTreeView(QWidget *parent) : QTreeView(parent) {
    setObjectName(u"ovtree"_qs);
    setAccessibleName(CatalogueTexts::kTreeName);
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

void CatalogueTreeView::contextMenuEvent(QContextMenuEvent *event) {
    if (event->reason() != QContextMenuEvent::Mouse) {
        showObjectMenu(currentIndex(), std::nullopt);
        return;
    }
    const QModelIndex index = indexAt(event->pos());
    // The object clicked on becomes the chosen one, as a left click would make it.
    if (index.isValid())
        setCurrentIndex(index);
    showObjectMenu(index, event->globalPos());
}

void CatalogueTreeView::keyPressEvent(QKeyEvent *event) {
    // Not every platform turns these keys into a context menu event.
    const bool menuKey = event->key() == Qt::Key_Menu && event->modifiers() == Qt::NoModifier;
    const bool shiftF10 = event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier;
    if (menuKey || shiftF10)
        showObjectMenu(currentIndex(), std::nullopt);
    else
        QTreeView::keyPressEvent(event);
}

void CatalogueTreeView::showObjectMenu(const QModelIndex &index, std::optional<QPoint> globalPos) {
    const std::optional<DraggedObject> object = m_model.objectAt(index);
    if (!object)
        return;
    if (!m_objectMenu) {
        m_objectMenu = new QMenu(this);
        m_objectMenu->setObjectName(u"ovtreeMenu"_qs);
        m_objectMenu->setAccessibleName(accessibleName());
        m_dropOnto = m_objectMenu->addMenu(CatalogueTexts::kDropOnto);
        m_dropOnto->setObjectName(u"dropOnto"_qs);
        m_dropOnto->setAccessibleName(CatalogueTexts::kDropOnto);
    }
    m_dropOnto->clear();
    const QList<DropTargets::Target> shown = m_dropTargets.shown();
    m_dropOnto->setEnabled(!shown.isEmpty());
    for (const DropTargets::Target &target : shown) {
        const QString refusal = target.refusal ? target.refusal() : QString();
        QAction *action = m_dropOnto->addAction(
            refusal.isEmpty() ? target.caption : QStringLiteral("%1 – %2").arg(target.caption, refusal));
        action->setEnabled(refusal.isEmpty());
        connect(action, &QAction::triggered, this, [drop = target.drop, dropped = *object] { drop(dropped); });
    }
    // From the keyboard the menu opens at the chosen object.
    const QPoint at = globalPos.value_or(viewport()->mapToGlobal(visualRect(index).center()));
    m_objectMenu->popup(at);
    if (globalPos) {
        m_objectMenu->setActiveAction(m_objectMenu->actions().value(0));
    } else {
        // From the keyboard the first item is marked as the arrow keys mark it: setActiveAction()
        // would open its submenu at once, where Right then does nothing and Return is needed twice.
        QKeyEvent down(QEvent::KeyPress, Qt::Key_Down, Qt::NoModifier);
        QCoreApplication::sendEvent(m_objectMenu, &down);
    }
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
