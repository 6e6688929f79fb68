#include "MuteList.h"

#include "IniFieldTable.h"
#include "IniFile.h"

#include <algorithm>

namespace {
// One numbered section per mute: object numbers come from the bus and never become names in the
// file's structure.
const QString kSectionPrefix = QStringLiteral("Stumm");

struct MuteEntry {
    QString gan;
    QString until; // ISO 8601, UTC
};
const IniFieldTable<MuteEntry> kFields{
    IniFieldTable<MuteEntry>::text(QStringLiteral("Objekt"), &MuteEntry::gan),
    IniFieldTable<MuteEntry>::text(QStringLiteral("Bis"), &MuteEntry::until),
};
} // namespace

MuteList::MuteList(QString file, QObject *parent) : QObject(parent), m_file(std::move(file)) {
    const IniFile ini(m_file);
    int read = 0;
    for (const QString &section : ini.sections()) {
        if (!section.startsWith(kSectionPrefix, Qt::CaseInsensitive))
            continue;
        if (++read > kMaxEntries)
            break;
        MuteEntry entry;
        kFields.read(ini, section, entry);
        const QDateTime until = QDateTime::fromString(entry.until, Qt::ISODate);
        if (!entry.gan.isEmpty() && until.isValid())
            m_until.insert(entry.gan, until.toUTC());
    }
}

bool MuteList::isMuted(const QString &gan, const QDateTime &now) const {
    return mutedUntil(gan, now).has_value();
}

std::optional<QDateTime> MuteList::mutedUntil(const QString &gan, const QDateTime &now) const {
    const auto it = m_until.constFind(gan);
    if (it == m_until.cend() || *it <= now)
        return std::nullopt;
    return *it;
}

QList<std::pair<QString, QDateTime>> MuteList::active(const QDateTime &now) const {
    QList<std::pair<QString, QDateTime>> list;
    for (auto it = m_until.cbegin(); it != m_until.cend(); ++it)
        if (*it > now)
            list.append({it.key(), *it});
    std::sort(list.begin(), list.end(), [](const auto &a, const auto &b) {
        return a.first.size() != b.first.size() ? a.first.size() < b.first.size() : a.first < b.first;
    });
    return list;
}

bool MuteList::muteForOneHour(const QString &gan, const QDateTime &now) {
    return muteUntil(gan, now.addSecs(kHourSeconds), now);
}

bool MuteList::muteUntilMorning(const QString &gan, const QDateTime &now) {
    return muteUntil(gan, nextMorning(now), now);
}

bool MuteList::muteUntil(const QString &gan, const QDateTime &until, const QDateTime &now) {
    if (gan.isEmpty())
        return false;
    m_until.insert(gan, until.toUTC());
    emit changed();
    return save(now);
}

bool MuteList::unmute(const QString &gan, const QDateTime &now) {
    if (!m_until.remove(gan))
        return true;
    emit changed();
    return save(now);
}

QDateTime MuteList::nextMorning(const QDateTime &now) {
    const QDateTime local = now.toLocalTime();
    QDateTime morning(local.date(), QTime(kMorningHour, 0), Qt::LocalTime);
    if (morning <= local)
        morning = QDateTime(local.date().addDays(1), QTime(kMorningHour, 0), Qt::LocalTime);
    return morning;
}

// The file holds the mutes still running; ended ones are left out (and forgotten).
bool MuteList::save(const QDateTime &now) {
    for (auto it = m_until.begin(); it != m_until.end();)
        it = *it <= now ? m_until.erase(it) : std::next(it);
    IniFile ini(m_file);
    for (const QString &section : ini.sections())
        ini.eraseSection(section);
    int number = 0;
    for (const auto &[gan, until] : active(now))
        kFields.write(ini, kSectionPrefix + QString::number(++number), {gan, until.toString(Qt::ISODate)});
    if (ini.save())
        return true;
    emit saveFailed(ini.errorString());
    return false;
}
