#pragma once

#include <QString>

// The German texts the application shell shows: window and menu captions, labels, hints and
// messages, in one place so that they are checked and changed together.
namespace AppTexts {
inline const QString kProgramName = QStringLiteral("Quendra");
inline const QString kVersionCaption = QStringLiteral("Quendra - Version ");
inline const QString kHelpFileMissing = QStringLiteral("Hilfe-Datei nicht gefunden\r");

// The command line ("quendra --help").
inline const QString kCommandLineHelp =
    QStringLiteral("Aufruf: quendra [--help | --version]\n"
                   "\n"
                   "Quendra ist der Begleiter des Orvanel-Servers im Infobereich: ein eigenes Menü zum\n"
                   "Schalten, Dimmen und Ablesen der Kommunikationsobjekte, Meldungen bei Wertänderungen,\n"
                   "Load & Replace, Postfachabfrage, Bildschirmschoner, Console und Webchecker.\n"
                   "Ohne Option startet das Programm; die Einstellungen stehen in \"quendra.ini\" im\n"
                   "Programmordner (~/.config/quendra, oder neben dem Programm, wenn sie dort liegt).\n"
                   "\n"
                   "Optionen:\n"
                   "  -h, --help     diese Hilfe anzeigen und beenden\n"
                   "      --version  die Version anzeigen und beenden\n"
                   "\n"
                   "Hilfe: %1\n");
// "quendra --version" after the name and the version: the licence, as GNU programs say it in German.
inline const QString kLicenceNotice =
    QStringLiteral("Copyright (C) 2026 Quendra-Entwickler\n"
                   "Lizenz GPLv3+: GNU GPL Version 3 oder später <https://gnu.org/licenses/gpl.html>.\n"
                   "Dies ist freie Software: Sie können sie verändern und weitergeben.\n"
                   "Es gibt KEINE GARANTIE, soweit gesetzlich zulässig.\n");
inline const QString kCommandLineError = QStringLiteral("quendra: %1 (siehe \"quendra --help\")");
inline const QString kUnknownOption = QStringLiteral("unbekannte Option \"%1\"");
inline const QString kUnexpectedArgument = QStringLiteral("unerwartetes Argument \"%1\"");
inline const QString kMissingValue = QStringLiteral("Option \"%1\" ohne Wert");

// A second start while the program runs (one program per user session).
inline const QString kRunningProgramHangs =
    QStringLiteral("Quendra läuft bereits, antwortet aber nicht (%1).\rBitte das laufende Quendra beenden "
                   "und dann neu starten.");
inline const QString kNoSessionBus =
    QStringLiteral("Keine D-Bus-Sitzung (%1): ein zweiter Start von Quendra wird nicht erkannt.");

// Menu bar (the subsystems add their entries between "Datei" and "Hilfe").
inline const QString kDatei = QStringLiteral("Datei");
inline const QString kTraymodus = QStringLiteral("Traymodus");
inline const QString kBeenden = QStringLiteral("Beenden");
inline const QString kHilfe = QStringLiteral("Hilfe");

// Header panels.
inline const QString kSettingsCaption = QStringLiteral("Programmeinstellungen");
inline const QString kConnectedWith = QStringLiteral(" - Verbunden mit ");
inline const QString kOffline = QStringLiteral(" - offline");
inline const QString kMenueerstellung = QStringLiteral("Menüerstellung");
inline const QString kExpand = QStringLiteral("Ausklappen");
inline const QString kCollapse = QStringLiteral("Einklappen");

// Settings panel: labels and captions, and their hints.
inline const QString kIpLabel = QStringLiteral("IP Adresse des OV/OW:");
inline const QString kIpHint = QStringLiteral("IP des Orvanels: z.B. 192.168.1.25");
inline const QString kWebPortLabel = QStringLiteral("Port:");
inline const QString kWebPortHint = QStringLiteral("Port des Orvanel z.B. 80");
inline const QString kGatewayPortLabel = QStringLiteral("KO-Gateway Port:");
inline const QString kGatewayPortHint = QStringLiteral("Port auf dem der Orvanel dem Quendra lauscht z.B. 8080");
inline const QString kKeyLabel = QStringLiteral("Key:");
inline const QString kKeyHint = QStringLiteral("Key für den LAN Zugang");
inline const QString kBubble = QStringLiteral("Balloon ges.");
inline const QString kBubbleHint =
    QStringLiteral("Schaltet den Balloonhint insgesamt aus/an. Bei an aber nur für gewünschte GA's");
inline const QString kMinimized = QStringLiteral("minimiert starten");
inline const QString kMinimizedHint = QStringLiteral("Startet das Programm im Tray");
inline const QString kAutostart = QStringLiteral("Autostart");
inline const QString kAutostartHint = QStringLiteral("Startet Quendra beim Anmelden");
inline const QString kConnect = QStringLiteral("connect");
inline const QString kDisconnect = QStringLiteral("disconnect");
inline const QString kOfflineTick = QStringLiteral("Offline (autom. Verbindung deaktivieren)");
inline const QString kFolderLabel = QStringLiteral("Pfad für Konfigurationsdateien:");
inline const QString kFolderChooser = QStringLiteral("Pfad für Konfigurationsdateien");
inline const QString kFolderBrowse = QStringLiteral("Ordner wählen");
inline const QString kFolderBrowseCaption = QStringLiteral("...");
inline const QString kNeuLaden = QStringLiteral("Neu laden");
inline const QString kLogo = QStringLiteral("Orvanel");
inline const QString kOnline = QStringLiteral("online");
inline const QString kOfflineName = QStringLiteral("offline");

// The object tree column.
inline const QString kLoadCatalogue = QStringLiteral("OV Struktur laden");
inline const QString kLoadCatalogueHint = QStringLiteral("Läd die Komunikationsobjekte vom OV");

// Work area and bus monitor.
inline const QString kMenuTab = QStringLiteral("Menü");
inline const QString kLoadReplaceTab = QStringLiteral("Load && Replace");
inline const QString kEmailTab = QStringLiteral("Email");
inline const QString kSystemTab = QStringLiteral("System");
inline const QString kParameter = QStringLiteral("Parameter");
inline const QString kParameterGroup = QStringLiteral(" Parameter ");
inline const QString kShowBusMonitor = QStringLiteral(">>");
inline const QString kHideBusMonitor = QStringLiteral("<<");
inline const QString kShowBusMonitorHint = QStringLiteral("Busmonitor anzeigen");
inline const QString kHideBusMonitorHint = QStringLiteral("Busmonitor ausblenden");
inline const QString kBusMonitor = QStringLiteral("Busmonitor");
// The toggles' accessible names say what pressing them does; their caption stays ">>" / "<<".
inline const QString kShowBusMonitorName = QStringLiteral("Busmonitor einblenden");
inline const QString kHideBusMonitorName = QStringLiteral("Busmonitor ausblenden");

// Status bar and splash window.
inline const QString kStatusBar = QStringLiteral("Statuszeile");
// Panel 1 and the bus monitor, when "Pfad" names a folder that is not there.
inline const QString kFolderMissing = QStringLiteral("Konfigurationsordner \"%1\" nicht gefunden");
// Panel 0 and the bus monitor when the server closed the link within a second of the key line.
inline const QString kKeyRefused = QStringLiteral("Verbindung nach dem Key geschlossen – Key prüfen");
inline const QString kFirstRun =
    QStringLiteral("Bitte Adresse, Ports und Key des Orvanel eintragen und connect drücken");
// Notes in status bar panel 1 (short, the panel is narrow) with their whole texts.
inline const QString kNoTrayNote = QStringLiteral("Kein Infobereich (Tray)");
inline const QString kNoTrayDetail =
    QStringLiteral("Dieser Desktop hat keinen Infobereich (Tray): „Traymodus“ und Minimieren lassen das Fenster "
                   "in der Taskleiste, damit es erreichbar bleibt.");
inline const QString kNoBalloonsNote = QStringLiteral("Keine Desktop-Meldungen");
inline const QString kNoBalloonsDetail =
    QStringLiteral("Balloonhinweise erscheinen nicht: weder ein Infobereich noch der Benachrichtigungsdienst des "
                   "Desktops nimmt sie an (%1).");
inline const QString kSplashCaption = QStringLiteral("Start Quendra");
inline const QString kSplashTitle = QStringLiteral("Quendra wird geladen");
inline const QString kSplashHint = QStringLiteral("starte Quendra ...");

// Who showed a box or a balloon, as the frame's events name it: the frame's own parts and the
// subsystems of the program's list.
inline const QString kLinkSource = QStringLiteral("Verbindung");
inline const QString kCatalogueSource = QStringLiteral("OV Struktur");
inline const QString kSystemSource = QStringLiteral("System");
inline const QString kMenuSource = QStringLiteral("Menü");
inline const QString kLoadReplaceSource = QStringLiteral("Load & Replace");
inline const QString kMailSource = QStringLiteral("Email");
inline const QString kConsoleSource = QStringLiteral("Console");
inline const QString kWebcheckerSource = QStringLiteral("Webchecker");
inline const QString kWildcardSource = QStringLiteral("Quendra Konfig");
inline const QString kHistorySource = QStringLiteral("Verlauf");
} // namespace AppTexts
