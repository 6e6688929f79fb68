#include "LoadReplaceModel.h"

namespace {
constexpr int kRulePicture = 4;
constexpr int kAttributePicture = 1;

// Every node is named as the file names its key.
QList<LoadReplaceModel::Node> ruleNodes() {
    QList<LoadReplaceModel::Node> nodes;
    for (const LoadReplaceNode &node : kLoadReplaceNodes)
        nodes.append({node.name, nodes.isEmpty() ? kRulePicture : kAttributePicture});
    return nodes;
}
} // namespace

LoadReplaceModel::LoadReplaceModel(const LoadReplaceList &rules, QObject *parent)
    : PictureTreeModel(rules, ruleNodes(), {}, parent) {
}
