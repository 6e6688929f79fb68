#include "EventListModel.h"

#include "HistoryTexts.h"

#include <QDateTime>
#include <QFont>

namespace {
const QString kTimeFormat = QStringLiteral("dd.MM.yyyy HH:mm:ss");
} // namespace

void EventListModel::setEvents(QList<EventRecord> events) {
    beginResetModel();
    m_events = std::move(events);
    endResetModel();
}

const EventRecord *EventListModel::eventAt(int row) const {
    return row >= 0 && row < m_events.size() ? &m_events[row] : nullptr;
}

void EventListModel::setObjectNamer(std::function<QString(const QString &)> namer) {
    beginResetModel();
    m_namer = std::move(namer);
    endResetModel();
}

int EventListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_events.size());
}

int EventListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString EventListModel::timeText(qint64 timeMs) {
    return QDateTime::fromMSecsSinceEpoch(timeMs).toLocalTime().toString(kTimeFormat);
}

QString EventListModel::objectText(const QString &gan) const {
    const QString name = m_namer && !gan.isEmpty() ? m_namer(gan) : QString();
    return name.isEmpty() ? gan : gan + u' ' + name;
}

QVariant EventListModel::data(const QModelIndex &index, int role) const {
    const EventRecord *event = eventAt(index.row());
    if (!event)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        switch (index.column()) {
        case Time:
            return timeText(event->timeMs);
        case Kind:
            return EventKinds::nameOfKey(event->kindKey);
        case Object:
            return objectText(event->gan);
        case Text:
            // One line per row; the whole text is in the tooltip.
            return QString(event->text).replace(u'\r', u' ').replace(u'\n', u' ');
        default:
            return {};
        }
    case Qt::ToolTipRole:
        return index.column() == Text ? event->text : QVariant();
    case Qt::FontRole:
        if (!event->read) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    case Qt::AccessibleDescriptionRole:
        return event->read ? QVariant() : HistoryTexts::kUnread;
    default:
        return {};
    }
}

QVariant EventListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const QString kHeaders[ColumnCount] = {HistoryTexts::kColumnTime, HistoryTexts::kColumnKind,
                                                  HistoryTexts::kColumnObject, HistoryTexts::kColumnText};
    return section >= 0 && section < ColumnCount ? kHeaders[section] : QVariant();
}

void TextValuesModel::setRows(QList<ValueRecord> rows) {
    beginResetModel();
    m_rows = std::move(rows);
    endResetModel();
}

int TextValuesModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TextValuesModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : 2;
}

QVariant TextValuesModel::data(const QModelIndex &index, int role) const {
    if (role != Qt::DisplayRole || index.row() < 0 || index.row() >= m_rows.size())
        return {};
    const ValueRecord &row = m_rows[index.row()];
    return index.column() == 0 ? EventListModel::timeText(row.timeMs) : row.value;
}

QVariant TextValuesModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? HistoryTexts::kColumnTime : HistoryTexts::kColumnValue;
}
