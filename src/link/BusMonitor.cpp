#include "BusMonitor.h"

#include "Dialogs.h"

namespace {
constexpr QChar kBar = u'|';
}

BusMonitor::BusMonitor(QObject *parent) : QAbstractListModel(parent) {
}

void BusMonitor::insertTop(const QString &text) {
    beginInsertRows({}, 0, 0);
    m_lines.prepend(text);
    endInsertRows();
    if (m_lines.size() > kCapacity) {
        const int last = static_cast<int>(m_lines.size()) - 1;
        beginRemoveRows({}, last, last);
        m_lines.removeLast();
        endRemoveRows();
    }
    // A number never holds "|", so a line matches a number exactly at its first "|".
    const QStringView rest = QStringView(text).mid(2);
    const qsizetype bar = rest.indexOf(kBar);
    if (bar >= 0)
        m_newest.insert(rest.left(bar).toString(), rest.mid(bar + 1).toString());
}

void BusMonitor::clear() {
    beginResetModel();
    m_lines.clear();
    m_newest.clear();
    endResetModel();
}

std::optional<QString> BusMonitor::getlv(const QString &gan) const {
    std::optional<QString> value;
    if (!gan.contains(kBar)) {
        const auto found = m_newest.constFind(gan);
        if (found != m_newest.cend())
            value = *found;
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
    dialogs.error(QStringLiteral("Konnte KO Wert nicht ermitteln.\rKO Wert auf 0 gesetzt!"));
    return QStringLiteral("0,0");
}
