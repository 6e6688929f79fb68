#include "LoadReplaceFile.h"

#include "NumberedSections.h"

namespace {
const IniFieldTable<LoadReplaceEntry> &entryFields() {
    using F = IniFieldTable<LoadReplaceEntry>;
    static const F table{F::text(QStringLiteral("Bezeichnung"), &LoadReplaceEntry::bezeichnung),
                         F::text(QStringLiteral("Host"), &LoadReplaceEntry::host),
                         F::text(QStringLiteral("Saveto"), &LoadReplaceEntry::saveto),
                         F::text(QStringLiteral("GANum"), &LoadReplaceEntry::ganum),
                         F::text(QStringLiteral("GA"), &LoadReplaceEntry::ga)};
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
