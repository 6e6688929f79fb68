#pragma once

#include "EntryList.h"

#include <QString>
#include <iterator>

// One entry of the tray menu: a command that switches, dims or reads one communication object
// through its group-address number, or a separator line. Plain data; the texts are kept as the
// menu file holds them, so a save writes back what was read.
struct MenuCommand {
    QString bezeichnung; // caption text, may hold wildcards; "-" for a separator
    int symbol = 0;      // base symbol, index into the symbol pictures; -1 for a separator
    QString typ;         // "Schaltaktor (0/1)", "Dimmer (Wertgeber)", "Wert lesen"; "Linie" for a separator
    QString aktion;      // "Ein", "Aus", "Um", "Frei", "lesen"; "Keine" for a separator
    QString wert;        // the fixed value that "Frei" sends, as typed
    int stateIcon = 0;   // the picture shown for the current value (not stored in the file)
    QString gan;         // group-address number as decimal text
    QString lv;          // last known value, with decimal comma
    QString balloon = QStringLiteral("False");
    QString msg = QStringLiteral("False");
    QString sound = QStringLiteral("False");
    QString soundname; // system sound event name, whatever the sound list showed

    // A separator line with the attributes the file gives it.
    static MenuCommand separator();

    // An entry is bound to a received number by its GAN alone; an empty GAN binds nothing.
    bool isBoundTo(QStringView receivedGan) const { return !gan.isEmpty() && gan == receivedGan; }

    // The switches Balloon, Msg and Sound are on only when they read exactly "True".
    static bool isOn(const QString &flag) { return flag == QLatin1String("True"); }

    friend bool operator==(const MenuCommand &, const MenuCommand &) = default;
};

// The ten attributes of an entry in the order of its nodes below it, each named as the menu file
// names its key; member is none for the state, which shows the state icon and is not stored.
struct MenuAttribute {
    QString name;
    QString MenuCommand::*member;
};
inline const MenuAttribute kMenuAttributes[] = {
    {QStringLiteral("Typ"), &MenuCommand::typ},         {QStringLiteral("Aktion"), &MenuCommand::aktion},
    {QStringLiteral("Wert"), &MenuCommand::wert},       {QStringLiteral("Symbolstatus"), nullptr},
    {QStringLiteral("GAN"), &MenuCommand::gan},         {QStringLiteral("LV"), &MenuCommand::lv},
    {QStringLiteral("Balloon"), &MenuCommand::balloon}, {QStringLiteral("Msg"), &MenuCommand::msg},
    {QStringLiteral("Sound"), &MenuCommand::sound},     {QStringLiteral("Soundname"), &MenuCommand::soundname}};
inline constexpr qsizetype kMenuNodesPerEntry = 1 + qsizetype(std::size(kMenuAttributes));
// Where the state stands among the attributes.
inline constexpr qsizetype kMenuStateAttribute = 3;

// The ordered entries of the tray menu. Other parts address entries by flat position: every entry
// counts as itself plus its ten attributes (kMenuAttributes), so entry k sits at flat position 11·k.
// Popup item tags and menu file section names are flat positions.
class MenuList : public EntryList<MenuCommand, kMenuNodesPerEntry> {
public:
    // The text the state attribute shows among the attribute texts.
    static inline const QString kStateNodeText = kMenuAttributes[kMenuStateAttribute].name;
    // The picture every other attribute shows: the attribute marker.
    static constexpr int kAttributeSymbol = 22;

    // The popup tells entries from attributes by their look: an entry whose base symbol is the
    // attribute marker or whose text is the state attribute's is taken for an attribute and gets
    // no item. The file keeps such an entry all the same.
    static bool looksLikeEntry(const MenuCommand &entry) {
        return entry.symbol != kAttributeSymbol && entry.bezeichnung != kStateNodeText;
    }

    // The text of any node by flat position, attributes included (the entry's caption text, then
    // its attributes; the state attribute reads "Symbolstatus").
    QString nodeText(qsizetype flatPosition) const;

    friend bool operator==(const MenuList &, const MenuList &) = default;
};
