#pragma once

#include <QString>

// The German texts of the link to the server: its status texts, the reasons an attempt or the
// connection failed, and what the controller shows in boxes, balloons, the status bar and the bus
// monitor, in one place so that they are checked and changed together.
namespace LinkTexts {

// The socket's status, as the balloons and the status handler show it; %1 is the address.
inline const QString kResolving = QStringLiteral("Host-Name %1 wird aufgelöst.");
inline const QString kConnecting = QStringLiteral("Verbinden mit %1.");
inline const QString kConnected = QStringLiteral("Verbunden.");
inline const QString kDisconnecting = QStringLiteral("Verbindung zu %1 wird getrennt.");
inline const QString kNotConnected = QStringLiteral("Nicht verbunden.");

// Why an attempt or an open connection failed.
inline const QString kConnectTimeout = QStringLiteral("Zeitüberschreitung beim Verbinden mit %1.");
inline const QString kAlreadyConnected = QStringLiteral("Bereits verbunden.");
inline const QString kAttemptUnderWay = QStringLiteral("Verbindungsaufbau läuft bereits.");
inline const QString kInvalidPort = QStringLiteral("Ungültiger Port %1.");
inline const QString kClosedByServer = QStringLiteral("Die Verbindung wurde vom OV geschlossen.");
inline const QString kAttemptAborted = QStringLiteral("Verbindungsaufbau abgebrochen.");

// The controller's boxes, balloons and status texts.
inline const QString kBalloonTitle = QStringLiteral("Verbindungsstatus zum Orvanel:");
inline const QString kStartupError = QStringLiteral("Konnte die Verbindung zum OV nicht Herstellen.\rPrüfe die OV "
                                                    "Einstellungen und klicke auf klicke auf connect");
inline const QString kButtonError = QStringLiteral("Konnte die Verbindung zum OV nicht Herstellen.\rPrüfe die OV "
                                                   "Einstellungen und starte danach das Programm neu!");
inline const QString kConnectedWithObjects = QStringLiteral("Mit OV verbunden / %1 KO gefunden");
inline const QString kReconnected = QStringLiteral("Mit OV wieder verbunden ...");

// The bus monitor's notes, and the box of a value it does not hold.
inline const QString kOffline = QStringLiteral("OV offline");
inline const QString kLineDropped = QStringLiteral("Zeile vom OV verworfen: länger als %1 Zeichen");
// For a line that went out with blanks for its NUL, CR or LF bytes.
inline const QString kLineBreaksBlanked =
    QStringLiteral("Gesendete Zeile: NUL, CR und LF darin durch Leerzeichen ersetzt.");
inline const QString kNoValue = QStringLiteral("Konnte KO Wert nicht ermitteln.\rKO Wert auf 0 gesetzt!");

} // namespace LinkTexts
