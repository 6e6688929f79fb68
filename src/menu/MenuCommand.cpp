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

QString MenuList::nodeText(qsizetype flatPosition) const {
    if (flatPosition < 0 || flatPosition >= nodeCount())
        return {};
    const MenuCommand &entry = at(flatPosition / kNodesPerEntry);
    const qsizetype node = flatPosition % kNodesPerEntry;
    if (node == 0)
        return entry.bezeichnung;
    const MenuAttribute &attribute = kMenuAttributes[node - 1];
    return attribute.member ? entry.*attribute.member : attribute.name;
}
