#include "BusMonitor.h"

#include "Dialogs.h"
#include "LinkTexts.h"

#include <algorithm>

namespace {
constexpr QChar kBar = u'|';
const QString kCut = QStringLiteral("…");
} // namespace

BusMonitor::BusMonitor(QObject *parent) : QAbstractListModel(parent) {
}

void BusMonitor::insertTop(const QString &text) {
    takeLine(text);
    showTakenLines();
}

void BusMonitor::takeLine(const QString &text) {
    const QString row = text.size() <= kMaxRowLength ? text : text.left(kMaxRowLength - 1) + kCut;
    m_rows.append(row);
    ++m_end;
    m_bytes += cost(row);
    m_takenBytes += cost(row);
    while (m_end - m_firstHeld > 1 && (m_end - m_firstHeld > kCapacity || m_bytes > kByteBudget))
        m_bytes -= cost(rowOf(m_firstHeld++));
    // A number never holds "|", so a line matches a number exactly at its first "|".
    const QStringView rest = QStringView(text).mid(2);
    const qsizetype bar = rest.indexOf(kBar);
    if (bar >= 0)
        remember(rest.left(bar), rest.mid(bar + 1));

    if (m_end - m_endShown >= kMaxHeldLines || m_takenBytes >= kMaxHeldBytes) {
        showTakenLines();
    } else if (m_showHolds == 0 && !m_showPosted) {
        m_showPosted = true;
        QMetaObject::invokeMethod(
            this,
            [this] {
                m_showPosted = false;
                showTakenLines();
            },
            Qt::QueuedConnection);
    }
}

void BusMonitor::holdShowing(bool hold) {
    if (hold) {
        ++m_showHolds;
        return;
    }
    m_showHolds = std::max(0, m_showHolds - 1);
    showTakenLines();
}

void BusMonitor::showTakenLines() {
    m_takenBytes = 0;
    if (m_end > m_endShown) {
        beginInsertRows({}, 0, static_cast<int>(m_end - m_endShown - 1));
        m_endShown = m_end;
        endInsertRows();
    }
    if (m_firstShown < m_firstHeld) {
        beginRemoveRows({}, static_cast<int>(m_endShown - m_firstHeld),
                        static_cast<int>(m_endShown - 1 - m_firstShown));
        m_firstShown = m_firstHeld;
        dropUnused();
        endRemoveRows();
    }
}

void BusMonitor::dropUnused() {
    const qint64 keepFrom = std::min(m_firstHeld, m_firstShown);
    if (keepFrom > m_firstStored) {
        m_rows.remove(0, keepFrom - m_firstStored);
        m_firstStored = keepFrom;
    }
}

QStringList BusMonitor::lines() const {
    QStringList newestFirst;
    newestFirst.reserve(m_end - m_firstHeld);
    for (qint64 sequence = m_end - 1; sequence >= m_firstHeld; --sequence)
        newestFirst.append(rowOf(sequence));
    return newestFirst;
}

void BusMonitor::remember(QStringView gan, QStringView value) {
    const auto found = m_newest.constFind(gan);
    if (found != m_newest.cend()) {
        const auto entry = *found;
        m_newestBytes += cost(value) - cost(entry->value);
        // Into the room the last value had, unless someone still holds that one.
        entry->value.resize(value.size());
        std::copy(value.begin(), value.end(), entry->value.data());
        m_order.splice(m_order.end(), m_order, entry);
    } else {
        m_newestBytes += cost(gan) + cost(value);
        m_order.push_back({gan.toString(), value.toString()});
        m_newest.insert(QStringView(m_order.back().gan), std::prev(m_order.end()));
    }
    while (m_order.size() > 1 && (m_newest.size() > kMaxNumbers || m_newestBytes > kNumberBytesBudget)) {
        const Newest &oldest = m_order.front();
        m_newestBytes -= cost(oldest.gan) + cost(oldest.value);
        m_newest.remove(QStringView(oldest.gan));
        m_order.pop_front();
    }
}

void BusMonitor::clear() {
    beginResetModel();
    m_rows.clear();
    m_firstStored = m_firstHeld = m_end = m_firstShown = m_endShown = 0;
    m_bytes = 0;
    m_takenBytes = 0;
    m_newest.clear();
    m_order.clear();
    m_newestBytes = 0;
    endResetModel();
}

std::optional<QString> BusMonitor::getlv(const QString &gan) const {
    std::optional<QString> value;
    if (!gan.contains(kBar)) {
        const auto found = m_newest.constFind(gan);
        if (found != m_newest.cend())
            value = (*found)->value;
    } else {
        // Not a number; answered from the lines still held.
        const QString prefix = gan + kBar;
        for (qint64 sequence = m_end - 1; sequence >= m_firstHeld; --sequence) {
            const QString &line = rowOf(sequence);
            if (QStringView(line).mid(2).startsWith(prefix)) {
                value = line.mid(2 + prefix.size());
                break;
            }
        }
    }
    if (!value || value->isEmpty())
        return std::nullopt;
    value->replace(u'.', u',');
    return value;
}

int BusMonitor::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_endShown - m_firstShown);
}

QVariant BusMonitor::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return rowOf(m_endShown - 1 - index.row());
    return {};
}

QString getlv(const BusMonitor &monitor, const QString &gan, Dialogs &dialogs) {
    if (std::optional<QString> value = monitor.getlv(gan))
        return *value;
    dialogs.error(LinkTexts::kNoValue);
    return QStringLiteral("0,0");
}
