#include "LoadReplaceFile.h"

#include "NumberedSections.h"

namespace {
// A rule's keys are the names of its nodes.
const IniFieldTable<LoadReplaceEntry> &entryFields() {
    using F = IniFieldTable<LoadReplaceEntry>;
    static const F table = [] {
        std::vector<F::Field> fields;
        for (const LoadReplaceNode &node : kLoadReplaceNodes)
            fields.push_back(F::text(node.name, node.member));
        return F(std::move(fields));
    }();
    return table;
}
} // namespace

LoadReplaceFileContent load_rlist(const QString &path) {
    LoadReplaceFileContent content;
    const IniFile ini(path);
    if (!ini.readOk()) {
        content.errorString = ini.errorString();
        return content;
    }
    for (const QString &section : numberedSections(ini)) {
        LoadReplaceEntry entry;
        entry.saveto = QStringLiteral("c:\\");
        entryFields().read(ini, section, entry);
        if (!entry.bezeichnung.isEmpty())
            content.rules.append(std::move(entry));
    }
    return content;
}

bool save_rlist(const QString &path, const LoadReplaceList &rules, QString *error) {
    return saveNumberedSections(path, rules, entryFields(), error);
}

bool eraseLoadReplaceSection(const QString &path, qsizetype flatPosition, QString *error) {
    return eraseNumberedSection(path, flatPosition, error);
}
