#pragma once

#include <QAbstractListModel>
#include <QHash>
#include <QList>
#include <QString>
#include <optional>

// The bus monitor `busmoni`: every line received from or sent to the gateway and the link's own
// notes, newest on top. It keeps the newest kCapacity lines so a busy bus cannot grow it without
// end; `getlv` still answers as a scan of every line since the last clear would, from a map of
// the newest value per number fed by every inserted line.
class BusMonitor : public QAbstractListModel {
    Q_OBJECT
public:
    static constexpr int kCapacity = 10000;

    explicit BusMonitor(QObject *parent = nullptr);

    // Puts the text on top; the oldest line goes when the monitor is full.
    void insertTop(const QString &text);
    void clear();
    const QList<QString> &lines() const { return m_lines; }

    // The newest value of the number in the decimal comma form: the first line, newest first,
    // whose characters from the third on start with gan + "|"; its value is the rest of the line.
    // Nothing when no line matches or the newest match carries an empty value (the caller then
    // uses "0,0" and shows its error box).
    std::optional<QString> getlv(const QString &gan) const;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

private:
    QList<QString> m_lines;
    // Number → value as received, for every line whose text from the third character holds a "|".
    QHash<QString, QString> m_newest;
};

class Dialogs;

// The lookup the editors use: the newest value of the number, or "0,0" after telling the user that
// the bus monitor holds none ("Konnte KO Wert nicht ermitteln.").
QString getlv(const BusMonitor &monitor, const QString &gan, Dialogs &dialogs);
