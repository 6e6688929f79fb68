#include "AnalysisListModel.h"

#include "ProjectFile.h"

#include <QThreadPool>
#include <utility>

namespace {
enum Column { Value, Start, End, ValueType, List, Conversion, Definition, KoType, KoName, ColumnCount };
}

AnalysisListModel::AnalysisListModel(QObject *parent) : QAbstractTableModel(parent) {
}

int AnalysisListModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_entries.size());
}

int AnalysisListModel::columnCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant AnalysisListModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    const AnalysisEntry &e = m_entries.at(index.row());
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole) {
        const QString *fields[] = {&e.value,      &e.start,      &e.end,    &e.valueType, &e.list,
                                   &e.conversion, &e.definition, &e.koType, &e.koName};
        return *fields[index.column()];
    }
    if (role == Qt::CheckStateRole && index.column() == Value)
        return m_checked.at(index.row()) ? Qt::Checked : Qt::Unchecked;
    if (role == Qt::TextAlignmentRole && index.column() == Start)
        return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
    return {};
}

bool AnalysisListModel::setData(const QModelIndex &index, const QVariant &value, int role) {
    if (!index.isValid() || index.column() != Value || role != Qt::CheckStateRole)
        return false;
    m_checked[index.row()] = value.value<Qt::CheckState>() == Qt::Checked;
    emit dataChanged(index, index, {Qt::CheckStateRole});
    return true;
}

Qt::ItemFlags AnalysisListModel::flags(const QModelIndex &index) const {
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    if (index.column() == Value)
        f |= Qt::ItemIsUserCheckable;
    return f;
}

QVariant AnalysisListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= ColumnCount)
        return {};
    if (role == Qt::DisplayRole) {
        if (section == Value)
            return QStringLiteral("Wert");
        if (section == Start)
            return QStringLiteral("Pos.");
        return QString();
    }
    // The columns without a caption still tell a screen reader what they hold.
    if (role == Qt::AccessibleTextRole) {
        static const QString names[ColumnCount] = {
            QStringLiteral("Wert"),       QStringLiteral("Position"), QStringLiteral("Ende"),
            QStringLiteral("Werttyp"),    QStringLiteral("Liste"),    QStringLiteral("Umrechnung"),
            QStringLiteral("Definition"), QStringLiteral("KO-Typ"),   QStringLiteral("KO-Name")};
        return names[section];
    }
    return {};
}

void AnalysisListModel::append(QList<AnalysisEntry> entries) {
    const qsizetype room = std::min<qsizetype>(entries.size(), ProjectFile::kMaxEntries - m_entries.size());
    if (room <= 0)
        return;
    entries.resize(room);
    const int first = static_cast<int>(m_entries.size());
    beginInsertRows({}, first, first + static_cast<int>(room) - 1);
    m_entries.append(std::move(entries));
    m_checked.resize(m_entries.size());
    endInsertRows();
}

void AnalysisListModel::reserve(qsizetype rows) {
    rows = std::min<qsizetype>(rows, ProjectFile::kMaxEntries);
    m_entries.reserve(rows);
    m_checked.reserve(rows);
}

void AnalysisListModel::setEntry(int row, const AnalysisEntry &entry) {
    if (row < 0 || row >= m_entries.size())
        return;
    m_entries[row] = entry;
    emit dataChanged(index(row, 0), index(row, columnCount() - 1));
}

void AnalysisListModel::clear() {
    if (m_entries.isEmpty())
        return;
    beginResetModel();
    // A list of 100,000 rows takes longer to free than a frame lasts: it goes on a worker, the
    // window does not wait for it.
    QThreadPool::globalInstance()->start([old = std::exchange(m_entries, {})]() mutable { old = {}; });
    m_checked.clear();
    endResetModel();
}
