#pragma once

#include <memory>

class CatalogueTree;

// What the catalogue needs of its place in the window: the load button and progress bar, and the
// tree `ovtree`. The window's catalogue column implements it.
class CatalogueDisplay {
public:
    virtual ~CatalogueDisplay() = default;
    // Loading: the progress bar shown and the button disabled, or the bar hidden at 0 and the
    // button enabled again.
    virtual void setLoading(bool loading) = 0;
    virtual void setLoadProgress(int permille) = 0;
    // Shows a finished tree in one go, keeping the expanded folders and the selection that still exist.
    virtual void showCatalogue(std::shared_ptr<const CatalogueTree> tree) = 0;
};
