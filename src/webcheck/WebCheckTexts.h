#pragma once

#include <QString>

// The German texts the web-query checker's window shows: captions, labels, hints and messages,
// in one place so that they are checked and changed together.
namespace WebCheckTexts {

// Window, menu and tabs.
inline const QString kCaption = QStringLiteral("Quendra - Webchecker 0.2 Beta");
inline const QString kSchliessen = QStringLiteral("Schließen");
inline const QString kTabDaten = QStringLiteral("Daten");
inline const QString kTabBrowser = QStringLiteral("Browser");
inline const QString kTabBrowserOf = QStringLiteral("Browser - ");
inline const QString kTabNeu = QStringLiteral("Neu");
inline const QString kTabPruefen = QStringLiteral("Webabfragen prüfen");

// Tab "Daten": the current project.
inline const QString kExampleHost = QStringLiteral("www.example.com");
inline const QString kBezPlaceholder = QStringLiteral("Bezeichnung - für Speicherung des Projektes");
inline const QString kExamplePrefix = QStringLiteral("z.B. ");
inline const QString kHostPlaceholder = kExamplePrefix + kExampleHost;
inline const QString kSitePlaceholder = QStringLiteral("z.B. /index.html");
inline const QString kInitialPort = QStringLiteral("80");
inline const QString kInitialSite = QStringLiteral("/index.html");
inline const QString kAktuellesProjekt = QStringLiteral(" Aktuelles Projekt ");
inline const QString kBezeichnung = QStringLiteral("Bezeichnung:");
inline const QString kHost = QStringLiteral("IP/Host-Adresse:");
inline const QString kPort = QStringLiteral("Port:");
inline const QString kSite = QStringLiteral("Pfad/Webseite:");
inline const QString kNeuHint = QStringLiteral("Neues Projekt");
inline const QString kSpeichern = QStringLiteral("Speichern");
inline const QString kSpeichernHint = QStringLiteral("Projekt speichern");
inline const QString kWebsiteLaden = QStringLiteral("Website laden");
inline const QString kHierKlicken = QStringLiteral("<- (Hier klicken, wenn alle Eingaben komplett sind)");

// Tab "Daten": saved projects and templates.
inline const QString kGespeicherteProjekteGroup = QStringLiteral(" Gespeicherte Projekte ");
inline const QString kGespeicherteProjekte = QStringLiteral("Gespeicherte Projekte");
inline const QString kOeffnen = QStringLiteral("Öffnen");
inline const QString kOeffnenHint = QStringLiteral("Projekt öffnen");
inline const QString kLoeschen = QStringLiteral("Löschen");
inline const QString kLoeschenHint = QStringLiteral("Projekt löschen");
inline const QString kExport = QStringLiteral("Export");
inline const QString kExportHint = QStringLiteral("Datei für OV/OW erzeugen");
inline const QString kVorlagen = QStringLiteral(" Vorlagen Verwalten (Text aus Liste) ");

// Tab "Browser".
inline const QString kQuelltext = QStringLiteral("Quelltext");
inline const QString kFrameNotice =
    QStringLiteral("Achtung: Diese Webseite enthält Frames. Damit der OV/OW eine Webabfrage durchführen kann, muss er "
                   "die genaue URL des Frames kennen.");
inline const QString kFrameChoose = QStringLiteral("Wähle per Doppelklick einen Frame aus:");
inline const QString kFrameKeep = QStringLiteral("Nein, die Seite (URL) so belassen");
inline const QString kAnalyseStarten = QStringLiteral("Analyse starten");
inline const QString kAnalyseHint = QStringLiteral("Analyse der Website durchführen");
inline const QString kAnalyseAbbrechen = QStringLiteral("Analyse abbrechen");
inline const QString kScanOptionen = QStringLiteral("Scan-Optionen");
inline const QString kScanText = QStringLiteral("Scan nach Text");
inline const QString kScanBilder = QStringLiteral("Scan nach Bildern");
inline const QString kScanLinks = QStringLiteral("Scan nach Links");
inline const QString kQuelltextEinblenden = QStringLiteral("Quelltext einblenden");
inline const QString kListe = QStringLiteral("Liste");
inline const QString kListeHint = QStringLiteral("Doppelklick auf Wert für die Übernahme");
inline const QString kFortschritt = QStringLiteral("Fortschritt");
inline const QString kAnalysiere = QStringLiteral("Analysiere Page ...");
inline const QString kFertig = QStringLiteral("Fertig!");
// The analysis stopped at the most rows a list holds (%1).
inline const QString kAnalyseBegrenzt =
    QStringLiteral("Fertig! Abgebrochen bei %1 Werten: Mehr fasst die Liste nicht.");

// Tab "Neu".
inline const QString kNeuHeading = QStringLiteral("Wie soll der OV/OW die gefundenen Daten verarbeiten:");
inline const QString kDatenblock = QStringLiteral("Datenblock enthält:");
inline const QString kKlartext = QStringLiteral("Wert als Klartext");
inline const QString kAusListe = QStringLiteral("Text aus einer vordefinierten Liste");
inline const QString kListeLabel = QStringLiteral("Liste:");
inline const QString kUmwandlung = QStringLiteral("Umwandlungstabelle anwenden");
inline const QString kAlsVorlage = QStringLiteral("Als Vorlage speichern");
inline const QString kVorlageWaehlen = QStringLiteral("Vorlage auswählen ...");
inline const QString kKoTyp = QStringLiteral("Typ:");
inline const QString kKoBez = QStringLiteral("Bez.:");
inline const QString kErstellen = QStringLiteral("Erstellen");
inline const QString kKObjekt = QStringLiteral("K.-Objekt:");
inline const QString kGefundeneDaten = QStringLiteral("(gefundene Daten)");
inline const QString kWenigerLesen = QStringLiteral("Weniger lesen");
inline const QString kMehrLesen = QStringLiteral("Mehr lesen");
inline const QString kOk = QStringLiteral("OK");
inline const QString kAbbruch = QStringLiteral("Abbruch");
inline const QString kVorlageUebernehmen = QStringLiteral("Vorlage übernehmen?");
inline const QString kVorlageLoeschenHint = QStringLiteral("Vorlage löschen");
inline const QString kVorlagenListe = QStringLiteral("Vorlagen");

// Export.
inline const QString kStarteExport = QStringLiteral("Starte Export ...");
inline const QString kLadeQuelltext = QStringLiteral("Lade Quelltext ...");
inline const QString kErstelleExport = QStringLiteral("Erstelle Export ...");
inline const QString kErstelleDatei = QStringLiteral("Erstelle Datei ...");
inline const QString kExportAbgebrochen = QStringLiteral("Der Export von \"%1\" ist abgebrochen: %2");
// What the export line says when no file came of it.
inline const QString kExportFehlgeschlagen = QStringLiteral("Export fehlgeschlagen");
inline const QString kExportGestoppt = QStringLiteral("Export abgebrochen");
inline const QString kExportWartet = QStringLiteral("Export nicht gestartet: Ein Export oder eine Prüfung läuft noch.");
// Below the line: the file the export wrote.
inline const QString kExportDatei = QStringLiteral("Importdatei gespeichert: %1");

// Tab "Webabfragen prüfen".
inline const QString kPruefen = QStringLiteral("prüfen");
inline const QString kBezLabel = QStringLiteral("Bezeichnung:");
inline const QString kWebsiteLabel = QStringLiteral("Website:");
inline const QString kPortLabel = QStringLiteral("Port:");
inline const QString kOrdner = QStringLiteral("Ordner");
inline const QString kImportdateien = QStringLiteral("Importdateien");
inline const QString kErgebnis = QStringLiteral("Ergebnis");
inline const QString kKoBezeichnung = QStringLiteral("KO Bezeichnung");
inline const QString kWert = QStringLiteral("Wert");
inline const QString kTyp = QStringLiteral("Typ");
inline const QString kFind = QStringLiteral("Find");
// The check's status line: how the last check ended.
inline const QString kPruefeSeite = QStringLiteral("Lade die Seite der Importdatei ...");
inline const QString kGeprueft = QStringLiteral("Fertig! %1 Suchtexte, davon %2 nicht gefunden (FEHLER).");
inline const QString kPruefungFehlgeschlagen = QStringLiteral("Prüfung fehlgeschlagen");
inline const QString kPruefungAbgebrochen =
    QStringLiteral("Prüfung abgebrochen: Im Browser wurde eine andere Seite geladen.");
inline const QString kPruefungWartet =
    QStringLiteral("Prüfung nicht gestartet: Ein Export oder eine Prüfung läuft noch.");

// Messages.
inline const QString kSelectFirst = QStringLiteral("Bitte erst ein Projekt auswählen.");
inline const QString kNotSaved = QStringLiteral("Aktuelles Projekt noch nicht gespeichert!\rProjekt speichern?");
inline const QString kWirklichLoeschen = QStringLiteral("Wirklich löschen?");
inline const QString kAnalyseLoeschen = QStringLiteral("Analyse löschen?");

// The browser area: a line under the browser when it runs without its sandbox or its page process
// ended, and in its place why it is not there at all.
inline const QString kOhneSandboxRoot =
    QStringLiteral("Der Browser läuft ohne Sandbox, weil das Programm als root läuft.");
inline const QString kOhneSandboxUmgebung =
    QStringLiteral("Der Browser läuft ohne Sandbox, weil die Umgebungsvariable %1 es verlangt.");
inline const QString kSeiteBeendet =
    QStringLiteral("Der Browser-Prozess der Seite wurde beendet (Code %1). „Website laden“ lädt sie neu.");
inline const QString kBrowserFehlt =
    QStringLiteral("Der Browser steht nicht zur Verfügung. %1 Die Seite wird hier nicht angezeigt; Analyse, Export "
                   "und Prüfung holen ihren Quelltext trotzdem.");
inline const QString kModulFehlt = QStringLiteral("Das Browser-Modul „%1“ fehlt.");
inline const QString kModulNichtLadbar = QStringLiteral("Das Browser-Modul „%1“ lässt sich nicht laden (%2).");
inline const QString kModulFremd = QStringLiteral("Das Browser-Modul „%1“ passt nicht zu dieser Programmversion (%2).");
inline const QString kEngineProgrammFehlt = QStringLiteral("Der Browser findet sein Programm %1 nicht (gesucht: %2).");
inline const QString kEngineDatenFehlen = QStringLiteral("Der Browser findet seine Daten %1 nicht (gesucht in: %2).");
} // namespace WebCheckTexts
