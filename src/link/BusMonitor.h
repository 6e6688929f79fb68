#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <list>
#include <optional>

// The bus monitor `busmoni`: every line received from or sent to the gateway and the link's own
// notes, newest on top. It keeps the newest kCapacity lines within kByteBudget, so neither a busy
// bus nor a peer sending long lines can grow it without end; a row longer than kMaxRowLength is
// shown cut, ending in "…". `getlv` answers as a scan of every line since the last clear would,
// from a map of the newest value per number fed by every inserted line (values kept whole); the
// map too has a budget (kMaxNumbers, kNumberBytesBudget), and the number updated longest ago goes
// first.
//
// A burst brings thousands of lines per event-loop turn. Lines taken with takeLine() are the
// monitor's at once (lines(), getlv), but views learn of them together: in one insertion when
// control is back in the event loop, or as soon as kMaxHeldLines or kMaxHeldBytes of them wait.
// A view told of every line on its own would lay itself out anew for each of them.
class BusMonitor : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kCapacity = 10000;
    static constexpr qsizetype kByteBudget = 8 * 1024 * 1024;
    static constexpr qsizetype kMaxRowLength = 4096;
    static constexpr qsizetype kMaxNumbers = 50000;
    static constexpr qsizetype kNumberBytesBudget = 8 * 1024 * 1024;
    static constexpr qsizetype kMaxHeldLines = 2000;
    static constexpr qsizetype kMaxHeldBytes = 1024 * 1024;

    explicit BusMonitor(QObject *parent = nullptr);

    // Puts the text on top, and views see it at once; the oldest lines go when the monitor is full.
    void insertTop(const QString &text);
    // The same for a line of a burst: views see it with the others taken in this event-loop turn.
    void takeLine(const QString &text);
    // Tells views of every line taken and not yet shown.
    void showTakenLines();
    // While held (a drain takes a slice of lines), taken lines wait for the end of the hold and
    // are shown then, in the same turn, instead of from a turn of their own. Holds nest; the end
    // of any hold shows what was taken.
    void holdShowing(bool hold);
    void clear();
    // The lines held, newest first.
    QStringList lines() const;
    // What the held lines occupy, as counted against kByteBudget.
    qsizetype bytes() const { return m_bytes; }
    // How many numbers the map of newest values holds.
    qsizetype numberCount() const { return m_newest.size(); }

    // The newest value of the number in the decimal comma form: the first line, newest first,
    // whose characters from the third on start with gan + "|"; its value is the rest of the line.
    // Nothing when no line matches or the newest match carries an empty value (the caller then
    // uses "0,0" and shows its error box).
    std::optional<QString> getlv(const QString &gan) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    struct Newest {
        QString gan;
        QString value;
    };
    void remember(QStringView gan, QStringView value);
    // Drops the stored rows that the monitor no longer holds and views no longer show.
    void dropUnused();
    const QString &rowOf(qint64 sequence) const { return m_rows.at(sequence - m_firstStored); }
    static qsizetype cost(QStringView text) { return text.size() * qsizetype(sizeof(QChar)) + 64; }

    // Every line gets the next sequence number. m_rows holds the lines from m_firstStored on,
    // oldest first: those the monitor holds ([m_firstHeld, m_end)) and those views still show
    // ([m_firstShown, m_endShown)); a view's row r is the line m_endShown - 1 - r.
    QList<QString> m_rows;
    qint64 m_firstStored = 0;
    qint64 m_firstHeld = 0;
    qint64 m_end = 0;
    qint64 m_firstShown = 0;
    qint64 m_endShown = 0;
    qsizetype m_bytes = 0;      // of the lines held
    qsizetype m_takenBytes = 0; // of the lines taken and not yet shown
    bool m_showPosted = false;
    int m_showHolds = 0;
    // Number → value as received, for every line whose text from the third character holds a "|",
    // least recently updated first. The map's keys view the numbers kept in the list, so that a line
    // of a number already known is looked up and stored without a new string.
    std::list<Newest> m_order;
    QHash<QStringView, std::list<Newest>::iterator> m_newest;
    qsizetype m_newestBytes = 0;
};

class Dialogs;

// The lookup the editors use: the newest value of the number, or "0,0" after telling the user that
// the bus monitor holds none ("Konnte KO Wert nicht ermitteln.").
QString getlv(const BusMonitor &monitor, const QString &gan, Dialogs &dialogs);
