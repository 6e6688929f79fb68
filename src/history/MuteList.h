#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <optional>

// Objects whose notifications (balloon, important message, sound) are held back for a while;
// their values are still recorded. The list lives in its own small file, written whole through
// the checked writer at every change, so that it is at hand before the history's database has
// opened, and survives a damaged database being moved aside or a full disk pausing the history.
class MuteList : public QObject {
    Q_OBJECT
public:
    // "Stumm bis morgen früh" ends at this hour (local time).
    static constexpr int kMorningHour = 7;
    static constexpr qint64 kHourSeconds = 60 * 60;
    // A file holding more entries is read up to here.
    static constexpr int kMaxEntries = 10000;

    // Reads the file (a missing one is an empty list).
    explicit MuteList(QString file, QObject *parent = nullptr);

    const QString &file() const { return m_file; }
    // The rule the notifications ask: muted while now lies before the mute's end.
    bool isMuted(const QString &gan, const QDateTime &now) const;
    std::optional<QDateTime> mutedUntil(const QString &gan, const QDateTime &now) const;
    // The mutes still running at `now`, in object order, with their ends.
    QList<std::pair<QString, QDateTime>> active(const QDateTime &now) const;

    // Each saves the file; false (and saveFailed) when that failed: the mute then holds until the
    // program ends.
    bool muteForOneHour(const QString &gan, const QDateTime &now);
    bool muteUntilMorning(const QString &gan, const QDateTime &now);
    bool muteUntil(const QString &gan, const QDateTime &until, const QDateTime &now);
    bool unmute(const QString &gan, const QDateTime &now);

    // The next kMorningHour o'clock after now, local time: before seven in the morning that is
    // the same morning, from seven on the next one.
    static QDateTime nextMorning(const QDateTime &now);

signals:
    void changed();
    // The message naming the file and the reason.
    void saveFailed(const QString &message);

private:
    bool save(const QDateTime &now);

    QString m_file;
    QHash<QString, QDateTime> m_until; // UTC
};
