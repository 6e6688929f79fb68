#pragma once

#include <QString>

// The German texts of the automations: Load & Replace and the screen-saver control.
namespace AutomationTexts {
// Load & Replace editor.
inline const QString kTab = QStringLiteral("Load && Replace");
inline const QString kAuf = QStringLiteral("Auf");
inline const QString kAufHint = QStringLiteral("Befehl hochschieben");
inline const QString kAb = QStringLiteral("Ab");
inline const QString kAbHint = QStringLiteral("Befehl runterschieben");
inline const QString kAendern = QStringLiteral("Ändern");
inline const QString kLoeschen = QStringLiteral("Löschen");
inline const QString kLoeschenHint = QStringLiteral("Befehl löschen");
inline const QString kParameterGroup = QStringLiteral(" Parameter ");
inline const QString kParameter = QStringLiteral("Parameter");
inline const QString kHost = QStringLiteral("Host");
inline const QString kHostHint = QStringLiteral("Wenn benötigt und nicht vom OV bereits ermittelt.");
inline const QString kHostNote = QStringLiteral("(Immer mit http:// eingeben)");
inline const QString kSaveto = QStringLiteral("Speicherort mit Dateinamen für OV:");
inline const QString kSavetoDialogTitle = QStringLiteral("Datei für OV Kammera");
inline const QString kChoose = QStringLiteral("…");
inline const QString kName = QStringLiteral("Bezeichnung");
inline const QString kGa = QStringLiteral("Gruppenadresse");
inline const QString kValue = QStringLiteral("Wert");

// Load & Replace downloads: what the error box and the bus monitor say when one fails. Each
// names the rule (%1) and, where there is one, the address (%2).
inline const QString kNoAddress =
    QStringLiteral("Load & Replace \"%1\": \"%2\" ist keine Internetadresse (Host immer mit http:// eingeben).");
inline const QString kOtherServer =
    QStringLiteral("Load & Replace \"%1\": \"%2\" wird nicht geladen, weil der Wert den Server der Regel (%3) ändert.");
inline const QString kDotSegment = QStringLiteral(
    "Load & Replace \"%1\": \"%2\" wird nicht geladen, weil die Adresse \".\" oder \"..\" als Pfadabschnitt enthält.");
inline const QString kDownloadFailed = QStringLiteral("Load & Replace \"%1\": \"%2\" konnte nicht geladen werden: %3");
inline const QString kFileFailed = QStringLiteral("Load & Replace \"%1\": %2");
// The reasons after "konnte nicht geladen werden:".
inline const QString kTooLarge = QStringLiteral("die Antwort ist größer als %1 Bytes");
inline const QString kNoAnswer = QStringLiteral("keine Antwort innerhalb von %1 Sekunden");
inline const QString kTooSlow = QStringLiteral("nach %1 Sekunden erst %2 Bytes erhalten");
inline const QString kRedirectElsewhere = QStringLiteral("die Weiterleitung nach \"%1\" führt zu einem anderen Server");
inline const QString kRedirectNotHttp = QStringLiteral("die Weiterleitung führt zu keiner http- oder https-Adresse");
inline const QString kTooManyRedirects = QStringLiteral("mehr als %1 Weiterleitungen");
inline const QString kHttpStatus = QStringLiteral("der Server antwortet mit HTTP %1");
inline const QString kRefused = QStringLiteral("der Server nimmt keine Verbindung an");
inline const QString kHostNotFound = QStringLiteral("der Server ist nicht bekannt");
inline const QString kClosedEarly =
    QStringLiteral("der Server hat die Verbindung vor dem Ende der Antwort geschlossen");
inline const QString kNetworkError = QStringLiteral("Netzwerkfehler %1 (%2)");

// Screen-saver control on the "System" tab.
inline const QString kSystemGroup = QStringLiteral(" VISU PC ");
inline const QString kScreenSaverLabel = QStringLiteral("KO für Bildschirmschoner:");
inline const QString kUnbound = QStringLiteral("Drag&&Drop");
inline const QString kClearBinding = QStringLiteral("Bildschirmschoner-KO entfernen");
inline const QString kScreenSaverNote =
    QStringLiteral("KO = 1Bit (0/1): Mit dem KO kann man den Bildschirmschoner des VISU PC'S ein und ausschalten.");
} // namespace AutomationTexts
