#include "MenuFile.h"

#include "NumberedSections.h"

namespace {
const QString kMsg = QStringLiteral("Msg");
const QString kSound = QStringLiteral("Sound");
const QString kSoundname = QStringLiteral("Soundname");

// The keys of an entry's section in the order the file stores them: the caption and the base
// symbol, then every attribute but the state under its own name.
const IniFieldTable<MenuCommand> &entryFields() {
    using F = IniFieldTable<MenuCommand>;
    static const F table = [] {
        std::vector<F::Field> fields{F::text(QStringLiteral("Bezeichnung"), &MenuCommand::bezeichnung),
                                     F::number(QStringLiteral("Symbol"), &MenuCommand::symbol)};
        for (const MenuAttribute &attribute : kMenuAttributes)
            if (attribute.member)
                fields.push_back(F::text(attribute.name, attribute.member));
        return F(std::move(fields));
    }();
    return table;
}

// An entry as a section without keys reads: Typ and Aktion "-", the switches "False", the
// other texts empty, Symbol 0.
MenuCommand fileDefaults() {
    MenuCommand entry;
    entry.typ = QStringLiteral("-");
    entry.aktion = QStringLiteral("-");
    return entry;
}
} // namespace

MenuFileContent LoadMenuFile(const QString &path) {
    MenuFileContent content;
    const IniFile ini(path);
    if (!ini.readOk()) {
        content.errorString = ini.errorString();
        return content;
    }
    for (const QString &section : numberedSections(ini)) {
        MenuCommand entry = fileDefaults();
        entryFields().read(ini, section, entry);
        if (entry.bezeichnung.isEmpty())
            continue;
        entry.stateIcon = entry.symbol;
        if (!ini.hasKey(section, kMsg) || !ini.hasKey(section, kSound) || !ini.hasKey(section, kSoundname))
            content.lacksNotificationKeys = true;
        content.menu.append(std::move(entry));
    }
    return content;
}

bool saveMenuFile(const QString &path, const MenuList &menu, QString *error) {
    return saveNumberedSections(path, menu, entryFields(), error);
}

bool eraseMenuSection(const QString &path, qsizetype flatPosition, QString *error) {
    return eraseNumberedSection(path, flatPosition, error);
}
