#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QString>
#include <list>
#include <optional>

// The bus monitor `busmoni`: every line received from or sent to the gateway and the link's own
// notes, newest on top. It keeps the newest kCapacity lines within kByteBudget, so neither a busy
// bus nor a peer sending long lines can grow it without end; a row longer than kMaxRowLength is
// shown cut, ending in "…". `getlv` answers as a scan of every line since the last clear would,
// from a map of the newest value per number fed by every inserted line (values kept whole); the
// map too has a budget (kMaxNumbers, kNumberBytesBudget), and the number updated longest ago goes
// first.
class BusMonitor : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kCapacity = 10000;
    static constexpr qsizetype kByteBudget = 8 * 1024 * 1024;
    static constexpr qsizetype kMaxRowLength = 4096;
    static constexpr qsizetype kMaxNumbers = 50000;
    static constexpr qsizetype kNumberBytesBudget = 8 * 1024 * 1024;

    explicit BusMonitor(QObject *parent = nullptr);

    // Puts the text on top; the oldest lines go when the monitor is full.
    void insertTop(const QString &text);
    void clear();
    const QList<QString> &lines() const { return m_lines; }
    // What the kept rows occupy, as counted against kByteBudget.
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
    void remember(QString gan, QString value);
    static qsizetype cost(const QString &text) { return text.size() * qsizetype(sizeof(QChar)) + 64; }

    QList<QString> m_lines;
    qsizetype m_bytes = 0;
    // Number → value as received, for every line whose text from the third character holds a "|",
    // least recently updated first.
    std::list<Newest> m_order;
    QHash<QString, std::list<Newest>::iterator> m_newest;
    qsizetype m_newestBytes = 0;
};

class Dialogs;

// The lookup the editors use: the newest value of the number, or "0,0" after telling the user that
// the bus monitor holds none ("Konnte KO Wert nicht ermitteln.").
QString getlv(const BusMonitor &monitor, const QString &gan, Dialogs &dialogs);
