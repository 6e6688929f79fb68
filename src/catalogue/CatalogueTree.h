#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <array>
#include <functional>
#include <memory>
#include <vector>

// One "cobject" of the server's catalogue, as far as it was read: the attributes are read in
// this order, and a missing one ends the build (detailsRead tells how many detail lines exist).
struct CommObject {
    QString type, path, ga, name, ganum, init, min, max, list, fmt;
    // The detail lines are added in the order Name, GA, GA/N, Init, Min, Max, Liste, Typ; an
    // object cut short by a missing attribute has only the first ones.
    int detailsRead = 0;
};

// The catalogue as a plain-data tree: the groups "EIB" and "Intern", folders, objects. Each object
// carries eight detail lines (fewer when cut short), which are computed, not stored.
class CatalogueTree {
public:
    enum class Kind : unsigned char { Group, Folder, Object };
    struct Node {
        Kind kind = Kind::Folder;
        int parent = -1; // -1 for the groups
        int object = -1; // index into objects() for object nodes
        int row = 0;     // the position among its siblings once sorted
        QString text;
        std::vector<int> children;
    };

    static constexpr int kDetailCount = 8;
    // The detail labels in the order they are shown: the sorted order the editors rely on.
    static const std::array<QString, kDetailCount> &detailLabels();

    // The two groups, sorted: "EIB", then "Intern".
    const std::vector<int> &roots() const { return m_roots; }
    const Node &node(int id) const { return m_nodes.at(static_cast<std::size_t>(id)); }
    int nodeCount() const { return static_cast<int>(m_nodes.size()); }
    const std::vector<CommObject> &objects() const { return m_objects; }
    int objectCount() const { return static_cast<int>(m_objects.size()); }
    // What the budgets did to the document: objects whose path went deeper than kMaxFolderDepth
    // and that stand in the deepest folder instead, and "cobject" elements after the object
    // budget that are not in the tree at all. The user is told about both.
    int foldedObjects() const { return m_folded; }
    qint64 leftOutObjects() const { return m_leftOut; }
    // The object of an object node, or nullptr for groups and folders.
    const CommObject *objectOf(int nodeId) const;

    // The detail lines of an object in their shown order (those it has).
    static std::vector<QString> detailLines(const CommObject &object);

    // Building, in document order; the finished tree is sorted once.
    int addGroup(const QString &text);
    int findOrAddFolder(int parent, const QString &text);
    int addObject(int parent, CommObject object);
    CommObject &lastObject() { return m_objects.back(); }
    void noteFolded() { ++m_folded; }
    void noteLeftOut() { ++m_leftOut; }
    // Sorts every level's siblings by their text, case-insensitively with the user's collation.
    void sort();

private:
    int addNode(Kind kind, int parent, const QString &text);

    std::vector<Node> m_nodes;
    std::vector<int> m_roots;
    std::vector<CommObject> m_objects;
    int m_folded = 0;
    qint64 m_leftOut = 0;
    // The folder of each (parent, text) while building, so deep paths cost no scans of long lists.
    QHash<std::pair<int, QString>, int> m_folders;
};

// The outcome of reading one catalogue document.
struct CatalogueParse {
    bool wellFormed = false;
    int errorCode = 0; // the reader's error code when not well-formed
    QString errorText;
    // Built as far as the objects were complete; present whenever the document is well-formed.
    std::shared_ptr<CatalogueTree> tree;
};

// The most objects a tree holds; the elements after them are counted, not read.
inline constexpr int kMaxCatalogueObjects = 500000;
// Folders nest at most this deep below their group. The segments of a deeper path name no folder
// of their own: its object stands in the deepest folder, and the tree counts it as folded. Real
// installations use a handful of levels; without a bound a server's path of thousands of
// segments gives as many levels, and the tree view's layout, which recurses once per level,
// overflows the stack when they are expanded.
inline constexpr int kMaxFolderDepth = 32;

// Reads the document with a streaming reader in one pass and builds the sorted tree. A document
// type declaration is refused (no entity can be declared, so none is expanded). An element lacking
// one of the attributes ends the building there, while the rest is still checked for
// well-formedness. progress (optional) gets the share of the document read, 0..1000. At most
// maxObjects objects are read; the elements after them only counted (leftOutObjects()).
CatalogueParse parseCatalogue(const QByteArray &document, const std::function<void(int permille)> &progress = {},
                              int maxObjects = kMaxCatalogueObjects);
