#include "LoadReplaceModel.h"

#include "ImageLists.h"

namespace {
constexpr int kRulePicture = 4;
constexpr int kAttributePicture = 1;
// What each attribute row holds, for screen readers: an empty Host has no text of its own.
const QString kAttributeNames[] = {u"Host"_qs, u"Saveto"_qs, u"GANum"_qs, u"GA"_qs};
} // namespace

LoadReplaceModel::LoadReplaceModel(const LoadReplaceList &rules, QObject *parent)
    : EntryTreeModel(LoadReplaceList::kNodesPerEntry, parent), m_rules(rules) {
}

QVariant LoadReplaceModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || entryOf(index) >= m_rules.size())
        return {};
    const qsizetype flat = flatPosition(index);
    const bool isRule = isEntryRow(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return m_rules.nodeText(flat);
    case Qt::AccessibleTextRole: {
        const QString text = m_rules.nodeText(flat);
        return text.isEmpty() && !isRule ? kAttributeNames[index.row()] : text;
    }
    case Qt::AccessibleDescriptionRole:
        return isRule ? QVariant() : kAttributeNames[index.row()];
    case Qt::DecorationRole:
        return ImageLists::systemImage(isRule ? kRulePicture : kAttributePicture);
    default:
        return {};
    }
}
