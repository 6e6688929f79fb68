#include "MenuFile.h"

#include "IniFieldTable.h"
#include "IniFile.h"
#include "NumberedSections.h"

namespace {
const QString kMsg = QStringLiteral("Msg");
const QString kSound = QStringLiteral("Sound");
const QString kSoundname = QStringLiteral("Soundname");

// The keys of an entry's section in the order the file stores them.
const IniFieldTable<MenuCommand> &entryFields() {
    using F = IniFieldTable<MenuCommand>;
    static const F table{F::text(QStringLiteral("Bezeichnung"), &MenuCommand::bezeichnung),
                         F::number(QStringLiteral("Symbol"), &MenuCommand::symbol),
                         F::text(QStringLiteral("Typ"), &MenuCommand::typ),
                         F::text(QStringLiteral("Aktion"), &MenuCommand::aktion),
                         F::text(QStringLiteral("Wert"), &MenuCommand::wert),
                         F::text(QStringLiteral("GAN"), &MenuCommand::gan),
                         F::text(QStringLiteral("LV"), &MenuCommand::lv),
                         F::text(QStringLiteral("Balloon"), &MenuCommand::balloon),
                         F::text(kMsg, &MenuCommand::msg),
                         F::text(kSound, &MenuCommand::sound),
                         F::text(kSoundname, &MenuCommand::soundname)};
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
    if (menu.isEmpty())
        return true;
    IniFile ini(path);
    for (const QString &section : numberedSections(ini))
        ini.eraseSection(section);
    for (qsizetype k = 0; k < menu.size(); ++k)
        entryFields().write(ini, QString::number(MenuList::flatPosition(k)), menu.at(k));
    if (ini.save())
        return true;
    if (error)
        *error = ini.errorString();
    return false;
}

bool eraseMenuSection(const QString &path, qsizetype flatPosition, QString *error) {
    IniFile ini(path);
    const QString section = QString::number(flatPosition);
    // A file that cannot be read may well hold the section: save() refuses it, which is no success.
    if (ini.readOk() && !ini.hasSection(section))
        return true;
    ini.eraseSection(section);
    if (ini.save())
        return true;
    if (error)
        *error = ini.errorString();
    return false;
}
