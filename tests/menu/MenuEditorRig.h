#pragma once

// The menu editor's rules and panel work on the menu as the program joins it: its file, the bus
// monitor behind getlv and the tray popup. Shared by the menu editor's test executables.

#include "BusMonitor.h"
#include "FakePlatform.h"
#include "IniFile.h"
#include "MenuEditor.h"
#include "MenuFile.h"
#include "TempProgramFolder.h"
#include "TrayPopup.h"

#include <QAction>
#include <QMenu>
#include <QTest>

namespace MenuEditorRig {
inline const QString kNoValue = QStringLiteral("Konnte KO Wert nicht ermitteln.\rKO Wert auf 0 gesetzt!");

inline MenuCommand entry(const QString &text, const QString &aktion = QStringLiteral("Ein"), int symbol = 0,
                         const QString &gan = QStringLiteral("768")) {
    MenuCommand c;
    c.bezeichnung = text;
    c.typ = aktion == u"Frei"_qs    ? MenuEntryTypes::kDimmer
            : aktion == u"lesen"_qs ? MenuEntryTypes::kRead
                                    : MenuEntryTypes::kSwitch;
    c.aktion = aktion;
    c.symbol = symbol;
    c.stateIcon = symbol;
    c.gan = gan;
    c.lv = u"0,0"_qs;
    return c;
}

inline MenuList menuOf(const QStringList &texts) {
    MenuList menu;
    for (const QString &text : texts)
        menu.append(text == u"-"_qs ? MenuCommand::separator() : entry(text));
    return menu;
}

inline QStringList captions(const MenuList &menu) {
    QStringList texts;
    for (const MenuCommand &c : menu)
        texts << c.bezeichnung;
    return texts;
}

// The menu as the file gives it back: the state icon is not stored.
inline MenuList asStored(MenuList menu) {
    for (qsizetype k = 0; k < menu.size(); ++k)
        menu[k].stateIcon = menu.at(k).symbol;
    return menu;
}

// The menu, its file, the bus monitor behind getlv and the tray popup, as the program joins them.
struct Rig {
    TempProgramFolder folder;
    MenuList menu;
    FakeDialogs dialogs;
    FakeEventSounds sounds;
    BusMonitor busmoni;
    WildcardTexts texts;
    TrayPopup popup{menu, texts};
    int saves = 0;
    int popups = 0;

    QString menuFile() const { return folder.file(kMenuFileName); }
    MenuEditor::Hooks hooks() {
        return {[this](const QString &gan) { return getlv(busmoni, gan, dialogs); },
                [this] {
                    ++saves;
                    saveMenuFile(menuFile(), menu);
                },
                [this] {
                    ++popups;
                    popup.make_popup();
                },
                [this] {
                    return menuFile();
                }};
    }
    QStringList popupItems() const {
        QStringList items;
        for (const QAction *action : popup.popupMenu()->actions())
            items << (action->isSeparator() ? u"-"_qs : action->text());
        return items;
    }
    QStringList fileSections() const { return IniFile(menuFile()).sections(); }
};

// The file holds exactly the menu, and the popup shows it with the values worked in.
inline void checkInSync(const Rig &rig) {
    const MenuFileContent stored = LoadMenuFile(rig.menuFile());
    QCOMPARE(stored.menu, asStored(rig.menu));
    QStringList expected;
    for (const MenuCommand &c : rig.menu)
        expected << popupCaption(c.bezeichnung, c.lv, rig.texts);
    QCOMPARE(rig.popupItems(), expected);
}

inline EntryParameters parameters(const QString &typ, const QString &aktion, std::optional<int> symbol,
                                  const QString &wert = {}) {
    return {.typ = typ, .aktion = aktion, .wert = wert, .symbol = symbol, .soundname = u"bell"_qs};
}

} // namespace MenuEditorRig
