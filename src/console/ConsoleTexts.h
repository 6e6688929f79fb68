#pragma once

#include <QString>
#include <QStringList>

// The German texts of the console: its window, the help it shows, and its answers and messages,
// in one place so that they are checked and changed together.
namespace ConsoleTexts {

// The window; "Console" is the caption above the input, the accessible name of both and the menu
// bar's entry that opens the window.
inline const QString kCaption = QStringLiteral("Quendra Tools");
inline const QString kConsole = QStringLiteral("Console");
inline const QString kPanelHint = QStringLiteral("GA (0/1/2) oder GAN 768 eingeben und Ente rdrücken");

// The answer to "?", one line each.
inline const QStringList kHelp{
    QStringLiteral("Eingaben:"),
    QStringLiteral("0/1/2 - Objekt zur GA suchen"),
    QStringLiteral("768 - Objekt zur GAN suchen"),
    QStringLiteral("0/1/2 Wert oder 768 Wert - Wert an das Objekt senden"),
    QStringLiteral("1|768|Wert - Zeile an den Orvanel senden"),
    QStringLiteral("Ein Punkt wird als / eingegeben."),
};

// A lookup in the catalogue's copy: the object found (%1 name, %2 address, %3 number), or none.
inline const QString kFound = QStringLiteral("Bez.: %1 GA:%2 GAN:%3");
inline const QString kUnknownNumber = QStringLiteral("unbek. GA Nummer");
inline const QString kUnknownAddress = QStringLiteral("unbek. GA");
inline const QString kSendingToNumber = QStringLiteral("Sende Befehl an GAN ...");
inline const QString kSendingToAddress = QStringLiteral("Sende Befehl an GA ...");

// A copy that cannot be read: the box names the reader's error code after this.
inline const QString kXmlError = QStringLiteral("XML feheler ");
inline const QString kNoDocumentTypes = QStringLiteral("Dokumenttypdeklarationen werden nicht angenommen");

} // namespace ConsoleTexts
