#pragma once

#include <QString>

// The German texts of the history ("Verlauf") and its window.
namespace HistoryTexts {
// The window and its tabs
inline const QString kWindowTitle = QStringLiteral("Verlauf");
inline const QString kEventsTab = QStringLiteral("Ereignisse");
inline const QString kChartTab = QStringLiteral("Kurve");
// The menu-bar entry's tool tip.
inline const QString kMenuBarHint =
    QStringLiteral("Was geschah: Meldungen, Verbindung, Fehler, und die Werte eines Objekts als Kurve");
// The tray popup's title row; %1: the unread events.
inline const QString kUnreadTitle = QStringLiteral("Verlauf: %1 ungelesen");

// Event kinds
inline const QString kKindBalloon = QStringLiteral("Sprechblase");
inline const QString kKindMessage = QStringLiteral("Wichtige Meldung");
inline const QString kKindLinkLost = QStringLiteral("Verbindung verloren");
inline const QString kKindLinkRestored = QStringLiteral("Verbindung wiederhergestellt");
inline const QString kKindKeyRefused = QStringLiteral("Key abgelehnt");
inline const QString kKindLoadReplaceFailed = QStringLiteral("Load & Replace fehlgeschlagen");
inline const QString kKindMailFailed = QStringLiteral("Mailabruf fehlgeschlagen");
inline const QString kKindCatalogueFailed = QStringLiteral("OV Struktur laden fehlgeschlagen");
inline const QString kKindSaveFailed = QStringLiteral("Speichern fehlgeschlagen");
inline const QString kKindHistoryGap = QStringLiteral("Verlauf unterbrochen");

// The event list
inline const QString kKindFilter = QStringLiteral("Art:");
inline const QString kAllKinds = QStringLiteral("Alle Arten");
inline const QString kObjectFilter = QStringLiteral("Objekt:");
inline const QString kAllObjects = QStringLiteral("Alle Objekte");
inline const QString kSearch = QStringLiteral("Suche:");
inline const QString kMoreObjects = QStringLiteral("… weitere Objekte: über die Suche");
inline const QString kMoreObjectsTyped = QStringLiteral("… weitere Objekte: Nummer eintippen");
inline const QString kEventList = QStringLiteral("Ereignisse");
inline const QString kColumnTime = QStringLiteral("Zeit");
inline const QString kColumnKind = QStringLiteral("Art");
inline const QString kColumnObject = QStringLiteral("Objekt");
inline const QString kColumnText = QStringLiteral("Text");
inline const QString kColumnValue = QStringLiteral("Wert");
inline const QString kMarkAllRead = QStringLiteral("Alle als gelesen markieren");
// What screen readers hear for an unread event (the list shows it bold).
inline const QString kUnread = QStringLiteral("ungelesen");
// %1: how many events the list shows
inline const QString kMoreThanLimit =
    QStringLiteral("Gezeigt werden die neuesten %1 Ereignisse; ältere finden Sie über Art, Objekt oder Suche.");
// %1: how many of the newest events the search looked through
inline const QString kSearchCut = QStringLiteral("Die Suche hat nur die neuesten %1 Ereignisse durchsucht.");

// Mutes
inline const QString kMuteHour = QStringLiteral("Stumm für 1 Stunde");
inline const QString kMuteMorning = QStringLiteral("Stumm bis morgen früh");
inline const QString kUnmute = QStringLiteral("Stumm aufheben");
inline const QString kShowChart = QStringLiteral("Kurve zeigen");
inline const QString kMutedNone = QStringLiteral("Kein Objekt ist stumm geschaltet.");
// %1: the list "768 bis 14:05, 1001 bis 07:00"
inline const QString kMutedList = QStringLiteral("Stumm: %1");
// %1: object, %2: end time
inline const QString kMutedUntil = QStringLiteral("%1 bis %2");

// Limits
inline const QString kLimitsBox = QStringLiteral("Aufbewahrung");
inline const QString kKeepDays = QStringLiteral("Höchstens Tage:");
inline const QString kKeepMegabytes = QStringLiteral("Höchstens MB:");
inline const QString kApplyLimits = QStringLiteral("Übernehmen");
inline const QString kApplyLimitsHint =
    QStringLiteral("Ältere Einträge und, wenn die Datei zu groß wird, die ältesten werden gelöscht.");

// The chart
inline const QString kChartObject = QStringLiteral("Objekt:");
inline const QString kChartSpan = QStringLiteral("Zeitraum:");
inline const QString kSpanDay = QStringLiteral("24 Stunden");
inline const QString kSpanWeek = QStringLiteral("7 Tage");
inline const QString kSpanMonth = QStringLiteral("30 Tage");
inline const QString kChartView = QStringLiteral("Kurve der Werte");
inline const QString kTextValues = QStringLiteral("Werte, die keine Zahlen sind");
inline const QString kExportCsv = QStringLiteral("CSV exportieren");
inline const QString kNoValues = QStringLiteral("Keine Werte in diesem Zeitraum.");
inline const QString kChooseObject = QStringLiteral("Bitte ein Objekt wählen.");
// %1: the slice length as text ("5 Minuten")
inline const QString kCondensed = QStringLiteral("Sehr viele Werte: gezeigt wird der letzte Wert je %1.");
inline const QString kSeconds = QStringLiteral("%1 Sekunden");
inline const QString kExportTitle = QStringLiteral("CSV exportieren");
inline const QString kCsvFilter = QStringLiteral("CSV-Dateien (*.csv)");
// %1: the object
inline const QString kExportFileName = QStringLiteral("Verlauf-%1.csv");
// %1: rows, %2: file
inline const QString kExported = QStringLiteral("%1 Werte nach %2 exportiert.");
// %1: rows written, %2: file
inline const QString kExportCut =
    QStringLiteral("Nur die ersten %1 Werte wurden nach %2 exportiert; wählen Sie einen kürzeren Zeitraum.");
inline const QString kCsvHeader = QStringLiteral("Zeit;Objekt;Wert");

// Problems of the history itself (one message each)
// %1: the file, %2: where it was moved
inline const QString kDamaged =
    QStringLiteral("Die Verlaufsdatei %1 war beschädigt. Sie liegt jetzt unter %2; ein neuer Verlauf wurde begonnen.");
// %1: the file, %2: the system's reason
inline const QString kDamagedNotMoved = QStringLiteral(
    "Die Verlaufsdatei %1 ist beschädigt und konnte nicht beiseitegelegt werden: %2\nDer Verlauf bleibt aus.");
// %1: the file, %2: the system's reason
inline const QString kPaused = QStringLiteral("Der Verlauf kann nicht in %1 schreiben: %2\nQuendra läuft weiter; "
                                              "der Verlauf zeichnet wieder auf, sobald das Schreiben gelingt.");
inline const QString kDiskFull = QStringLiteral("Auf dem Datenträger ist kein Platz mehr.");
// %1: the file, %2: the system's reason
inline const QString kCannotOpen =
    QStringLiteral("Der Verlauf %1 kann nicht geöffnet werden: %2\nDer Verlauf bleibt aus.");
inline const QString kNewerFile = QStringLiteral("Die Datei stammt von einer neueren Quendra-Version.");
inline const QString kNoDriver = QStringLiteral("Der SQLite-Treiber von Qt (libqt6sql6-sqlite) fehlt.");
// %1: how many values and events were dropped
inline const QString kBehind =
    QStringLiteral("Der Verlauf kommt mit dem Schreiben nicht nach; %1 Einträge wurden nicht aufgezeichnet.");
// Events the history records about itself. %1: how many values and events were not recorded
inline const QString kGapResumed = QStringLiteral("Aufzeichnung fortgesetzt; %1 Einträge fehlen im Verlauf.");
// %1: where the damaged file was moved
inline const QString kGapNewFile = QStringLiteral("Neuer Verlauf begonnen; der beschädigte liegt unter %1.");
// A text longer than the history keeps ends with this.
inline const QString kCut = QStringLiteral(" … (gekürzt)");
// The part of a damaged file's new name before the time
inline const QString kDamagedSuffix = QStringLiteral(".beschädigt-");
} // namespace HistoryTexts
