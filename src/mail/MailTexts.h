#pragma once

#include <QString>

// The German texts of mail polling and its editor on the tab "Email".

inline const QString kMailBalloonTitle = QStringLiteral("Mailserver:");
inline const QString kMailBalloonText = QStringLiteral("%1 Emails bei %2");
inline constexpr int kMailBalloonMs = 2000;

// A failed account, for the error box and the bus monitor.
inline const QString kMailPollFailed = QStringLiteral("Email-Abruf bei %1 fehlgeschlagen: %2");
inline const QString kMailServerTimeout = QStringLiteral("Der Mailserver antwortet nicht.");
inline const QString kMailServerTooMuch = QStringLiteral("Der Mailserver sendet zu viele Daten.");
inline const QString kMailServerTooSlow =
    QStringLiteral("Der Abruf dauert zu lange und wurde nach %1 Sekunden beendet.");
inline const QString kMailPollCancelled = QStringLiteral("Der Abruf wurde abgebrochen.");
inline const QString kMailNotPop3 = QStringLiteral("Der Server meldet sich nicht als POP3-Server: %1");
inline const QString kMailLoginRefused = QStringLiteral("Der Mailserver lehnt die Anmeldung ab: %1");
inline const QString kMailCommandRefused = QStringLiteral("Der Mailserver lehnt den Befehl %1 ab: %2");
inline const QString kMailBadResponse = QStringLiteral("Unverständliche Antwort des Mailservers: %1");
inline const QString kMailNoConnection = QStringLiteral("Keine Verbindung zum Mailserver.");
inline const QString kMailConnectionLost = QStringLiteral("Die Verbindung zum Mailserver wurde unterbrochen.");
inline const QString kMailCertificateRefused = QStringLiteral("Das Zertifikat des Mailservers wird nicht anerkannt.");
inline const QString kMailTlsFailed =
    QStringLiteral("Die verschlüsselte Verbindung zum Mailserver ist fehlgeschlagen.");
inline const QString kMailExchangeFailed = QStringLiteral("Fehler beim Austausch mit dem Mailserver (%1).");
// The mailbox plugin cannot be used: the reason of a failed account.
inline const QString kMailModuleMissing = QStringLiteral("Das Email-Modul „%1“ fehlt.");
inline const QString kMailModuleNotLoadable = QStringLiteral("Das Email-Modul „%1“ lässt sich nicht laden (%2).");
inline const QString kMailModuleForeign =
    QStringLiteral("Das Email-Modul „%1“ passt nicht zu dieser Programmversion (%2).");
// A header longer than the part kept of it, for the bus monitor.
inline const QString kMailHeaderCut = QStringLiteral(
    "Email-Abruf bei %1: Der Kopf der %2. neuesten Nachricht ist länger als %3 KiB; nur sein Anfang wurde gelesen.");
// "Mailtime" below one minute.
inline const QString kMailIntervalRaised =
    QStringLiteral("Abrufintervall %1 Minuten ist zu kurz; die Postfächer werden jede Minute abgerufen.");
inline const QString kNotAWholeNumber = QStringLiteral("'%1' ist kein gültiger Integerwert.");
inline QString notAPortNumber(const QString &text) {
    return kNotAWholeNumber.arg(text);
}

// The tab "Email".
inline const QString kMailSwitch = QStringLiteral("Email abruf");
inline const QString kMailInterval = QStringLiteral("Abrufintervall in Minuten");
inline const QString kMailNew = QStringLiteral("Neu");
inline const QString kMailChange = QStringLiteral("Ändern");
inline const QString kMailDelete = QStringLiteral("Löschen");
inline const QString kMailDeleteHint = QStringLiteral("Befehl löschen");
inline const QString kMailServer = QStringLiteral("Server");
inline const QString kMailPort = QStringLiteral("Port");
inline const QString kMailFetch = QStringLiteral("abrufen");
inline const QString kMailBalloon = QStringLiteral("Balloon");
inline const QString kMailBalloonHint =
    QStringLiteral("Schaltet den Balloonhint insgesamt aus/an. Bei an aber nur für gewünschte GA's");
inline const QString kMailTls = QStringLiteral("TLS (STLS)");
inline const QString kMailTlsHint = QStringLiteral("Verschlüsselt über STLS; Port 995 ist immer POP3S");
inline const QString kMailLogin = QStringLiteral("Benutzername (Login)");
inline const QString kMailPassword = QStringLiteral("Passwort");
inline const QString kMailDropHere = QStringLiteral("KO per Drag&Drop hier ablegen");
inline const QString kMailRemoveFrom = QStringLiteral("%1 entfernen");
inline const QString kMailsNode = QStringLiteral("Mails");
inline const QString kMailIncomplete =
    QStringLiteral("Bitte Server/Port/Login eingeben.\rBitte KO für Anzahl auswählen.");
inline const QString kNotABoolean = QStringLiteral("'%1' ist kein gültiger Boolescher Wert.");
