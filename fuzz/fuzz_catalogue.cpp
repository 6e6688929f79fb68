// The catalogue reader: whatever a server sends, reading it ends with a tree or an error code, and
// the tree is sound: two groups, every node where its parent says, no folder deeper than the
// budget, every object in the folders its path names (the deepest allowed one for a deeper path,
// counted as folded), and an object budget that keeps the first objects and counts the rest.
#include "CatalogueTree.h"
#include "FuzzCheck.h"
#include "Reference.h"

#include <QStringList>

namespace {
// The folders an object's path names: the text before each "\".
QStringList segments(const QString &path) {
    QStringList parts = path.split(u'\\');
    parts.removeLast(); // text after the last separator names no folder
    return parts;
}

// Checks the tree's shape and returns the number of object nodes.
int checkShape(const CatalogueTree &tree) {
    FUZZ_CHECK(tree.roots().size() == 2);
    FUZZ_CHECK(tree.node(tree.roots()[0]).text == u"EIB"_qs);
    FUZZ_CHECK(tree.node(tree.roots()[1]).text == u"Intern"_qs);
    int objectNodes = 0;
    std::vector<int> objectSeen(static_cast<std::size_t>(tree.objectCount()), 0);
    for (int id = 0; id < tree.nodeCount(); ++id) {
        const CatalogueTree::Node &n = tree.node(id);
        FUZZ_CHECK((n.parent < 0) == (n.kind == CatalogueTree::Kind::Group));
        for (std::size_t row = 0; row < n.children.size(); ++row) {
            const CatalogueTree::Node &child = tree.node(n.children[row]);
            FUZZ_CHECK(child.parent == id);
            FUZZ_CHECK(child.row == static_cast<int>(row));
        }
        if (n.kind == CatalogueTree::Kind::Object) {
            FUZZ_CHECK(n.children.empty());
            FUZZ_CHECK(n.object >= 0 && n.object < tree.objectCount());
            ++objectSeen[static_cast<std::size_t>(n.object)];
            ++objectNodes;
            const CommObject &o = *tree.objectOf(id);
            FUZZ_CHECK(o.detailsRead >= 2 && o.detailsRead <= CatalogueTree::kDetailCount);
            FUZZ_CHECK(static_cast<int>(CatalogueTree::detailLines(o).size()) == o.detailsRead);
        }
    }
    for (int seen : objectSeen)
        FUZZ_CHECK(seen == 1);
    return objectNodes;
}

// Each object hangs below its group in the folders of its path, at most kMaxFolderDepth of them.
// Returns the number of objects whose path was deeper.
int checkPlaces(const CatalogueTree &tree) {
    int folded = 0;
    for (int id = 0; id < tree.nodeCount(); ++id) {
        const CommObject *o = tree.objectOf(id);
        if (!o)
            continue;
        QStringList folders;
        int at = tree.node(id).parent;
        while (tree.node(at).kind == CatalogueTree::Kind::Folder) {
            folders.prepend(tree.node(at).text);
            at = tree.node(at).parent;
        }
        FUZZ_CHECK(tree.node(at).text == (o->type == u"internal"_qs ? u"Intern"_qs : u"EIB"_qs));
        const QStringList named = segments(o->path);
        FUZZ_CHECK(folders.size() <= kMaxFolderDepth);
        FUZZ_CHECK(folders == named.mid(0, kMaxFolderDepth));
        if (named.size() > kMaxFolderDepth)
            ++folded;
    }
    return folded;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray document = Reference::bytes(data, size);
    const CatalogueParse parse = parseCatalogue(document);
    FUZZ_CHECK(parse.wellFormed == static_cast<bool>(parse.tree));
    if (!parse.wellFormed) {
        FUZZ_CHECK(parse.errorCode > 0);
        return 0;
    }
    const CatalogueTree &tree = *parse.tree;
    FUZZ_CHECK(checkShape(tree) == tree.objectCount());
    FUZZ_CHECK(checkPlaces(tree) == tree.foldedObjects());

    // Half the objects as the budget: the first ones stay, the others are counted as left out.
    const int objects = tree.objectCount();
    if (objects == 0)
        return 0;
    const int budget = objects / 2;
    const CatalogueParse cut = parseCatalogue(document, {}, budget);
    FUZZ_CHECK(cut.wellFormed && cut.tree);
    FUZZ_CHECK(cut.tree->objectCount() == budget);
    FUZZ_CHECK(cut.tree->leftOutObjects() >= objects - budget);
    for (int i = 0; i < budget; ++i) {
        const CommObject &a = tree.objects()[static_cast<std::size_t>(i)];
        const CommObject &b = cut.tree->objects()[static_cast<std::size_t>(i)];
        FUZZ_CHECK(a.ganum == b.ganum && a.name == b.name && a.path == b.path && a.detailsRead == b.detailsRead);
    }
    FUZZ_CHECK(checkShape(*cut.tree) == budget);
    FUZZ_CHECK(checkPlaces(*cut.tree) == cut.tree->foldedObjects());
    return 0;
}
