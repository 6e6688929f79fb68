#include "MenuCommand.h"

MenuCommand MenuCommand::separator() {
    MenuCommand line;
    line.bezeichnung = QStringLiteral("-");
    line.symbol = -1;
    line.stateIcon = -1;
    line.typ = QStringLiteral("Linie");
    line.aktion = QStringLiteral("Keine");
    line.gan = QStringLiteral("0");
    line.lv = QStringLiteral("0,0");
    return line;
}

std::optional<qsizetype> MenuList::entryAt(qsizetype flatPosition) const {
    if (flatPosition < 0 || flatPosition % kNodesPerEntry != 0 || flatPosition / kNodesPerEntry >= size())
        return std::nullopt;
    return flatPosition / kNodesPerEntry;
}

QString MenuList::nodeText(qsizetype flatPosition) const {
    if (flatPosition < 0 || flatPosition >= nodeCount())
        return {};
    const MenuCommand &entry = m_entries.at(flatPosition / kNodesPerEntry);
    switch (flatPosition % kNodesPerEntry) {
    case 0:
        return entry.bezeichnung;
    case 1:
        return entry.typ;
    case 2:
        return entry.aktion;
    case 3:
        return entry.wert;
    case 4:
        return kStateNodeText;
    case 5:
        return entry.gan;
    case 6:
        return entry.lv;
    case 7:
        return entry.balloon;
    case 8:
        return entry.msg;
    case 9:
        return entry.sound;
    default:
        return entry.soundname;
    }
}
