#include "BusMonitor.h"

#include "Dialogs.h"
#include "LinkTexts.h"

namespace {
constexpr QChar kBar = u'|';
const QString kCut = QStringLiteral("…");
} // namespace

BusMonitor::BusMonitor(QObject *parent) : QAbstractListModel(parent) {
}

void BusMonitor::insertTop(const QString &text) {
    const QString row = text.size() <= kMaxRowLength ? text : text.left(kMaxRowLength - 1) + kCut;
    beginInsertRows({}, 0, 0);
    m_lines.prepend(row);
    m_bytes += cost(row);
    endInsertRows();
    qsizetype keep = m_lines.size();
    qsizetype bytes = m_bytes;
    while (keep > 1 && (keep > kCapacity || bytes > kByteBudget))
        bytes -= cost(m_lines.at(--keep));
    if (keep < m_lines.size()) {
        beginRemoveRows({}, static_cast<int>(keep), static_cast<int>(m_lines.size()) - 1);
        m_lines.resize(keep);
        m_bytes = bytes;
        endRemoveRows();
    }
    // A number never holds "|", so a line matches a number exactly at its first "|".
    const QStringView rest = QStringView(text).mid(2);
    const qsizetype bar = rest.indexOf(kBar);
    if (bar >= 0)
        remember(rest.left(bar).toString(), rest.mid(bar + 1).toString());
}

void BusMonitor::remember(QString gan, QString value) {
    const auto found = m_newest.constFind(gan);
    if (found != m_newest.cend()) {
        const auto entry = *found;
        m_newestBytes += cost(value) - cost(entry->value);
        entry->value = std::move(value);
        m_order.splice(m_order.end(), m_order, entry);
    } else {
        m_newestBytes += cost(gan) + cost(value);
        m_order.push_back({gan, std::move(value)});
        m_newest.insert(std::move(gan), std::prev(m_order.end()));
    }
    while (m_order.size() > 1 && (m_newest.size() > kMaxNumbers || m_newestBytes > kNumberBytesBudget)) {
        const Newest &oldest = m_order.front();
        m_newestBytes -= cost(oldest.gan) + cost(oldest.value);
        m_newest.remove(oldest.gan);
        m_order.pop_front();
    }
}

void BusMonitor::clear() {
    beginResetModel();
    m_lines.clear();
    m_bytes = 0;
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
        // Not a number; answered from the lines still kept.
        const QString prefix = gan + kBar;
        for (const QString &line : m_lines) {
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
    return parent.isValid() ? 0 : static_cast<int>(m_lines.size());
}

QVariant BusMonitor::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return m_lines.at(index.row());
    return {};
}

QString getlv(const BusMonitor &monitor, const QString &gan, Dialogs &dialogs) {
    if (std::optional<QString> value = monitor.getlv(gan))
        return *value;
    dialogs.error(LinkTexts::kNoValue);
    return QStringLiteral("0,0");
}
