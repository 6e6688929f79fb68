#pragma once

#include "EntryTreeModel.h"
#include "ImageLists.h"

// The tree of a list whose nodes each show a fixed picture of the system image list, and are read
// out by a fixed name when they have no text.
template <typename List> class PictureTreeModel : public EntryListTreeModel<List> {
public:
    struct Node {
        QString name; // none for the entry itself, which is read by its text
        int picture;
    };

    // One node description per node of an entry, in flat order; parents gives the entry's shape
    // (none: every node hangs directly under the entry). The list must outlive the model.
    PictureTreeModel(const List &list, QList<Node> nodes, QList<qsizetype> parents, QObject *parent)
        : EntryListTreeModel<List>(
              list, parents.isEmpty() ? EntryTreeModel::attributesBelow(List::kNodesPerEntry) : parents, parent),
          m_nodes(std::move(nodes)) {}

private:
    QString nodeName(qsizetype node) const override { return m_nodes.at(node).name; }
    QVariant nodeIcon(qsizetype flat) const override {
        return ImageLists::systemImage(m_nodes.at(this->nodeOf(flat)).picture);
    }

    const QList<Node> m_nodes;
};
