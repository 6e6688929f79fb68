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
inline const QString kMailConfirmHint = QStringLiteral("Befehl zum Kotextmenü hinzufügen");
inline const QString kMailBack = QStringLiteral("Zurück");
inline const QString kMailsNode = QStringLiteral("Mails");
inline const QString kMailIncomplete =
    QStringLiteral("Bitte Server/Port/Login eingeben.\rBitte KO für Anzahl auswählen.");
inline const QString kMailAskDelete = QStringLiteral("Wirklich löschen?");
inline const QString kNotABoolean = QStringLiteral("'%1' ist kein gültiger Boolescher Wert.");
