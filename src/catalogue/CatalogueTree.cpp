#include "CatalogueTree.h"

#include <QCollator>
#include <QXmlStreamReader>
#include <algorithm>

namespace {
// The order in which the detail lines are added while reading an element.
enum Detail { Name, Ga, Ganum, Init, Min, Max, Liste, Typ };
// Shown order: GA/N, GA, Init, Liste, Max, Min, Name, Typ.
constexpr std::array<Detail, CatalogueTree::kDetailCount> kShownOrder{Ganum, Ga, Init, Liste, Max, Min, Name, Typ};

const QString &detailValue(const CommObject &o, Detail d) {
    switch (d) {
    case Name:
        return o.name;
    case Ga:
        return o.ga;
    case Ganum:
        return o.ganum;
    case Init:
        return o.init;
    case Min:
        return o.min;
    case Max:
        return o.max;
    case Liste:
        return o.list;
    case Typ:
        break;
    }
    return o.fmt;
}
} // namespace

const std::array<QString, CatalogueTree::kDetailCount> &CatalogueTree::detailLabels() {
    static const std::array<QString, kDetailCount> labels{u"GA/N:"_qs, u"GA:"_qs,  u"Init:"_qs, u"Liste:"_qs,
                                                          u"Max:"_qs,  u"Min:"_qs, u"Name:"_qs, u"Typ:"_qs};
    return labels;
}

std::vector<QString> CatalogueTree::detailLines(const CommObject &object) {
    std::vector<QString> lines;
    for (std::size_t i = 0; i < kShownOrder.size(); ++i)
        if (kShownOrder[i] < object.detailsRead)
            lines.push_back(detailLabels()[i] + detailValue(object, kShownOrder[i]));
    return lines;
}

const CommObject *CatalogueTree::objectOf(int nodeId) const {
    if (nodeId < 0 || nodeId >= nodeCount())
        return nullptr;
    const Node &n = node(nodeId);
    return n.kind == Kind::Object ? &m_objects[static_cast<std::size_t>(n.object)] : nullptr;
}

int CatalogueTree::addNode(Kind kind, int parent, const QString &text) {
    const int id = nodeCount();
    m_nodes.push_back(Node{kind, parent, -1, 0, text, {}});
    if (parent < 0)
        m_roots.push_back(id);
    else
        m_nodes[static_cast<std::size_t>(parent)].children.push_back(id);
    return id;
}

int CatalogueTree::addGroup(const QString &text) {
    return addNode(Kind::Group, -1, text);
}

int CatalogueTree::findOrAddFolder(int parent, const QString &text) {
    // Objects never become folders: a segment that reads like an object's label is a folder of its own.
    const auto key = std::pair(parent, text);
    if (const auto found = m_folders.constFind(key); found != m_folders.cend())
        return *found;
    const int id = addNode(Kind::Folder, parent, text);
    m_folders.insert(key, id);
    return id;
}

int CatalogueTree::addObject(int parent, CommObject object) {
    const QString label = object.ga + u' ' + object.name.left(12) + u"..."_qs;
    const int id = addNode(Kind::Object, parent, label);
    m_nodes[static_cast<std::size_t>(id)].object = objectCount();
    m_objects.push_back(std::move(object));
    return id;
}

void CatalogueTree::sort() {
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    // One key per node, computed once; the comparisons then cost no collation.
    std::vector<QCollatorSortKey> keys;
    keys.reserve(m_nodes.size());
    // The C locale's collation compares code points and knows no case; fold the case ourselves.
    const bool plain = collator.locale().language() == QLocale::C;
    for (const Node &n : m_nodes)
        keys.push_back(collator.sortKey(plain ? n.text.toCaseFolded() : n.text));
    const auto byText = [&keys](int a, int b) {
        return keys[static_cast<std::size_t>(a)].compare(keys[static_cast<std::size_t>(b)]) < 0;
    };
    const auto sortLevel = [this, &byText](std::vector<int> &level) {
        std::stable_sort(level.begin(), level.end(), byText);
        for (std::size_t row = 0; row < level.size(); ++row)
            m_nodes[static_cast<std::size_t>(level[row])].row = static_cast<int>(row);
    };
    sortLevel(m_roots);
    for (Node &n : m_nodes)
        sortLevel(n.children);
    m_folders = {}; // the building is over
}

namespace {
// Builds one element's part of the tree, attribute by attribute; false when one is missing.
bool addElement(CatalogueTree &tree, const QXmlStreamAttributes &attributes, int intern, int eib) {
    const auto read = [&attributes](QLatin1StringView name, QString &into) {
        if (!attributes.hasAttribute(name))
            return false;
        into = attributes.value(name).toString();
        return true;
    };
    CommObject o;
    if (!read(QLatin1StringView("type"), o.type))
        return false;
    int current = o.type == QLatin1String("internal") ? intern : eib;
    if (!read(QLatin1StringView("path"), o.path))
        return false;
    // Segments end at each "\"; text after the last one names no folder, and neither does any
    // segment below the deepest folder allowed.
    qsizetype start = 0;
    int depth = 0;
    bool folded = false;
    for (qsizetype i = 0; i < o.path.size(); ++i) {
        if (o.path.at(i) != u'\\')
            continue;
        if (depth == kMaxFolderDepth) {
            folded = true;
            break;
        }
        current = tree.findOrAddFolder(current, o.path.mid(start, i - start));
        ++depth;
        start = i + 1;
    }
    if (!read(QLatin1StringView("ga"), o.ga) || !read(QLatin1StringView("name"), o.name))
        return false;
    o.detailsRead = 2; // "Name:" and "GA:"
    tree.addObject(current, std::move(o));
    if (folded)
        tree.noteFolded();
    CommObject &added = tree.lastObject();
    const std::pair<const char *, QString *> rest[] = {{"ganum", &added.ganum}, {"init", &added.init},
                                                       {"min", &added.min},     {"max", &added.max},
                                                       {"list", &added.list},   {"fmt", &added.fmt}};
    for (auto [name, into] : rest) {
        if (!read(QLatin1StringView(name), *into))
            return false;
        ++added.detailsRead;
    }
    return true;
}
} // namespace

CatalogueParse parseCatalogue(const QByteArray &document, const std::function<void(int)> &progress, int maxObjects) {
    CatalogueParse result;
    auto tree = std::make_shared<CatalogueTree>();
    const int intern = tree->addGroup(u"Intern"_qs);
    const int eib = tree->addGroup(u"EIB"_qs);

    QXmlStreamReader reader(document);
    reader.setNamespaceProcessing(false);
    bool building = true;
    bool overBudget = false;
    int lastReported = -1;
    qint64 elements = 0;
    while (!reader.atEnd()) {
        const QXmlStreamReader::TokenType token = reader.readNext();
        if (token == QXmlStreamReader::DTD) {
            reader.raiseError(u"Dokumenttypdeklarationen werden nicht angenommen"_qs);
            break;
        }
        if (token != QXmlStreamReader::StartElement)
            continue;
        if (reader.name() == QLatin1String("cobject")) {
            // A document over the budget is still read to its end: to count what the tree leaves
            // out, and to check that it is well-formed.
            if (building && tree->objectCount() >= maxObjects) {
                building = false;
                overBudget = true;
            }
            if (building)
                building = addElement(*tree, reader.attributes(), intern, eib);
            else if (overBudget)
                tree->noteLeftOut();
        }
        if (progress && (++elements & 0x3ff) == 0 && !document.isEmpty()) {
            const int permille = static_cast<int>(reader.characterOffset() * 1000 / document.size());
            if (permille != lastReported)
                progress(lastReported = permille);
        }
    }
    if (reader.hasError()) {
        result.errorCode = static_cast<int>(reader.error());
        result.errorText = reader.errorString();
        return result;
    }
    result.wellFormed = true;
    tree->sort();
    result.tree = std::move(tree);
    return result;
}
