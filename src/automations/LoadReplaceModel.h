#pragma once

#include "LoadReplaceEntry.h"
#include "PictureTreeModel.h"

// Shows the rules in `rtree`: one row per rule (system picture 4) with its four attributes below it
// (picture 1): Host, Saveto, GANum, GA. Every row can be renamed in place once renaming is set.
class LoadReplaceModel : public PictureTreeModel<LoadReplaceList> {
public:
    explicit LoadReplaceModel(const LoadReplaceList &rules, QObject *parent = nullptr);
};
