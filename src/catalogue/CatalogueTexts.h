#pragma once

#include <QString>

// The German texts of the catalogue: the tree, its context menu, the status text and the boxes of
// a load, in one place so that they are checked and changed together.
namespace CatalogueTexts {

// `ovtree` and its context menu.
inline const QString kTreeName = QStringLiteral("Kommunikationsobjekte");
inline const QString kDropOnto = QStringLiteral("Ablegen auf …");

// The status text after a load (%1 objects), and what the budgets did to the shown tree.
inline const QString kConnectedWithObjects = QStringLiteral("Mit OV verbunden / %1 KO gefunden");
inline const QString kLeftOutNote = QStringLiteral(" / %1 weitere KO nicht gezeigt");
inline const QString kFoldedNote = QStringLiteral(" / %1 KO mit mehr als %2 Ordnerebenen im tiefsten Ordner");

// The boxes: a fetch that failed (%1 its error code), and a tree that lacks objects of the
// document, since a tree that looks complete would mislead.
inline const QString kFetchFailed = QStringLiteral("XML feheler %1\rKonnte die Datei vom Orvanel nicht laden!");
inline const QString kLeftOutBox =
    QStringLiteral("Der Baum zeigt nur die ersten %1 KO des Katalogs; %2 weitere KO fehlen darin.");

} // namespace CatalogueTexts
